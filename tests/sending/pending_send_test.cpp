// A send whose outcome was lost, and a terminal switched off in the middle of
// ENVIAR, on the real screen: the send is settled with the server before
// anything touches the order (and at the next start), a stored one gets its
// tickets once, an unstored one is never lost, and nothing is stored twice.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <functional>

#include "data/db_error.h"
#include "order_screen/grid.h"
#include "order_screen/screen_fixture.h"
#include "sending/hooked_connection.h"
#include "sending/printing_system.h"
#include "sending/ticket_follower.h"
#include "sending/send_journal.h"
#include "runtime/configuration.h"

namespace {

using namespace order_screen;
using testsupport::RootQuery;
using Accion = Pedido_R::Accion;

// The power goes off: nothing after this point of the program runs.
struct PowerCut {};

// The kitchen printer as the tickets reach it: title and ticket number.
class TicketsSeen : public sending::PrintingSystem {
public:
    sending::PrinterList InstalledPrinters() override { return {true, {}, {"Cocina"}}; }
    sending::JobResult PrintTicket(const QString&, const sending::Ticket& t) override {
        if (tickets.size() == cutAt || (cutAtRetry && failed && t.title == failOnce)) throw PowerCut{};
        if (t.title == failOnce && !failed) {
            failed = true;
            return {false, "sin papel", false};
        }
        tickets << t.title + " " + t.numero;
        return {true, {}, false};
    }
    QStringList tickets;
    qsizetype cutAt = -1;     // the power goes when this many tickets are out
    QString failOnce;         // this ticket fails the first time
    bool cutAtRetry = false;  // the power goes while it is printed again
    bool failed = false;
};

class PendingSendTest : public testsupport::OrderScreenTest {
protected:
    void SetUp() override {
        OrderScreenTest::SetUp();
        testsupport::EmptyOrders(41);
        Module1::Cadena_Conexion = testsupport::TestConnectionString();
        Module1::Impresora = "Cocina";
        auto p = std::make_unique<TicketsSeen>();
        printer = p.get();
        sending::SetPrintingSystem(std::move(p));
        auto hooked = std::make_unique<sendingtest::HookedConnection>(std::move(Module1::Conexion));
        conn = hooked.get();
        Module1::Conexion = std::move(hooked);
    }
    void TearDown() override {
        sending::SetPrintingSystem(nullptr);
        OrderScreenTest::TearDown();
    }
    Pedido_R* Taking() {
        Pedido_R* s = Continued(QString::fromUtf8("Yusmary Carrasco"), "12", "004");
        AddLine(s, "P001");
        AddLine(s, "B010");
        return s;
    }
    // ENVIAR whose COMMIT answer is lost (after the server ran it, or before
    // it reached the server) while the server cannot be reached to ask.
    void EnviarWithLostAnswer(Pedido_R* s, bool commitRan) {
        auto lose = [this](const QString& sql, int) {
            if (sql != "COMMIT") return;
            conn->Real().Close();
            throw data::DbError(2013, "Lost connection to server during query");
        };
        (commitRan ? conn->after : conn->before) = lose;
        Module1::Cadena_Conexion =
            rt::BuildConnectionString(testsupport::DbName(), testsupport::DbDownHost());
        s->Command2_Click(0);
        conn->after = conn->before = nullptr;
        ASSERT_EQ(dialogs.shown.size(), 1u);
        ASSERT_TRUE(dialogs.shown[0].text.contains("No se pudo confirmar")) << dialogs.shown[0].text.toStdString();
        ASSERT_EQ(s->Grid1->TextMatrix(2, kColCodigo), "B010");
    }
    static void Act(Pedido_R* s, Accion a) {
        switch (a) {
            case Accion::Enviar: s->Command2_Click(0); break;
            case Accion::NuevaLinea:
                Module1::Producto_Sel = "NO-EXISTE";  // a lookup that adds nothing
                s->buscar_arti1();
                break;
            case Accion::Borrar:
                s->Grid1->SetRow(1);
                s->Grid1_KeyDown(46, 0);
                break;
            case Accion::Limpiar: s->Command2_Click(1); break;
            case Accion::Salir: s->close(); break;
            case Accion::Inicio: break;
        }
    }
    static QString Stored() {
        return RootQuery("select (select control_Comanda from mantenimiento), (select count(*) from D_Fact_r),"
                         " (select count(*) from comanda), (select count(distinct numero) from comanda)")
            .value(0);
    }
    // Once the screen's journal has done what it left to its own thread.
    static bool JournalOpen() {
        if (Pedido_R::Instance() && Pedido_R::Instance()->Diario) Pedido_R::Instance()->Diario->Flush();
        return QFile::exists(JournalPath());
    }
    // The terminal starts again after a power cut: no unload ran, the server
    // dropped the old connection (rolling back what it had not committed).
    Pedido_R* Restart() {
        delete Pedido_R::Instance();
        Module1::Conexion->Close();
        auto fresh = std::make_unique<data::MariaDbConnection>();
        fresh->Open(Module1::Cadena_Conexion);
        Module1::Conexion = std::move(fresh);
        return Load();
    }

