// ENVIAR on the real screen, printing through the private CUPS to the
// stand-in kitchen printer: what the printer receives, ticket by ticket, and
// what the waiter sees when tickets do not get through.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <chrono>

#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "printer_listener.h"
#include "runtime/text_file.h"
#include "printers/cups_printing.h"
#include "sending/print_test_helpers.h"
#include "sending/cups_queue_probe.h"
#include "sending/escpos.h"
#include "sending/printing_system.h"
#include "sending/send_journal.h"
#include "sending/ticket_layout.h"

namespace {

using namespace order_screen;
using namespace std::chrono_literals;
using testsupport::RootQuery;

QString PrinterHost() {
    const QByteArray host = qgetenv("PEDIDOS_TEST_PRINTER_HOST");
    return host.isEmpty() ? QStringLiteral("127.0.0.9") : QString::fromLatin1(host);
}

// The time of day on a ticket header is the terminal's clock when it was
// printed: blanked out of both sides before they are compared.
QByteArray WithoutTime(QByteArray job) {
    const QByteArray mark = "Hora: ";
    for (qsizetype at = job.indexOf(mark); at >= 0; at = job.indexOf(mark, at + 1))
        job.replace(at + mark.size(), 8, "--:--:--");
    return job;
}

// The real CUPS, except for one ticket (counted from 0) that fails as a
// printer dying in the middle of the send would make it fail.
class OneTicketFails : public sending::PrintingSystem {
public:
    OneTicketFails(int falla, bool sinRespuesta) : falla_(falla), sinRespuesta_(sinRespuesta) {}
    sending::PrinterList InstalledPrinters() override { return real_.InstalledPrinters(); }
    sending::JobResult PrintTicket(const QString& printer, const sending::Ticket& ticket) override {
        intentados << ticket.title;
        if (intentados.size() - 1 == falla_) return {false, "la impresora se apagó", sinRespuesta_};
        return real_.PrintTicket(printer, ticket);
    }
    QStringList intentados;

private:
    printers::CupsPrintingSystem real_;
    int falla_;
    bool sinRespuesta_;
};

class EnviarPrintingTest : public testsupport::OrderScreenTest {
protected:
    void SetUp() override {
        OrderScreenTest::SetUp();
        testsupport::EmptyOrders(41);
        Module1::Cadena_Conexion = testsupport::TestConnectionString();
        QString error;
        // A job an earlier test left in the queue (its printer was off) would
        // reach this test's printer when CUPS tries it again.
        ASSERT_TRUE(sendingtest::PurgeJobs("Cocina", &error)) << error.toStdString();
        ASSERT_TRUE(printer.Start(PrinterHost(), 9100, &error)) << error.toStdString();
    }
    void TearDown() override {
        sending::SetPrintingSystem(nullptr);
        OrderScreenTest::TearDown();
    }

