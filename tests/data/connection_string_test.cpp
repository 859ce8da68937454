#include <gtest/gtest.h>

#include "data/connection_string.h"
#include "runtime/configuration.h"

namespace {

TEST(ConnectionString, TheTerminalsStringGivesHostDatabaseUserPasswordAndPort) {
    const QString text = rt::BuildConnectionString("restaurante", "10.0.0.5");
    EXPECT_EQ(text,
              "DRIVER={MySQL ODBC 3.51 Driver};DATABASE=restaurante;SERVER=10.0.0.5;"
              "dns=vandrelfw;UID=admin;password=tormbel5831;PORT=3306;");
    const data::ConnectionSettings s = data::SettingsFromConnectionString(text);
    EXPECT_EQ(s.host, "10.0.0.5");
    EXPECT_EQ(s.database, "restaurante");
    EXPECT_EQ(s.user, "admin");
    EXPECT_EQ(s.password, "tormbel5831");
    EXPECT_EQ(s.port, 3306u);
}

TEST(ConnectionString, KeysIgnoreCaseAndBracedValuesMayHoldSemicolons) {
    const auto pairs = data::ParseConnectionString("Driver={A;B};server=h;PORT=3307;junk;uid=u");
    EXPECT_EQ(pairs.value("driver"), "A;B");
    EXPECT_EQ(pairs.value("server"), "h");
    EXPECT_EQ(pairs.value("uid"), "u");
    EXPECT_FALSE(pairs.contains("junk"));
    EXPECT_EQ(data::SettingsFromConnectionString("SERVER=h;PORT=3307").port, 3307u);
}

TEST(ConnectionString, BlanksOfTheConfigurationPassThroughUnchanged) {
    const auto s = data::SettingsFromConnectionString(
        rt::BuildConnectionString(" base ", "host "));
    EXPECT_EQ(s.database, " base ");
    EXPECT_EQ(s.host, "host ");
}

TEST(ConnectionString, ABadPortKeepsTheDefaultAndAlternativeKeysWork) {
    EXPECT_EQ(data::SettingsFromConnectionString("PORT=abc").port, 3306u);
    EXPECT_EQ(data::SettingsFromConnectionString("PORT=70000").port, 3306u);
    const auto s = data::SettingsFromConnectionString("USER=x;PWD=y");
    EXPECT_EQ(s.user, "x");
    EXPECT_EQ(s.password, "y");
}

}  // namespace
