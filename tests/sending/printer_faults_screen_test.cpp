// ENVIAR on the real screen when the kitchen printer cannot print, through
// the private CUPS to the stand-in printers: "Cocina" (a plain socket queue,
// :9100) and "Plancha" (our escpos backend, which asks the printer its
// status, :9104). Each fault reaches the waiter by name, no ticket is lost,
// and a ticket printed again after the fault is on paper once.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <chrono>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "printer_listener.h"
#include "printers/cups_printing.h"
#include "sending/print_test_helpers.h"
#include "sending/cups_queue_probe.h"
#include "sending/escpos.h"
#include "sending/journal_path.h"
#include "sending/ticket_follower.h"

namespace {

using namespace order_screen;
using namespace std::chrono_literals;
using printerlistener::Fault;
using printerlistener::PrinterListener;

void Cups(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    ASSERT_TRUE(p.waitForFinished(20000) && p.exitCode() == 0)
        << program.toStdString() << ": " << p.readAllStandardError().toStdString();
}

int ActiveJobs(const QString& queue) {
    std::vector<sendingtest::QueueJob> jobs;
    QString error;
    EXPECT_TRUE(sendingtest::QueueJobs(queue, &jobs, &error)) << error.toStdString();
    return static_cast<int>(std::count_if(jobs.begin(), jobs.end(), [](const auto& j) { return j.active; }));
}

// How many of the tickets on paper are titled `title`.
int OnPaper(const PrinterListener& printer, const QString& title) {
    int n = 0;
    for (const QByteArray& job : printer.Jobs()) {
        const QStringList lines = sending::EscPosText(job).split('\n');
        if (lines.contains(title) || lines.contains(QString::fromUtf8("» ") + title)) ++n;
    }
    return n;
}

class PrinterFaultsScreenTest : public testsupport::OrderScreenTest {
protected:
    void SetUp() override {
        OrderScreenTest::SetUp();
        testsupport::EmptyOrders(41);
        Module1::Cadena_Conexion = testsupport::TestConnectionString();
        QString error;
        for (const char* q : {"Cocina", "Plancha"})
            ASSERT_TRUE(sendingtest::PurgeJobs(q, &error)) << error.toStdString();
        host = sendingtest::TestPrinterHost();
    }
    void TearDown() override {
        dialogs.beforeAnswer = nullptr;
        qunsetenv("PEDIDOS_PLAZO_IMPRESION");
        Cups("cupsenable", {"Cocina"});
        OrderScreenTest::TearDown();
    }
    // Waiter, table 7 and two lines: ASISTENTE, CHEF, COCINA and BAR tickets.
    Pedido_R* OrderOnScreen() {
        Pedido_R* s = Continued(QString::fromUtf8("María Fernández"), "7", "001");
        for (const auto& [code, group] : {std::pair{"E001", "COCINA"}, std::pair{"B001", "BAR"}}) {
            order::Line line = Line(code, code);
            line.imprimir = group;
            AppendLine(*s->Grid1, *s->Grid2, s->Pedido, line, s->Num_Contornos);
        }
        return s;
    }
    // Lets the screen run until a box more than `count` is up, at most `limit`.
    bool WaitForBox(std::size_t count, std::chrono::milliseconds limit) {
        QElapsedTimer t;
        t.start();
        while (dialogs.shown.size() <= count && t.elapsed() < limit.count()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(20);
        }
        return dialogs.shown.size() > count;
    }
    static constexpr const char* kTickets[] = {"ASISTENTE", "CHEF", "COCINA", "BAR"};
    void ExpectEachTicketOnPaperOnce(const PrinterListener& printer) {
        for (const char* title : kTickets) EXPECT_EQ(OnPaper(printer, title), 1) << title;
    }

