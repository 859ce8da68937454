// The MariaDB client against the private test server, connected as the
// terminal's own user.
#include <gtest/gtest.h>

#include "data/db_error.h"
#include "data/mariadb_connection.h"
#include "runtime/regional_formats.h"
#include "runtime/configuration.h"
#include "support/test_database.h"

namespace {

class MariaDb : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }
    void SetUp() override {
        rt::ResetFormats();
        conn.SetCommandTimeout(40);
        conn.Open(testsupport::TestConnectionString());
    }
    data::MariaDbConnection conn;
};

TEST_F(MariaDb, NumbersArriveAsNumbersAndNullAsNull) {
    data::ResultSet rs = conn.Query("select cast(null as unsigned) as n, 1 as one, 2.5 as half");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_TRUE(rs.Field("n").IsNull());
    EXPECT_FALSE(rs.Field("one").EqualsTrue());  // a number 1 is not true
    EXPECT_TRUE(rs.Field("one").IsNonZero());
    EXPECT_DOUBLE_EQ(rs.Field("HALF").ToDouble(), 2.5);
}

TEST_F(MariaDb, TableFlagsAreBooleansAndTableNamesIgnoreCase) {
    data::ResultSet rs = conn.Query("select esmenu, essubmenu from Tbl_botones where esmenu=true");
    ASSERT_GT(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.Field("ESMENU").EqualsTrue());
    EXPECT_EQ(rs.Field("essubmenu").kind(), rt::Variant::Kind::Boolean);
    data::ResultSet children = conn.Query("select esmenu from tbl_botones where esmenu=false");
    ASSERT_GT(children.RecordCount(), 0);
    EXPECT_EQ(children.Field("esmenu").kind(), rt::Variant::Kind::Boolean);
    EXPECT_FALSE(children.Field("esmenu").EqualsTrue());
    EXPECT_EQ(conn.Query("select * from TBL_BOTONES").RecordCount(),
              conn.Query("select * from tbl_botones").RecordCount());
}

TEST_F(MariaDb, TheWholeResultIsFetchedAndCanBeWalkedBothWays) {
    data::ResultSet rs = conn.Query("select cod_vendedor from Vendedores order by cod_vendedor");
    const int n = rs.RecordCount();
    ASSERT_GE(n, 4);
    int seen = 0;
    for (; !rs.IsEof(); rs.MoveNext()) ++seen;
    EXPECT_EQ(seen, n);
    rs.MoveLast();
    const QString last = rs.Field("cod_vendedor").ToText();
    rs.MoveFirst();
    EXPECT_NE(rs.Field("cod_vendedor").ToText(), last);
    rs.Close();
    EXPECT_EQ(rs.State(), data::ResultSet::kClosed);
    EXPECT_THROW(rs.Field("cod_vendedor"), data::DbError);
}

TEST_F(MariaDb, AnUnknownFieldAndABadStatementRaiseWithTheServersError) {
    data::ResultSet rs = conn.Query("select 1 as a");
    EXPECT_THROW(rs.Field("b"), data::DbError);
    try {
        conn.Query("select * from no_such_table");
        FAIL() << "the query should fail";
    } catch (const data::DbError& e) {
        // The terminal's user is refused before the server looks for the table.
        EXPECT_EQ(e.number(), 1142);
        EXPECT_TRUE(e.description().contains("no_such_table"));
    }
}

TEST_F(MariaDb, TheTerminalsUserMayOnlyDoWhatTheTerminalDoes) {
    EXPECT_NO_THROW(conn.Execute("update mantenimiento set control_Comanda = control_Comanda"));
    EXPECT_THROW(conn.Execute("delete from Factura_r"), data::DbError);
    EXPECT_THROW(conn.Execute("create table x (a int primary key)"), data::DbError);
    EXPECT_THROW(conn.Execute("update productos set nom_producto = 'x'"), data::DbError);
    EXPECT_THROW(conn.Execute("drop table comanda"), data::DbError);
}

TEST_F(MariaDb, EscapedTextSurvivesTheRoundTrip) {
    const QString nasty = "D'Angelo \\ \"ñ\" '; drop table x; --";
    data::ResultSet rs = conn.Query("select '" + conn.Escape(nasty) + "' as t");
    EXPECT_EQ(rs.Field("t").ToText(), nasty);
}