    TicketsSeen* printer = nullptr;
    sendingtest::HookedConnection* conn = nullptr;
};

const struct {
    const char* name;
    Accion accion;
} kActions[] = {{"ENVIAR", Accion::Enviar},   {"new line", Accion::NuevaLinea}, {"Delete", Accion::Borrar},
                {"LIMPIAR", Accion::Limpiar}, {"SALIR", Accion::Salir}};

TEST_F(PendingSendTest, ALostAnswerIsSettledBeforeAnyActionTouchesTheOrder) {
    for (const bool commitRan : {true, false}) {
        for (const auto& action : kActions) {
            SCOPED_TRACE(std::string(action.name) + (commitRan ? ", stored" : ", not stored"));
            testsupport::EmptyOrders(41);
            dialogs.shown.clear();
            printer->tickets.clear();
            Module1::Cadena_Conexion = testsupport::TestConnectionString();
            if (!Module1::Conexion->IsOpen()) Module1::Conexion->Open(Module1::Cadena_Conexion);
            Pedido_R* s = Taking();
            EnviarWithLostAnswer(s, commitRan);
            ASSERT_TRUE(JournalOpen());
            Module1::Cadena_Conexion = testsupport::TestConnectionString();  // the server answers again

            Act(s, action.accion);

            if (commitRan) {
                // Found stored: its tickets once, the screen cleared, the waiter told.
                ASSERT_EQ(dialogs.shown.size(), 2u);
                EXPECT_TRUE(dialogs.shown[1].text.startsWith(QString::fromUtf8(
                    "El pedido de la Mesa 12 sí quedó guardado (comanda N° 41).")))
                    << dialogs.shown[1].text.toStdString();
                EXPECT_EQ(printer->tickets, QStringList{"ASISTENTE 41"});
                EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "");
                EXPECT_EQ(Stored(), "42\t2\t2\t1");
            } else {
                // Found not stored: the action went on silently.
                EXPECT_EQ(dialogs.shown.size(), 1u);
                const bool sent = action.accion == Accion::Enviar;
                EXPECT_EQ(Stored(), sent ? "42\t2\t2\t1" : "41\t0\t0\t0");
                EXPECT_EQ(printer->tickets, sent ? QStringList{"ASISTENTE 41"} : QStringList{});
                if (action.accion == Accion::Borrar) {
                    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "B010");
                    s->Command2_Click(0);  // the order as the screen now shows it
                    EXPECT_EQ(Stored(), "42\t1\t1\t1");
                }
            }
            EXPECT_FALSE(JournalOpen());
            delete Pedido_R::Instance();
        }
    }
}