    QString host;
};

TEST_F(PrinterFaultsScreenTest, AStoppedQueueIsToldAtOnceByNameAndGetsNoTicket) {
    Module1::Impresora = "Cocina";
    Cups("cupsdisable", {"Cocina"});
    Pedido_R* s = OrderOnScreen();
    dialogs.AnswerNo();
    s->Command2_Click(0);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString text = dialogs.shown[0].text;
    EXPECT_TRUE(text.contains("mesa 7 quedó guardado (comanda 41)")) << text.toStdString();
    EXPECT_TRUE(text.contains("impresora Cocina: ASISTENTE, CHEF, COCINA, BAR.")) << text.toStdString();
    EXPECT_TRUE(text.contains("Motivo: La impresora Cocina está detenida ...")) << text.toStdString();
    EXPECT_EQ(ActiveJobs("Cocina"), 0);  // nothing dropped into the stopped queue
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");  // stored: the screen is cleared
    EXPECT_TRUE(s->Seguidor->Tickets().empty());  // given up by the waiter
}

TEST_F(PrinterFaultsScreenTest, APrinterThatSaysItCannotPrintIsNamedAndItsTicketsPrintOnceWhenItIsBack) {
    const struct {
        Fault fault;
        const char* text;
    } cases[] = {{Fault::PaperOut, "La impresora Plancha: Sin papel ..."},
                 {Fault::CoverOpen, "La impresora Plancha: Tapa abierta ..."},
                 {Fault::Offline, "La impresora Plancha: Fuera de línea ..."}};
    Module1::Impresora = "Plancha";
    QString error;
    {
        // Once answered, the backend knows this printer tells its state: one
        // that stops answering is off line, not a printer without status.
        PrinterListener printer;
        ASSERT_TRUE(printer.Start(host, 9104, &error)) << error.toStdString();
        ASSERT_TRUE(printers::CupsPrintingSystem()
                        .PrintTicket("Plancha", sendingtest::SampleTicket("MARCA", {}))
                        .ok);
        ASSERT_TRUE(printer.WaitForJobs(1, 60s));
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        testsupport::EmptyOrders(41);
        dialogs.shown.clear();
        PrinterListener printer;
        ASSERT_TRUE(printer.Start(host, 9104, &error)) << error.toStdString();
        printer.SetFault(c.fault);
        Pedido_R* s = OrderOnScreen();
        s->Command2_Click(0);
        EXPECT_TRUE(dialogs.shown.empty());  // handed over: the waiter goes on
        EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");

        // The waiter puts things right, then says yes.
        dialogs.beforeAnswer = [&](const auto&) {
            EXPECT_EQ(ActiveJobs("Plancha"), 0);  // cancelled: it will not come out later as well
            printer.SetFault(Fault::None);
        };
        dialogs.AnswerYes();
        dialogs.AnswerYes();  // a ticket handed over as the fault was seen may be asked about apart
        ASSERT_TRUE(WaitForBox(0, 60s)) << "the fault was never told";
        const QString text = dialogs.shown[0].text;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.text))) << text.toStdString();
        EXPECT_TRUE(text.contains("mesa 7 quedó guardado (comanda 41)")) << text.toStdString();
        ASSERT_TRUE(s->Seguidor->WaitUntilSettled(60s));
        QCoreApplication::processEvents();
        EXPECT_TRUE(s->Seguidor->Tickets().empty());
        EXPECT_LE(dialogs.shown.size(), 2u);
        EXPECT_EQ(printer.Jobs().size(), 4u);
        ExpectEachTicketOnPaperOnce(printer);
        delete Pedido_R::Instance();
    }
}

TEST_F(PrinterFaultsScreenTest, AJobThatNeverEndsOrIsCancelledIsOfferedAgainAndPrintsOnce) {
    const struct {
        const char* what;
        const char* plazo;
        bool cancelAtCups;
        const char* text;
    } cases[] = {{"not completed in time", "3", false, "La impresora Cocina no terminó de imprimir en 3 segundos ..."},
                 {"cancelled at the printing system", "120", true, "La comanda fue cancelada en la impresora Cocina ..."}};
    Module1::Impresora = "Cocina";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::EmptyOrders(41);
        dialogs.shown.clear();
        qputenv("PEDIDOS_PLAZO_IMPRESION", c.plazo);
        PrinterListener printer;  // switched off: nothing listens on :9100 yet
        Pedido_R* s = OrderOnScreen();
        s->Command2_Click(0);
        EXPECT_TRUE(dialogs.shown.empty());
        if (c.cancelAtCups) Cups("cancel", {"-a", "Cocina"});
        QString error;
        dialogs.beforeAnswer = [&](const auto&) {
            EXPECT_EQ(ActiveJobs("Cocina"), 0);
            ASSERT_TRUE(printer.Start(host, 9100, &error)) << error.toStdString();
        };
        dialogs.AnswerYes();
        ASSERT_TRUE(WaitForBox(0, 60s)) << "the failure was never told";
        EXPECT_TRUE(dialogs.shown[0].text.contains(QString::fromUtf8(c.text))) << dialogs.shown[0].text.toStdString();
        ASSERT_TRUE(s->Seguidor->WaitUntilSettled(90s));
        EXPECT_TRUE(s->Seguidor->Tickets().empty());
        ASSERT_TRUE(printer.WaitForJobs(4, 60s));
        ExpectEachTicketOnPaperOnce(printer);
        delete Pedido_R::Instance();
    }
}

