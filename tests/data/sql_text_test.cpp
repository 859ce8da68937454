// Text values on their way into a statement.
#include <gtest/gtest.h>

#include "data/mariadb_connection.h"
#include "data/sql_text.h"
#include "data/module1.h"
#include "support/test_database.h"

namespace {

class SqlText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }
};

TEST_F(SqlText, QuotesAndBackslashesAreEscapedWithOrWithoutAConnection) {
    Module1::Conexion.reset();
    const QString typed = QString::fromUtf8("D'Angelo \\ Pérez \"x\"");
    const QString expected = QString::fromUtf8("D\\'Angelo \\\\ Pérez \\\"x\\\"");
    // Without a connection the quote is doubled, safe whatever the server's mode.
    const QString unconnected = QString::fromUtf8("D''Angelo \\\\ Pérez \\\"x\\\"");
    EXPECT_EQ(data::SqlText(typed), unconnected);

    auto conn = std::make_unique<data::MariaDbConnection>();
    conn->Open(testsupport::TestConnectionString());
    EXPECT_EQ(data::SqlText(*conn, typed), expected);
    Module1::Conexion = std::move(conn);
    EXPECT_EQ(data::SqlText(typed), expected);
    // What goes in comes back as typed, either way.
    for (const QString& text : {expected, unconnected}) {
        const rt::Variant back = Module1::Conexion->Query("select '" + text + "' as t").Field(0);
        EXPECT_EQ(back.ToText(), typed);
    }
    Module1::Conexion.reset();
}

}  // namespace