TEST_F(PendingSendTest, WhileTheServerCannotAnswerEveryActionKeepsTheOrderAndSaysSo) {
    Pedido_R* s = Taking();
    EnviarWithLostAnswer(s, true);
    for (const auto& action : kActions) {
        SCOPED_TRACE(action.name);
        const size_t before = dialogs.shown.size();
        if (action.accion == Accion::Salir) dialogs.AnswerNo();  // leave anyway? no
        Act(s, action.accion);
        ASSERT_EQ(dialogs.shown.size(), before + 1);
        EXPECT_TRUE(dialogs.shown.back().text.contains(QString::fromUtf8(
            "No se pudo comprobar si el pedido de la Mesa 12 quedó guardado (comanda N° 41).")))
            << dialogs.shown.back().text.toStdString();
        EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "P001");
        EXPECT_EQ(s->Grid1->TextMatrix(2, kColCodigo), "B010");
    }
    EXPECT_TRUE(printer->tickets.isEmpty());
    EXPECT_EQ(Stored(), "42\t2\t2\t1");  // stored once, never again
    EXPECT_TRUE(JournalOpen());
}

TEST_F(PendingSendTest, ATerminalSwitchedOffMidSendSettlesItAtTheNextStart) {
    const struct {
        const char* name;
        std::function<void(sendingtest::HookedConnection*, TicketsSeen*)> cut;
        const char* stored;     // counter, lines, ticket lines, numbers after the restart
        const char* message;    // the start of what the waiter is told at the restart
    } cases[] = {
        {"after the second line", [](auto* c, auto*) {
             c->after = [](const QString& sql, int) { if (sql.contains("'B010'")) throw PowerCut{}; }; },
         "41\t0\t0\t0", "El último pedido de esta terminal no llegó a guardarse:\rMesa 12, Mesero(a) Yusmary Carrasco."},
        {"with COMMIT on its way", [](auto* c, auto*) {
             c->before = [](const QString& sql, int) { if (sql == "COMMIT") throw PowerCut{}; }; },
         "41\t0\t0\t0", "El último pedido de esta terminal no llegó a guardarse:\rMesa 12, Mesero(a) Yusmary Carrasco."},
        {"right after COMMIT", [](auto* c, auto*) {
             c->after = [](const QString& sql, int) { if (sql == "COMMIT") throw PowerCut{}; }; },
         "42\t2\t2\t1", "El último pedido de esta terminal quedó guardado y faltan sus comandas:\rMesa 12, "
                        "Mesero(a) Yusmary Carrasco, comanda N° 41."},
        {"while printing", [](auto*, auto* p) { p->cutAt = 0; },
         "42\t2\t2\t1", "El último pedido de esta terminal quedó guardado y faltan sus comandas:\rMesa 12, "
                        "Mesero(a) Yusmary Carrasco, comanda N° 41."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        testsupport::EmptyOrders(41);
        dialogs.shown.clear();
        printer->tickets.clear();
        Pedido_R* s = Taking();
        k.cut(conn, printer);
        EXPECT_THROW(s->Command2_Click(0), PowerCut);
        conn->before = conn->after = nullptr;
        printer->cutAt = -1;
        ASSERT_TRUE(JournalOpen());

        s = Restart();

        EXPECT_EQ(Stored(), QString(k.stored));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        const QString text = dialogs.shown[0].text;
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(k.message))) << text.toStdString();
        const bool stored = QString(k.stored).startsWith("42");
        EXPECT_EQ(printer->tickets, stored ? QStringList{"ASISTENTE 41"} : QStringList{});
        if (!stored) {
            // The lines, so the waiter can take the order again.
            EXPECT_TRUE(text.contains("PLATO P001")) << text.toStdString();
            EXPECT_TRUE(text.contains("PLATO B010")) << text.toStdString();
        }
        EXPECT_FALSE(JournalOpen());
        // The screen works as after any start: a new order is stored once.
        s = Taking();
        s->Command2_Click(0);
        EXPECT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(RootQuery("select count(*), count(distinct numero) from comanda").value(0),
                  stored ? "4\t2" : "2\t1");
        // Hooks hold the old connection: give this connection back to them.
        conn = nullptr;
        auto hooked = std::make_unique<sendingtest::HookedConnection>(std::move(Module1::Conexion));
        conn = hooked.get();
        Module1::Conexion = std::move(hooked);
        delete Pedido_R::Instance();
    }
}

