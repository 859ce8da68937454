// The start-up form under the offscreen platform against the private server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "order_screen/pedido_r.h"
#include "runtime/regional_formats.h"
#include "startup/acceso.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "support/program_end.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"
#include "widgets/error_box.h"
#include "widgets/screen_scale.h"
#include "widgets/twips.h"

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

class AccesoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }
    void SetUp() override {
        rt::ResetFormats();
        Module1::Fecha_Servidor = QDate();
        Module1::Hora_Servidor.clear();
        QDir(folder.path()).mkpath("datos");
        QDir(folder.path()).mkpath("iconos");
        for (const QString& name : QDir(testsupport::SourcePath("src/iconos")).entryList({"*.ico"}))
            QFile::copy(testsupport::SourcePath("src/iconos/" + name),
                        folder.filePath("iconos/" + name));
        Write(folder.filePath("datos/Modelo.txt"), "'COCINA' 'T'\r\n");
        Write(folder.filePath("Empresa.txt"), "Restaurant El Fog\xf3n\r\n");
        WriteRuta(testsupport::DbHost(), testsupport::DbName());
    }
    void TearDown() override {
        if (order_screen::Pedido_R::Exists()) delete order_screen::Pedido_R::Instance();
        delete acceso;
        Module1::Conexion.reset();
        rt::SetProgramFolder(QString());
        rt::ResetFormats();
    }
    void WriteRuta(const QString& host, const QString& db) {
        const QString text = host + "\r\n\r\n\r\n01\r\n" + db + "\r\n" + folder.filePath("datos") +
                             "\r\nCocina\r\n\r\n\r\n\r\n";
        Write(folder.filePath("Ruta_Datos.txt"), text.toUtf8());
    }
    startup::Acceso* Make() {
        acceso = new startup::Acceso(folder.path());
        acceso->setAttribute(Qt::WA_DeleteOnClose, false);
        return acceso;
    }

    QTemporaryDir folder;
    testsupport::ScriptedDialogs dialogs;
    testsupport::CatchProgramEnd catchEnd;
    startup::Acceso* acceso = nullptr;
};

TEST_F(AccesoTest, LoadOpensTheConnectionAndReadsTheServerClockUnderTheRegionalFormats) {
    Make()->Form_Load();
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_TRUE(Module1::Conexion && Module1::Conexion->IsOpen());
    const QString serverNow = testsupport::RootQuery("select date_format(now(), '%d/%m/%Y')")[0];
    EXPECT_TRUE(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$")
                    .match(Module1::Hora_Servidor)
                    .hasMatch())
        << Module1::Hora_Servidor.toStdString();
    EXPECT_EQ(Module1::Hora_Servidor.left(10), serverNow);
    EXPECT_EQ(Module1::Fecha_Servidor.toString("dd/MM/yyyy"), serverNow);
    EXPECT_EQ(Module1::Cod_Deposito, "01");
    EXPECT_EQ(Module1::Impresora, "Cocina");
    EXPECT_EQ(Module1::Nombre_Empresa, QString::fromUtf8("Restaurant El Fogón"));
    EXPECT_EQ(rt::CurrentFormats().decimalSeparator, ",");
    EXPECT_EQ(rt::CurrentFormats().currencySymbol, "Bs.");
}

TEST_F(AccesoTest, WithTheServerDownTheMessageIsShownAndTheFormStillOpens) {
    WriteRuta(testsupport::DbDownHost(), testsupport::DbName());
    Make()->Form_Load();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Error en Conexion con la base de datos...!");
    EXPECT_EQ(dialogs.shown[0].title, " Sistema VandrelFW ");
    EXPECT_FALSE(Module1::Conexion->IsOpen());
    EXPECT_FALSE(Module1::Fecha_Servidor.isValid());
    EXPECT_TRUE(Module1::Hora_Servidor.isEmpty());
    // "Aceptar" opens the order screen, whose load tries to connect again:
    // the server is still down, which the waiter is told, and the program
    // goes on with the screen open.
    acceso->show();
    EXPECT_NO_THROW(acceso->CmdOk_Click());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[1].text.startsWith(
        QString::fromUtf8("Error en Base de datos...\rNo hay conexión con el servidor")))
        << dialogs.shown[1].text.toStdString();
    ASSERT_TRUE(order_screen::Pedido_R::Exists());
    EXPECT_TRUE(order_screen::Pedido_R::Instance()->isVisible());
}