    // Waiter, table and four lines: two of the kitchen (a "C" group of the
    // demo Modelo.txt), one of the bar, one of a group the file does not list.
    Pedido_R* OrderOnScreen() {
        Pedido_R* s = Continued(QString::fromUtf8("María Fernández"), "7", "001");
        Add(s, "E001", "TEQUEÑOS (6 UND)", "COCINA");
        Add(s, "B001", "CERVEZA", "BAR");
        Add(s, "C001", "CAFÉ MARRÓN", "CAFETERIA");
        Add(s, "S001", "HERVIDO DE RES", "COCINA");
        return s;
    }
    static void Add(Pedido_R* s, const QString& code, const QString& name, const QString& group) {
        order::Line line = Line(code, name);
        line.imprimir = group;
        AppendLine(*s->Grid1, *s->Grid2, s->Pedido, line, s->Num_Contornos);
    }
    // The tickets the layout makes of the screen's order, as printer bytes.
    std::vector<QByteArray> ExpectedJobs(Pedido_R* s, const QString& numero) {
        sending::TicketInput in;
        in.numero = numero;
        in.empresa = Module1::Nombre_Empresa;
        in.fecha = QDate::currentDate();
        in.mesonero = s->Pedido.mesonero;
        in.mesa = s->Pedido.mesa;
        in.lineas = s->Pedido.lineas;
        in.reloj = [] { return QTime(12, 0); };
        rt::TextFileReader modelo(Module1::Carpeta_Datos + "/Modelo.txt");
        QStringList lines;
        while (!modelo.AtEndOfStream()) lines << modelo.ReadLine();
        std::vector<QByteArray> jobs;
        for (const sending::Ticket& t : sending::LayOutTickets(in, lines))
            jobs.push_back(WithoutTime(sending::EscPosBytes(t)));
        return jobs;
    }
    // A last ticket straight to "Cocina": CUPS prints a queue's jobs in
    // order, so once it arrives, everything the send printed has arrived.
    void PrintMarker() {
        const sending::Ticket marker = sendingtest::SampleTicket("MARCA", {});
        ASSERT_TRUE(printers::CupsPrintingSystem().PrintTicket("Cocina", marker).ok);
    }
    static QString StoredLines() { return RootQuery("select count(*) from D_Fact_r").value(0); }

    printerlistener::PrinterListener printer;
};

// On our tables and on an installation's own, whose comanda.nom_producto is
// narrower than some product names.
using EnviarPrintingOn = testsupport::OnInstallation<EnviarPrintingTest>;
INSTANTIATE_TEST_SUITE_P(Installations, EnviarPrintingOn, testsupport::OursAndTheirs(),
                         testsupport::InstallationParamName());

TEST_P(EnviarPrintingOn, TheFullCopyChefCopyAndGroupTicketsReachThePrinterNamedInOtherLetters) {
    Module1::Impresora = "COCINA";
    Pedido_R* s = OrderOnScreen();
    Add(s, "E002", "EMPANADAS DE CARNE (3 UND)", "COCINA");  // 26 characters
    const std::vector<QByteArray> expected = ExpectedJobs(s, "41");
    ASSERT_EQ(expected.size(), 4u);  // ASISTENTE, CHEF, COCINA, BAR

    s->Command2_Click(0);

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(StoredLines(), "5");
    // The ticket line keeps as much of the name as the installation's column holds.
    EXPECT_EQ(RootQuery("select nom_producto from comanda where nom_producto like 'EMPANADAS%'"),
              QStringList{GetParam() == testsupport::Installation::Theirs ? "EMPANADAS DE CARNE (" :
                                                                            "EMPANADAS DE CARNE (3 UND)"});
    ASSERT_TRUE(printer.WaitForJobs(expected.size(), 60s)) << printer.Jobs().size() << " jobs";
    const std::vector<QByteArray> jobs = printer.Jobs();
    ASSERT_EQ(jobs.size(), expected.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) EXPECT_EQ(WithoutTime(jobs[i]), expected[i]) << "ticket " << i;
    EXPECT_TRUE(jobs[1].contains("CHEF"));
    EXPECT_TRUE(jobs[0].contains("EMPANADAS DE CARNE (3 UND)"));  // the kitchen reads it whole
    EXPECT_TRUE(jobs[3].contains("BAR"));
    EXPECT_FALSE(jobs[3].contains("HERVIDO"));
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");  // the screen was cleared
}

TEST_F(EnviarPrintingTest, APrinterThatIsNotInstalledPrintsNothingAndSaysNothing) {
    Module1::Impresora = "Barra";
    Pedido_R* s = OrderOnScreen();
    s->Command2_Click(0);

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(StoredLines(), "4");
    PrintMarker();
    ASSERT_TRUE(printer.WaitForJobs(1, 60s));
    ASSERT_EQ(printer.Jobs().size(), 1u);
    EXPECT_TRUE(printer.Jobs()[0].contains("MARCA"));
}

TEST_F(EnviarPrintingTest, ARefusingQueueIsNamedWithEveryTicketAndTheOrderStaysStoredOnce) {
    Module1::Impresora = "rechaza";
    Pedido_R* s = OrderOnScreen();
    dialogs.AnswerNo();  // print the missing tickets again? no
    s->Command2_Click(0);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString text = dialogs.shown[0].text;
    EXPECT_TRUE(text.contains("comanda 41")) << text.toStdString();
    EXPECT_TRUE(text.contains("impresora Rechaza: ASISTENTE, CHEF, COCINA, BAR.")) << text.toStdString();
    EXPECT_EQ(StoredLines(), "4");
    EXPECT_EQ(RootQuery("select control_Comanda from mantenimiento").value(0), "42");  // drawn once
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");  // stored: not to be sent again
}

TEST_F(EnviarPrintingTest, AnUnreachablePrintingSystemIsReportedAndTheOrderStaysStored) {
    Module1::Impresora = "Cocina";
    sending::SetPrintingSystem(
        std::make_unique<printers::CupsPrintingSystem>(folder.filePath("no-hay-cups.sock"), 2000ms));
    Pedido_R* s = OrderOnScreen();
    dialogs.AnswerNo();
    s->Command2_Click(0);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("impresora Cocina: ASISTENTE, CHEF, COCINA, BAR."))
        << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(StoredLines(), "4");
}