TEST_F(PendingSendTest, ATicketThatFailedIsOfferedAgainAtTheNextStartAndPrintedWithItsNumber) {
    Pedido_R* s = Taking();
    order::Line kitchen = Line("E001", "TEQUENOS");
    kitchen.imprimir = "COCINA";  // a chef group of Modelo.txt: ASISTENTE, CHEF and COCINA tickets
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, kitchen, s->Num_Contornos);
    printer->failOnce = "CHEF";
    printer->cutAtRetry = true;
    dialogs.AnswerYes();  // print the missing ticket again
    EXPECT_THROW(s->Command2_Click(0), PowerCut);
    EXPECT_EQ(printer->tickets, (QStringList{"ASISTENTE 41", "COCINA 41"}));
    printer->cutAtRetry = false;
    printer->tickets.clear();
    dialogs.shown.clear();

    dialogs.AnswerYes();
    s = Restart();
    QCoreApplication::processEvents();  // offered once the screen is up

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("mesa 12 quedó guardado (comanda 41)")) << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(dialogs.shown[0].text.contains("impresora Cocina: CHEF.")) << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(printer->tickets, QStringList{"CHEF 41"});
    EXPECT_EQ(Stored(), "42\t3\t3\t1");
    EXPECT_FALSE(JournalOpen());
    s->Seguidor->WaitUntilSettled(std::chrono::seconds(10));
    EXPECT_TRUE(s->Seguidor->Tickets().empty());
}

TEST_F(PendingSendTest, TicketsOutBeforeThePowerWentAreNotPrintedAgain) {
    Pedido_R* s = Taking();
    order::Line kitchen = Line("E001", "TEQUENOS");
    kitchen.imprimir = "COCINA";  // ASISTENTE, CHEF and COCINA tickets
    AppendLine(*s->Grid1, *s->Grid2, s->Pedido, kitchen, s->Num_Contornos);
    printer->cutAt = 1;  // after ASISTENTE, while CHEF goes
    EXPECT_THROW(s->Command2_Click(0), PowerCut);
    EXPECT_EQ(printer->tickets, QStringList{"ASISTENTE 41"});
    printer->cutAt = -1;
    printer->tickets.clear();

    Restart();

    EXPECT_EQ(printer->tickets, (QStringList{"CHEF 41", "COCINA 41"}));
    EXPECT_FALSE(JournalOpen());
}