TEST_F(MariaDb, DateTimesArriveAsDatesWithTime) {
    data::ResultSet rs = conn.Query(
        "select cast('2026-12-08 21:05:09' as datetime) as dt, cast('2026-12-08' as date) as d");
    EXPECT_EQ(rs.Field("dt").kind(), rt::Variant::Kind::Date);
    EXPECT_TRUE(rs.Field("dt").HasTime());
    EXPECT_EQ(rs.Field("dt").AsDateTime(), QDateTime(QDate(2026, 12, 8), QTime(21, 5, 9)));
    EXPECT_FALSE(rs.Field("d").HasTime());
}

TEST(MariaDbDown, OpeningFailsWithTheClientsErrorWhenNoServerListens) {
    data::MariaDbConnection conn;
    try {
        conn.Open(rt::BuildConnectionString("restaurante", testsupport::DbDownHost()));
        FAIL() << "open should fail";
    } catch (const data::DbError& e) {
        EXPECT_EQ(e.number(), 2002);  // can't connect
    }
    EXPECT_FALSE(conn.IsOpen());
    EXPECT_THROW(conn.Execute("select 1"), data::DbError);
}

TEST_F(MariaDb, AWrongDatabaseOrPasswordIsRefused) {
    data::MariaDbConnection other;
    EXPECT_THROW(other.Open(rt::BuildConnectionString("no_such_db", testsupport::DbHost())),
                 data::DbError);
    const QString wrong = "DATABASE=" + testsupport::DbName() + ";SERVER=" +
                          testsupport::DbHost() + ";UID=admin;password=nope;PORT=3306;";
    EXPECT_THROW(other.Open(wrong), data::DbError);
}

}  // namespace

namespace {

// Statements run together: each answered in turn; the first that fails stops
// the rest, and the error says which it was and carries the answers before it.
TEST_F(MariaDb, StatementsRunTogetherAnswerInTurnAndStopAtTheFirstThatFails) {
    const struct {
        const char* name;
        QStringList statements;
        int failedAt;  // -1: none fails
    } cases[] = {
        {"all answered, with and without their ';'",
         {"set @after = null", "select 1 as a;", "select 'x;y' as b ;", "set @after = 1"}, -1},
        {"the second fails", {"set @after = null; ", "selec 1", "set @after = 1"}, 1},
        {"one in the middle fails", {"set @after = null", "select 2 as a", "select * from nowhere", "set @after = 1"}, 2},
        {"the last fails", {"set @after = null", "select 3 as a", "insert into nowhere values (1)"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<data::ResultSet> answers;
        int failedAt = -1;
        try {
            answers = conn.RunTogether(c.statements);
        } catch (const data::BatchError& e) {
            failedAt = e.failedAt();
            answers = e.answered();
            EXPECT_TRUE(e.number() >= 1000 && e.number() < 2000) << e.number();  // the server's refusal
        }
        EXPECT_EQ(failedAt, c.failedAt);
        ASSERT_EQ(answers.size(), static_cast<size_t>(failedAt < 0 ? c.statements.size() : failedAt));
        for (size_t i = 0; i < answers.size(); ++i) {
            const QString sql = c.statements.at(static_cast<qsizetype>(i));
            EXPECT_EQ(answers[i].Columns().isEmpty(), sql.startsWith("set")) << sql.toStdString();
        }
        if (answers.size() > 2) {
            EXPECT_EQ(answers[2].Field(0).ToText(), "x;y");
        }
        // Nothing after the failed one ran; the connection goes on.
        const data::ResultSet after = conn.Query("select @after");
        EXPECT_EQ(after.Field(0).IsNull(), failedAt >= 0);
    }
}

TEST_F(MariaDb, AConnectionKilledAmongStatementsRunTogetherIsLostAtTheOneItFellOn) {
    try {
        conn.RunTogether({"select 1", "kill connection connection_id()", "select 2"});
        FAIL() << "the batch went through";
    } catch (const data::BatchError& e) {
        EXPECT_TRUE(data::IsLostConnection(e.number())) << e.number() << " " << e.description().toStdString();
        EXPECT_EQ(e.failedAt(), 1);
        EXPECT_EQ(e.answered().size(), 1u);
    }
}

}  // namespace