TEST_F(AccesoTest, AceptarOpensTheLoadedOrderScreenAndClosesTheForm) {
    Make()->Form_Load();
    acceso->show();
    QTest::mouseClick(acceso->CmdOk, Qt::LeftButton);
    ASSERT_TRUE(order_screen::Pedido_R::Exists());
    order_screen::Pedido_R* screen = order_screen::Pedido_R::Instance();
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->windowTitle(), QString::fromUtf8("Vandrel System / Restaurant El Fogón"));
    EXPECT_EQ(screen->Label1[2]->text(), "RESTAURANT");
    EXPECT_FALSE(acceso->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(AccesoTest, AMissingDatabaseGivesTheConnectionMessage) {
    WriteRuta(testsupport::DbHost(), "no_existe");
    Make()->Form_Load();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Error en Conexion con la base de datos...!");
}

// A technician's option file with mistakes: each is named once at start-up,
// and the terminal connects with what could be used.
TEST_F(AccesoTest, OptionFileMistakesAreNamedAndTheRestIsUsed) {
    QTemporaryDir home;
    const QString open = home.filePath("abierto.cnf");
    Write(open, "[pedidos]\nuser=intruso\n");
    QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    Write(home.filePath(".my.cnf"), ("[pedidos]\nport=tres mil\n!include " + open + "\n").toUtf8());
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    Make()->Form_Load();
    qputenv("HOME", oldHome);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString myCnf = home.filePath(".my.cnf");
    EXPECT_EQ(dialogs.shown[0].text,
              "Archivos de opciones de MariaDB:\r" + open +
                  QString::fromUtf8(": cualquier usuario puede modificar este archivo; no se usa (quite el "
                                    "permiso de escritura a otros: chmod o-w).\r") +
                  myCnf + QString::fromUtf8(":2: port=tres mil no es un puerto (1 a 65535); se usa el 3306.\r"
                                            "Se usan los valores que se pudieron leer."));
    ASSERT_TRUE(Module1::Conexion && Module1::Conexion->IsOpen());
    EXPECT_EQ(Module1::Conexion->Query("select current_user()").Field(0).ToTextOrEmpty(), "admin@127.0.0.1");
}

TEST_F(AccesoTest, AMissingOrEmptyModeloEndsTheProgramAfterItsMessage) {
    for (const bool empty : {false, true}) {
        if (empty)
            Write(folder.filePath("datos/Modelo.txt"), "");
        else
            QFile::remove(folder.filePath("datos/Modelo.txt"));
        dialogs.shown.clear();
        delete acceso;
        EXPECT_THROW(Make()->Form_Load(), rt::ProgramEnded);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text,
                  "Error en Lectura de Archivo, Revizar si hay conexion de red con los "
                  "archivos...");
        EXPECT_FALSE(Module1::Conexion->IsOpen());  // nothing after the message ran
    }
}

TEST_F(AccesoTest, AShortConfigurationFileIsReportedByNameAndEndsTheProgram) {
    Write(folder.filePath("Ruta_Datos.txt"), "127.0.0.1\r\n\r\n\r\n01\r\n");
    Make();
    EXPECT_THROW(dialogs::Guarded([this] { acceso->Form_Load(); }), rt::ProgramEnded);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Pedidos_VandrelFW");
    EXPECT_EQ(dialogs.shown[0].icon, dialogs::Icon::Critical);
    EXPECT_TRUE(dialogs.shown[0].text.contains("'62'"));
    EXPECT_TRUE(dialogs.shown[0].text.contains(folder.filePath("Ruta_Datos.txt")))
        << dialogs.shown[0].text.toStdString();
}