TEST_F(EnviarPrintingTest, OnlyTheTicketThatFailedIsNamedAndPrintedAgainWithTheSameNumber) {
    Module1::Impresora = "Cocina";
    auto sistema = std::make_unique<OneTicketFails>(1, false);
    OneTicketFails* visto = sistema.get();
    sending::SetPrintingSystem(std::move(sistema));
    Pedido_R* s = OrderOnScreen();
    dialogs.AnswerYes();  // print the missing ticket again
    s->Command2_Click(0);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "yesno");
    const QString text = dialogs.shown[0].text;
    EXPECT_TRUE(text.contains("impresora Cocina: CHEF.")) << text.toStdString();
    EXPECT_TRUE(text.contains(" Motivo: la impresora se apagó\r ¿Imprimir de nuevo las comandas que faltan?"))
        << text.toStdString();
    // The retry sends the one ticket that failed, nothing else.
    EXPECT_EQ(visto->intentados, (QStringList{"ASISTENTE", "CHEF", "COCINA", "BAR", "CHEF"}));
    ASSERT_TRUE(printer.WaitForJobs(4, 60s));
    const std::vector<QByteArray> jobs = printer.Jobs();
    ASSERT_EQ(jobs.size(), 4u);
    EXPECT_TRUE(jobs[0].contains("ASISTENTE"));
    EXPECT_TRUE(jobs[1].contains("COCINA"));
    EXPECT_TRUE(jobs[2].contains("BAR"));
    EXPECT_TRUE(jobs[3].contains("CHEF"));
    EXPECT_TRUE(jobs[3].contains("COMANDA: 41"));  // the send's own number, drawn once
    EXPECT_EQ(RootQuery("select control_Comanda from mantenimiento").value(0), "42");
    EXPECT_EQ(StoredLines(), "4");
    EXPECT_FALSE(QFile::exists(JournalPath()));  // tickets out: nothing in flight
}

TEST_F(EnviarPrintingTest, APrintingSystemThatStopsAnsweringIsNotWaitedForAgain) {
    Module1::Impresora = "Cocina";
    auto sistema = std::make_unique<OneTicketFails>(1, true);
    OneTicketFails* visto = sistema.get();
    sending::SetPrintingSystem(std::move(sistema));
    Pedido_R* s = OrderOnScreen();
    dialogs.AnswerNo();
    s->Command2_Click(0);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("impresora Cocina: CHEF, COCINA, BAR."))
        << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(visto->intentados, (QStringList{"ASISTENTE", "CHEF"}));
    EXPECT_EQ(StoredLines(), "4");
}

}  // namespace
