// ENVIAR while another session holds the ticket counter: the screen stays
// drawn and says it is sending, its timers go on, a second ENVIAR pressed
// meanwhile does nothing, and once the other session commits the order is
// stored once and the screen cleared.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "widgets/busy_work.h"

namespace {

using namespace order_screen;
using testsupport::RootQuery;

using EnviarBusyTest = testsupport::SendingScreenTest;

TEST_F(EnviarBusyTest,
       WhileTheCounterIsHeldTheScreenSaysItIsSendingAndStoresTheOrderOnceWhenFreed) {
    Pedido_R* s = Continued(QString::fromUtf8("D'Angelo Pérez"), "5", "003");
    AddLine(s, "P001");
    AddLine(s, "B010");
    s->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));

    // Another terminal in the middle of its send: the counter row locked.
    data::MariaDbConnection other;
    other.Open(testsupport::TestConnectionString());
    other.Execute("START TRANSACTION");
    other.Query("select control_Comanda from mantenimiento for update");

    int ticks = 0;
    bool noticeSeen = false;
    QStringList storedWhileHeld;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setInterval(25);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        const QLabel* notice = s->findChild<QLabel*>(widgets::kBusyNoticeName);
        if (notice && notice->isVisible() && notice->text() == "Enviando el pedido...")
            noticeSeen = true;
        if (clock.elapsed() < 1200 || !other.IsOpen()) return;
        storedWhileHeld = RootQuery("select count(*) from Factura_r");
        QTest::mouseClick(s->Command2[0], Qt::LeftButton);  // ENVIAR again, impatient
        other.Execute("COMMIT");
        other.Close();
    });
    ticker.start();
    clock.start();

    s->Command2_Click(0);
    const qint64 took = clock.elapsed();
    ticker.stop();

    EXPECT_GE(took, 1200) << "ENVIAR did not wait for the counter the other session held";
    EXPECT_TRUE(noticeSeen);
    EXPECT_GE(ticks, 20);  // about one every 25 ms while it waited
    EXPECT_EQ(storedWhileHeld, QStringList{"0"});
    EXPECT_EQ(s->findChild<QLabel*>(widgets::kBusyNoticeName), nullptr);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(RootQuery("select N_Factura from Factura_r"), QStringList{"5"});
    EXPECT_EQ(RootQuery("select n_factura, cod_producto from D_Fact_r order by 2"),
              (QStringList{"5\tB010", "5\tP001"}));
    EXPECT_EQ(RootQuery("select numero, count(*) from comanda group by numero"),
              QStringList{"41\t2"});
    EXPECT_EQ(RootQuery("select control_Comanda from mantenimiento").value(0), "42");
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");  // cleared
}

}  // namespace
