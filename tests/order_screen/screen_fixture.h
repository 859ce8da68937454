#pragma once
// The order screen on the test program's database: the formats start-up
// forces, the icons in a program folder of its own, a connection as the
// terminal's user, the demo restaurant's area "01", and scripted dialogs.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "data/mariadb_connection.h"
#include "order_screen/order_lines.h"
#include "order_screen/pedido_r.h"
#include "runtime/regional_formats.h"
#include "sending/send_journal.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "support/installations.h"
#include "support/program_end.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"

namespace testsupport {

class OrderScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }

    void SetUp() override {
        // The formats start-up forces: day-first dates, decimal comma.
        rt::ResetFormats();
        rt::CurrentFormats().shortDate = "dd/MM/yyyy";
        rt::CurrentFormats().decimalSeparator = ",";
        rt::CurrentFormats().thousandSeparator = ".";
        QDir(folder.path()).mkpath("iconos");
        for (const QString& name : QDir(testsupport::SourcePath("src/iconos")).entryList({"*.ico"}))
            QFile::copy(testsupport::SourcePath("src/iconos/" + name), folder.filePath("iconos/" + name));
        rt::SetProgramFolder(folder.path());
        QDir(folder.path()).mkpath("datos");
        for (const char* name : {"Contorno.txt", "Termino.txt", "Modelo.txt"})
            QFile::copy(testsupport::SourcePath(QString("demo/") + name), folder.filePath(QString("datos/") + name));
        Module1::Carpeta_Datos = folder.filePath("datos");
        Module1::Impresora.clear();
        // No send left in flight by an earlier test, whatever its installation,
        // nor tickets left at its printer.
        const QDir journals(sending::JournalFolder());
        for (const QString& name : journals.entryList({"envio_en_curso*", "comandas_en_impresora*"}, QDir::Files)) QFile::remove(journals.filePath(name));
        auto conn = std::make_unique<data::MariaDbConnection>();
        conn->Open(testsupport::TestConnectionString());
        Module1::Anchos = data::LearnColumnWidths(*conn);  // as start-up learns them
        Module1::Conexion = std::move(conn);
        Module1::Cod_Deposito = "01";
        Module1::Nombre_Empresa = QString::fromUtf8("Restaurant El Fogón");
        Module1::Fecha_Servidor = QDate(2026, 12, 8);
        Module1::Iva = rt::Variant();
        Module1::Precio_V.clear();
        Module1::Dollar = 0;
    }
    void TearDown() override {
        if (order_screen::Pedido_R::Exists()) delete order_screen::Pedido_R::Instance();
        Module1::Conexion.reset();
        Module1::Anchos = data::ColumnWidths();
        rt::SetProgramFolder(QString());
        rt::ResetFormats();
    }

    // The journal of the test database, where the screen keeps its send in flight.
    static QString JournalPath() { return sending::DefaultJournalPath(sending::InstallationOf(TestConnectionString())); }

    order_screen::Pedido_R* Load() {
        order_screen::Pedido_R* screen = order_screen::Pedido_R::Instance();
        screen->setAttribute(Qt::WA_DeleteOnClose, false);
        return screen;
    }

    // The screen as CONTINUAR leaves it for waiter `mesonero` (code `codigo`)
    // at table `mesa`: labels set, the order part enabled, the panel hidden.
    order_screen::Pedido_R* Continued(const QString& mesonero, const QString& mesa, const QString& codigo) {
        order_screen::Pedido_R* s = Load();
        s->Atender(mesonero, mesa, codigo);
        s->Habilita();
        s->Frame3->hide();
        return s;
    }

    // A line as item entry writes it.
    static order::Line Line(const QString& code, const QString& name) {
        order::Line line;
        line.codigo = code;
        line.nombre = name;
        line.cantidad = 1;
        line.precio = 10;
        line.subtotal = 10;
        line.iva = 16;
        line.costo = 4;
        line.codVendedor = "001";
        line.deposito = "01";
        return line;
    }
    static void AddLine(order_screen::Pedido_R* s, const QString& code) {
        order_screen::AppendLine(*s->Grid1, *s->Grid2, s->Pedido, Line(code, "PLATO " + code), s->Num_Contornos);
    }

    QTemporaryDir folder;
    testsupport::ScriptedDialogs dialogs;
    testsupport::CatchProgramEnd catchEnd;
};

// The same on each installation a terminal may join (the test's parameter).
using OrderScreenOn = OnInstallation<OrderScreenTest>;

// The order screen sending to a fresh counter (41), with the connection
// string set so a send can reconnect.
class SendingScreenTest : public OrderScreenTest {
protected:
    void SetUp() override {
        OrderScreenTest::SetUp();
        testsupport::EmptyOrders(41);
        Module1::Cadena_Conexion = testsupport::TestConnectionString();
    }
    void TearDown() override {
        Module1::Cadena_Conexion.clear();
        OrderScreenTest::TearDown();
    }
};

}  // namespace testsupport
