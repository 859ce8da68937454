// Another terminal freezes in the middle of its send, holding the ticket
// counter: ENVIAR on this screen still stores its order within seconds and
// says nothing; once the other terminal thaws, its send finds its connection
// gone, sends again and stores its order once, under a number of its own.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "sending/hooked_connection.h"
#include "sending/send_order.h"

namespace {

using namespace order_screen;
using testsupport::RootQuery;

// A terminal on a thread of its own, with its own connection, that stops
// before its first order line (the counter row locked) until thawed: what a
// terminal stopped by the system, or cut from the network, looks like to the
// server.
class FrozenTerminal {
public:
    FrozenTerminal(const QString& connectionString, order::Order order) {
        auto real = std::make_unique<data::MariaDbConnection>();
        real->Open(connectionString);
        conn_ = std::make_unique<sendingtest::HookedConnection>(std::move(real));
        conn_->before = [this](const QString& sql, int) {
            if (sql.startsWith("INSERT INTO D_Fact_r") && !froze_) Hold();
        };
        sending::SendOptions o;
        o.connectionString = connectionString;
        o.pausaConexionMs = 0;
        thread_ = std::thread([this, o, order] {
            result_ = sending::SendOrder(*conn_, order, sending::NewSendId(), o);
            done_ = true;
        });
    }
    ~FrozenTerminal() {
        Thaw();
        if (thread_.joinable()) thread_.join();
    }
    bool WaitUntilFrozen() {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, std::chrono::seconds(20), [this] { return froze_; });
    }
    void Thaw() {
        std::lock_guard lock(m_);
        thawed_ = true;
        cv_.notify_all();
    }
    const sending::SendResult& Finish() {
        Thaw();
        thread_.join();
        return result_;
    }
    bool Done() const { return done_; }
    int Reconnections() const { return conn_->opens; }

private:
    void Hold() {
        std::unique_lock lock(m_);
        froze_ = true;
        cv_.notify_all();
        cv_.wait(lock, [this] { return thawed_; });
    }
    std::unique_ptr<sendingtest::HookedConnection> conn_;
    std::thread thread_;
    std::mutex m_;
    std::condition_variable cv_;
    bool froze_ = false;
    bool thawed_ = false;
    std::atomic<bool> done_ = false;
    sending::SendResult result_;
};

class FrozenTerminalTest : public testsupport::SendingScreenTest {
protected:
    // The screen after CONTINUAR for waiter 003 at table 5, two lines ordered.
    Pedido_R* Taking() {
        Pedido_R* s = Continued(QString::fromUtf8("D'Angelo Pérez"), "5", "003");
        AddLine(s, "P001");
        AddLine(s, "B010");
        return s;
    }
};

using FrozenTerminalOn = testsupport::OnInstallation<FrozenTerminalTest>;
INSTANTIATE_TEST_SUITE_P(Installations, FrozenTerminalOn, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(FrozenTerminalOn, EnviarWaitsAtMostSecondsForAFrozenTerminalAndBothOrdersAreStoredOnce) {
    Pedido_R* s = Taking();
    const order::Order other{
        "6", "Yusmary Carrasco", "004", {Line("E001", "TEQUEÑOS")}};
    FrozenTerminal frozen(testsupport::TestConnectionString(), other);
    ASSERT_TRUE(frozen.WaitUntilFrozen());

    QElapsedTimer took;
    took.start();
    s->Command2_Click(0);
    const qint64 ms = took.elapsed();

    EXPECT_FALSE(frozen.Done());  // still frozen when ENVIAR was over
    EXPECT_LT(ms, 10000);
    EXPECT_GE(ms, 1000) << "ENVIAR did not wait for the counter the other terminal held";
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");  // stored: the screen was cleared
    EXPECT_EQ(RootQuery("select n_factura, cod_producto from D_Fact_r order by 1, 2"),
              (QStringList{"5\tB010", "5\tP001"}));

    const sending::SendResult& r = frozen.Finish();
    EXPECT_TRUE(r.Stored()) << r.lastError.toStdString();
    EXPECT_EQ(r.wholeSendRuns, 2);  // its first run went with the connection the server ended
    EXPECT_EQ(frozen.Reconnections(), 1);
    EXPECT_EQ(r.numero, "42");
    EXPECT_EQ(RootQuery("select n_factura, cod_producto from D_Fact_r order by 1, 2"),
              (QStringList{"5\tB010", "5\tP001", "6\tE001"}));
    EXPECT_EQ(RootQuery("select N_Factura from Factura_r order by N_Factura"),
              (QStringList{"5", "6"}));
    // Each ticket number on one table's lines only.
    EXPECT_EQ(RootQuery("select numero, mesa, count(*) from comanda group by numero, mesa "
                        "order by numero"),
              (QStringList{"41\t5\t2", "42\t6\t1"}));
    EXPECT_EQ(RootQuery("select control_Comanda from mantenimiento").value(0), "43");
}

}  // namespace