TEST_F(AccesoTest, AMissingConfigurationFileIsReportedByName) {
    QFile::remove(folder.filePath("Ruta_Datos.txt"));
    Make();
    EXPECT_THROW(dialogs::Guarded([this] { acceso->Form_Load(); }), rt::ProgramEnded);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("'53'"));
    EXPECT_TRUE(dialogs.shown[0].text.contains("Ruta_Datos.txt"));
}

TEST_F(AccesoTest, TheFormHasItsLayoutTextsAndIcons) {
    Make()->Form_Load();
    EXPECT_EQ(acceso->windowTitle(), QString("Acceso al Sistema."));
    // The form keeps its shape (696 x 390 at factor 1) and is as large as
    // the screen allows; every control keeps its place at that factor.
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    const double f = std::min(room.width() / 696.0, room.height() / 390.0);
    const auto at = [f](int left, int top, int width, int height) {
        const int x = widgets::TwipsAt(left, f), y = widgets::TwipsAt(top, f);
        return QRect(x, y, widgets::TwipsAt(left + width, f) - x, widgets::TwipsAt(top + height, f) - y);
    };
    EXPECT_EQ(acceso->size(), at(0, 0, 10440, 5850).size());
    EXPECT_TRUE(acceso->width() == room.width() || acceso->height() == room.height());
    EXPECT_EQ(acceso->palette().color(QPalette::Window), QColor(224, 224, 224));
    EXPECT_EQ(acceso->Label1->text(), "VANDREL FOR WINDOWS");
    EXPECT_EQ(acceso->Label1->geometry(), at(360, 120, 9255, 735));
    EXPECT_TRUE(acceso->Label1->font().bold() && acceso->Label1->font().italic());
    EXPECT_EQ(acceso->Label2->text(), "PEDIDOS");
    EXPECT_EQ(acceso->Label2->geometry(), at(6000, 2640, 4215, 735));
    EXPECT_EQ(acceso->Image1->geometry(), at(240, 960, 5730, 4275));
    // The logo is compiled in: a missing resource registration would leave it blank.
    ASSERT_FALSE(acceso->Image1->pixmap().isNull());
    EXPECT_EQ(acceso->CmdOk->text(), "Aceptar");
    EXPECT_EQ(acceso->CmdOk->toolTip(), " Aceptar ");
    EXPECT_EQ(acceso->CmdOk->geometry().topLeft(), at(6720, 4920, 1815, 540).topLeft());
    EXPECT_EQ(acceso->cmdCancel->text(), "Salir");
    EXPECT_EQ(acceso->cmdCancel->toolTip(), " Cancelar ");
    EXPECT_EQ(acceso->cmdCancel->geometry().topLeft(), at(8520, 4920, 1740, 540).topLeft());
    EXPECT_NEAR(acceso->CmdOk->font().pointSizeF(), std::max(12 * f, widgets::MinimumTextPoints()), 0.01);
    EXPECT_TRUE(acceso->cmdCancel->font().bold());
    EXPECT_FALSE(acceso->CmdOk->icon().isNull());
    EXPECT_FALSE(acceso->cmdCancel->icon().isNull());
    EXPECT_EQ(acceso->findChild<QPushButton*>("CmdOk"), acceso->CmdOk);
    // The application mark is painted at (10, 10), 24 pixels square, at the
    // form's factor.
    acceso->show();
    const QImage shot = acceso->grab().toImage();
    const QColor background(224, 224, 224);
    int marked = 0;
    for (int y = qRound(10 * f); y < qRound(34 * f); ++y)
        for (int x = qRound(10 * f); x < qRound(34 * f); ++x) marked += shot.pixelColor(x, y) != background;
    EXPECT_GT(marked, 100);
    EXPECT_EQ(shot.pixelColor(5, 5), background);
}

TEST_F(AccesoTest, SalirEndsTheProgramWithoutAsking) {
    Make()->Form_Load();
    acceso->show();
    EXPECT_THROW(QTest::mouseClick(acceso->cmdCancel, Qt::LeftButton), rt::ProgramEnded);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