TEST_F(PrinterFaultsScreenTest, AJobThePrintingSystemGivesUpOnIsToldAndCancelled) {
    // A driver whose filter always fails: CUPS stops each job "completed
    // with errors" and goes on with the next.
    QFile ppd(folder.filePath("abandona.ppd"));
    ASSERT_TRUE(ppd.open(QIODevice::WriteOnly));
    ppd.write("*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
              "*LanguageEncoding: ISOLatin1\n*PCFileName: \"ABANDONA.PPD\"\n*Manufacturer: \"Pedidos\"\n"
              "*Product: \"(Abandona)\"\n*ModelName: \"Abandona\"\n*ShortNickName: \"Abandona\"\n"
              "*NickName: \"Abandona\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n"
              "*ColorDevice: False\n*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
              "*cupsVersion: 2.4\n*cupsFilter: \"application/pdf 0 /bin/false\"\n"
              "*OpenUI *PageSize/Media Size: PickOne\n*DefaultPageSize: A5\n"
              "*PageSize A5/A5: \"<</PageSize[420 595]>>setpagedevice\"\n*CloseUI: *PageSize\n"
              "*DefaultImageableArea: A5\n*ImageableArea A5/A5: \"0 0 420 595\"\n"
              "*DefaultPaperDimension: A5\n*PaperDimension A5/A5: \"420 595\"\n");
    ppd.close();
    Cups("lpadmin", {"-p", "Abandona", "-v", "socket://" + host + ":9119", "-P", ppd.fileName(), "-E"});
    const auto removed = qScopeGuard([] { Cups("lpadmin", {"-x", "Abandona"}); });
    Module1::Impresora = "Abandona";
    qputenv("PEDIDOS_PLAZO_IMPRESION", "60");  // CUPS takes seconds over a failed job
    // One line of a group Modelo.txt does not list: the full copy alone.
    Pedido_R* s = Continued(QString::fromUtf8("María Fernández"), "7", "001");
    order::Line line = Line("C001", "CAFE");
    line.imprimir = "CAFETERIA";
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, line, s->Num_Contornos);
    s->Command2_Click(0);
    EXPECT_TRUE(dialogs.shown.empty());

    // Nothing to put right: the waiter says no and tells the kitchen.
    dialogs.AnswerNo();
    QElapsedTimer t;
    t.start();
    while (!s->Seguidor->Tickets().empty() && t.elapsed() < 90000) WaitForBox(dialogs.shown.size(), 500ms);
    EXPECT_TRUE(s->Seguidor->Tickets().empty());
    ASSERT_FALSE(dialogs.shown.empty());
    QStringList told;
    for (const auto& box : dialogs.shown) {
        EXPECT_TRUE(box.text.contains(QString::fromUtf8("La impresora Abandona abandonó la comanda por un error ...")))
            << box.text.toStdString();
        for (const char* title : kTickets)
            if (box.text.contains(QString(": ") + title) || box.text.contains(QString(", ") + title)) told << title;
    }
    EXPECT_EQ(told, QStringList{"ASISTENTE"});
    EXPECT_EQ(ActiveJobs("Abandona"), 0);  // none left to come out later
}

TEST_F(PrinterFaultsScreenTest, TicketsStillAtThePrinterWhenTheTerminalStopsAreFollowedAtTheNextStart) {
    Module1::Impresora = "Cocina";
    Pedido_R* s = OrderOnScreen();
    s->Command2_Click(0);  // the printer is off: the jobs wait in CUPS
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_EQ(s->Seguidor->Tickets().size(), 4u);
    const QString path = s->Seguidor->Path();
    delete Pedido_R::Instance();  // the terminal stops with its tickets under way
    ASSERT_TRUE(QFile::exists(path));

    PrinterListener printer;
    QString error;
    ASSERT_TRUE(printer.Start(host, 9100, &error)) << error.toStdString();
    s = Load();
    ASSERT_EQ(s->Seguidor->Tickets().size(), 4u);
    ASSERT_TRUE(s->Seguidor->WaitUntilSettled(90s));
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.shown.empty());  // all printed: nothing to ask
    EXPECT_TRUE(s->Seguidor->Tickets().empty());
    ExpectEachTicketOnPaperOnce(printer);
    s->Seguidor.reset();
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