TEST_F(PendingSendTest, AfterARestartEachTicketPrintsOnceWhateverModeloSaysByThen) {
    const QString modelo = Module1::Carpeta_Datos + "/Modelo.txt";
    const auto write = [&](const QByteArray& text) {
        QFile f(modelo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    const QStringList all{"ASISTENTE 41", "COCINA 41", "BAR 41"};
    const struct {
        const char* name;
        std::function<void()> change;
        int cutAt = 2;  // ASISTENTE and COCINA out, the power goes as BAR goes
    } cases[] = {
        {"BAR moved above COCINA", [&] { write("BAR'B'\r\nCOCINA'G'\r\n"); }},
        {"Modelo.txt gone", [&] { QFile::remove(modelo); }},
        {"Modelo.txt gone, the power gone as the first ticket went", [&] { QFile::remove(modelo); }, 0},
        {"the entry an earlier program wrote, by places", [&] {
             ASSERT_TRUE(JournalOpen());
             QFile f(JournalPath());
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             std::optional<sending::JournalEntry> e = sending::JournalFromJson(f.readAll(), nullptr);
             ASSERT_TRUE(e.has_value());
             e->impresas.clear();
             e->comandas.clear();
             e->impresasPorLugar = {0, 1};
             f.resize(0);
             f.seek(0);
             f.write(sending::JournalToJson(*e));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::EmptyOrders(41);
        write("COCINA'G'\r\nBAR'B'\r\n");
        Pedido_R* s = Continued(QString::fromUtf8("Yusmary Carrasco"), "12", "004");
        for (const auto& [code, group] : {std::pair{"E001", "COCINA"}, std::pair{"B010", "BAR"}}) {
            order::Line l = Line(code, "PLATO " + QString(code));
            l.imprimir = group;
            AppendLine(*s->Grid1, *s->Grid2, s->Pedido, l, s->Num_Contornos);
        }
        printer->tickets.clear();
        printer->cutAt = c.cutAt;
        EXPECT_THROW(s->Command2_Click(0), PowerCut);
        EXPECT_EQ(printer->tickets, all.mid(0, c.cutAt));
        printer->cutAt = -1;
        printer->tickets.clear();
        c.change();

        Restart();

        EXPECT_EQ(printer->tickets, all.mid(c.cutAt));
        EXPECT_FALSE(JournalOpen());
        conn = nullptr;
        auto hooked = std::make_unique<sendingtest::HookedConnection>(std::move(Module1::Conexion));
        conn = hooked.get();
        Module1::Conexion = std::move(hooked);
        delete Pedido_R::Instance();
    }
}

TEST_F(PendingSendTest, ASendLeftByAnEarlierRunWithTheServerDownIsToldAndSettledByTheNextEnviar) {
    Pedido_R* s = Taking();
    conn->after = [](const QString& sql, int) { if (sql == "COMMIT") throw PowerCut{}; };
    EXPECT_THROW(s->Command2_Click(0), PowerCut);
    conn->after = nullptr;
    delete Pedido_R::Instance();
    Module1::Conexion->Close();
    // The same server, port and database, not answering.
    conn->opening = [] { throw data::DbError(2002, "Can't connect to server (it does not answer)"); };

    s = Load();  // the server cannot be reached at this start

    ASSERT_EQ(dialogs.shown.size(), 2u);  // the earlier send, then the connection
    EXPECT_TRUE(dialogs.shown[0].text.contains(QString::fromUtf8(
        "No se pudo comprobar si el último pedido de esta terminal quedó guardado:\rMesa 12, Mesero(a) "
        "Yusmary Carrasco, comanda N° 41.\rSe comprobará antes del próximo envío.")))
        << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(printer->tickets.isEmpty());

    // The server is back; another order is on the screen. ENVIAR settles the
    // earlier send first and stops there, so the waiter reads what became of it.
    conn->opening = nullptr;
    s = Continued("Ana", "3", "001");
    AddLine(s, "E001");
    s->Command2_Click(0);
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_TRUE(dialogs.shown[2].text.startsWith(
        QString::fromUtf8("El último pedido de esta terminal quedó guardado y faltan sus comandas:")))
        << dialogs.shown[2].text.toStdString();
    EXPECT_EQ(printer->tickets, QStringList{"ASISTENTE 41"});
    EXPECT_EQ(s->Grid1->TextMatrix(1, kColCodigo), "E001");  // not sent yet
    s->Command2_Click(0);
    EXPECT_EQ(printer->tickets, (QStringList{"ASISTENTE 41", "ASISTENTE 42"}));
    EXPECT_EQ(Stored(), "43\t3\t3\t2");
    EXPECT_FALSE(JournalOpen());
}

TEST_F(PendingSendTest, AJournalThatCannotBeReadIsReportedAndTheTerminalStarts) {
    QFile bad(JournalPath());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(bad).absolutePath()));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"version\": 1, \"idEnvio\": \"x\", \"ped");  // cut off by the power cut
    bad.close();
    ASSERT_TRUE(QFile::copy(JournalPath(), JournalPath() + ".ilegible"));  // one kept by an earlier start

    Pedido_R* s = Load();

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith("No se pudo leer el registro del último envío de esta terminal"))
        << dialogs.shown[0].text.toStdString();
    // It names the file as kept, beside the earlier one.
    EXPECT_TRUE(dialogs.shown[0].text.contains(JournalPath() + ".ilegible.2\r")) << dialogs.shown[0].text.toStdString();
    EXPECT_FALSE(JournalOpen());
    EXPECT_TRUE(QFile::exists(JournalPath() + ".ilegible"));
    s = Taking();
    s->Command2_Click(0);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Stored(), "42\t2\t2\t1");
}

}  // namespace
