// How many times each action of the screen waits for the server: on a tablet
// on Wi-Fi, or with the server in another building, each wait is a round
// trip of 10 to 50 ms. The counts hold whatever the number of lines.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "data/db_error.h"
#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"

namespace {

using namespace order_screen;

// The terminal's real connection, counting each time it waits for an answer.
class CountingConnection : public data::Connection {
public:
    explicit CountingConnection(std::unique_ptr<data::Connection> real) : real_(std::move(real)) {}
    int roundTrips = 0;
    QStringList statements;

    void Open(const QString& s) override { real_->Open(s); }
    bool IsOpen() const override { return real_->IsOpen(); }
    void Close() override { real_->Close(); }
    void Execute(const QString& sql) override {
        Count({sql});
        real_->Execute(sql);
    }
    data::ResultSet Query(const QString& sql) override {
        Count({sql});
        return real_->Query(sql);
    }
    std::vector<data::ResultSet> RunTogether(const QStringList& sqls) override {
        Count(sqls);
        return real_->RunTogether(sqls);
    }
    QString Escape(const QString& t) const override { return real_->Escape(t); }
    data::SessionFacts& SessionFacts() override { return real_->SessionFacts(); }

private:
    void Count(const QStringList& sqls) {
        ++roundTrips;
        statements << sqls;
    }
    std::unique_ptr<data::Connection> real_;
};

class RoundTripsTest : public testsupport::OrderScreenOn {
protected:
    void SetUp() override {
        testsupport::OrderScreenOn::SetUp();
        testsupport::EmptyOrders(41);
        Module1::Cadena_Conexion = testsupport::TestConnectionString();
        auto counting = std::make_unique<CountingConnection>(std::move(Module1::Conexion));
        conn = counting.get();
        Module1::Conexion = std::move(counting);
    }
    // Round trips of `action`, and its statements.
    template <typename F>
    int RoundTrips(F&& action) {
        conn->roundTrips = 0;
        conn->statements.clear();
        action();
        return conn->roundTrips;
    }
    CountingConnection* conn = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Installations, RoundTripsTest, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(RoundTripsTest, EachActionWaitsForTheServerAFixedFewTimes) {
    EXPECT_EQ(RoundTrips([&] { Load(); }), 1) << "loading: the area, the parameters and the waiters";
    Pedido_R* s = Continued("ANA", "5", "001");
    // The first send on a connection also learns whether the send record can be used.
    AddLine(s, "E001");
    s->Command2_Click(0);
    ASSERT_TRUE(dialogs.shown.empty());

    for (int lines : {1, 10, 50}) {
        SCOPED_TRACE(lines);
        s = Continued("ANA", "5", "001");
        for (int i = 0; i < lines; ++i) AddLine(s, "E001");
        EXPECT_EQ(RoundTrips([&] { s->Command2_Click(0); }), 2) << conn->statements.join("\n").toStdString();
        EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "") << "the screen is cleared";
        EXPECT_EQ(s->dbCombo2->count() > 0, true) << "and its waiter list read again";
    }
    EXPECT_EQ(testsupport::RootQuery("select count(*) from comanda").value(0), "62");

    s = Continued("ANA", "5", "001");
    dialogs.AnswerInput("2");
    dialogs.AnswerNo();
    Module1::Producto_Sel = "E001";
    EXPECT_EQ(RoundTrips([&] { s->buscar_arti1(); }), 1) << "the product with its cost row";
    EXPECT_EQ(s->Num_Items(), 1);
    EXPECT_EQ(RoundTrips([&] { s->Command2_Click(1); }), 1) << "LIMPIAR";
}

// Asked ahead or not, a read that fails fails as it would alone, and the
// others are still answered.
TEST_P(RoundTripsTest, AReadAskedAheadThatFailsIsAskedAgainInItsTurn) {
    data::ReadAhead ahead;
    ahead.Ask(*Module1::Conexion, {"select 1 as a", "select * from no_such_table", "select 3 as c"});
    EXPECT_EQ(conn->roundTrips, 1);
    const std::optional<data::ResultSet> first = ahead.Take("select 1 as a");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Field(0).ToDouble(), 1);
    EXPECT_FALSE(ahead.Take("select 1 as a")) << "an answer is taken once";
    EXPECT_FALSE(ahead.Take("select * from no_such_table"));
    EXPECT_FALSE(ahead.Take("select 3 as c")) << "nothing after the failed one ran";
    // Kept answers are not asked again; a closed connection is not opened.
    ahead.Ask(*Module1::Conexion, {"select 3 as c"});
    ahead.Ask(*Module1::Conexion, {"select 3 as c"});
    EXPECT_EQ(conn->roundTrips, 2);
    Module1::Conexion->Close();
    ahead.Ask(*Module1::Conexion, {"select 4 as d"});
    EXPECT_EQ(conn->roundTrips, 2);
    EXPECT_FALSE(Module1::Conexion->IsOpen());
    EXPECT_TRUE(ahead.Take("select 3 as c"));
}

}  // namespace
