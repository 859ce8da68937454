#include "startup/acceso.h"

#include <QDebug>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/mariadb_connection.h"
#include "data/option_files.h"
#include "data/secure_link.h"
#include "data/read_ahead.h"
#include "order_screen/pedido_r.h"
#include "runtime/runtime_error.h"
#include "runtime/end_program.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "runtime/regional_formats.h"
#include "runtime/regional.h"
#include "data/server_clock.h"
#include "widgets/c_image_button.h"
#include "widgets/error_box.h"
#include "widgets/ole_color.h"
#include "widgets/plain_text.h"
#include "widgets/screen_scale.h"
#include "widgets/touch.h"
#include "widgets/twips.h"

namespace startup {
namespace {
// The fingertip of the pointing-hand picture of the buttons.
constexpr int kPointerHotX = 9;
constexpr int kPointerHotY = 1;
}  // namespace

Acceso::Acceso(QString programFolder, ConnectionFactory factory, QWidget* parent)
    : QWidget(parent), programFolder_(std::move(programFolder)), factory_(std::move(factory)) {
    if (!factory_) factory_ = [] { return std::make_unique<data::MariaDbConnection>(); };
    // The order screen finds its icons in the same program folder.
    rt::SetProgramFolder(programFolder_);
    setObjectName("Acceso");
    setAttribute(Qt::WA_DeleteOnClose);
    BuildLayout();
}

Acceso::~Acceso() = default;

void Acceso::BuildLayout() {
    // The form keeps its shape and is drawn as large as the panel allows (it
    // opens in the middle of it): its own factor, not the order screen's.
    factor_ = widgets::FormFactorOnScreen(kDesignSize, QGuiApplication::primaryScreen(), widgets::HasWindowManager());
    const widgets::LayoutFactors f{factor_, factor_};
    const auto place = [f](QWidget* w, int left, int top, int width, int height) {
        widgets::PlaceTwipsAt(w, f, left, top, width, height);
    };
    setWindowTitle(QStringLiteral("Acceso al Sistema."));
    setWindowIcon(QIcon(QStringLiteral(":/iconos/Vandrel.ico")));
    setFixedSize(widgets::TwipsAt(kDesignTwipsWide, factor_), widgets::TwipsAt(kDesignTwipsHigh, factor_));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(pal);

    QFont title(QStringLiteral("Palatino Linotype"));
    title.setPointSizeF(widgets::PointsAt(27.75, factor_));
    title.setBold(true);
    title.setItalic(true);
    Label1 = new QLabel(QStringLiteral("VANDREL FOR WINDOWS"), this);
    Label1->setObjectName("Label1");
    Label1->setFont(title);
    place(Label1, 360, 120, 9255, 735);
    Label2 = new QLabel(QStringLiteral("PEDIDOS"), this);
    Label2->setObjectName("Label2");
    Label2->setFont(title);
    place(Label2, 6000, 2640, 4215, 735);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    place(Image1, 240, 960, 5730, 4275);
    Image1->setPixmap(QPixmap(QStringLiteral(":/iconos/logo.png")));
    Image1->setScaledContents(true);

    QFont buttons(QStringLiteral("MS Sans Serif"));
    buttons.setPointSizeF(widgets::PointsAt(12, factor_));
    buttons.setBold(true);
    const QPixmap pointer(QStringLiteral(":/iconos/pointer.png"));
    const QCursor cursor = pointer.isNull() ? QCursor(Qt::PointingHandCursor)
                                            : QCursor(pointer, kPointerHotX, kPointerHotY);
    CmdOk = new QPushButton(QStringLiteral("Aceptar"), this);
    CmdOk->setObjectName("CmdOk");
    place(CmdOk, 6720, 4920, 1815, 540);
    widgets::SetPlainToolTip(CmdOk, QStringLiteral(" Aceptar "));
    cmdCancel = new QPushButton(QStringLiteral("Salir"), this);
    cmdCancel->setObjectName("cmdCancel");
    place(cmdCancel, 8520, 4920, 1740, 540);
    widgets::SetPlainToolTip(cmdCancel, QStringLiteral(" Cancelar "));
    for (QPushButton* b : {CmdOk, cmdCancel}) {
        widgets::KeepTouchable(b);
        b->setFont(buttons);
        b->setCursor(cursor);
    }
    setTabOrder(CmdOk, cmdCancel);
    connect(CmdOk, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { CmdOk_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this,
            [this] { dialogs::Guarded([this] { cmdCancel_Click(); }); });
}

void Acceso::Form_Load() {
    using namespace Module1;
    // 1. The connection object, not yet open.
    Conexion = factory_();

    // 2. The configuration file; its errors are not trapped.
    const rt::RutaDatos ruta = rt::ReadRutaDatos(rt::PathIn(programFolder_, QStringLiteral("Ruta_Datos.txt")));
    Servidor = ruta.Servidor();
    Cod_Deposito = ruta.Cod_Deposito();
    Base_Datos = ruta.Base_Datos();
    Carpeta_Datos = ruta.Carpeta_Datos();
    Impresora = ruta.Impresora();
    Nombre_Empresa = rt::FirstLineOrEmpty(rt::PathIn(programFolder_, QStringLiteral("Empresa.txt")));

    // 3. The print-group file must be readable, or the terminal cannot print.
    // A file refused for what it is (a pipe, a device, too large, not text)
    // is named too: no network check would mend it.
    if (const auto error = rt::FirstLineError(rt::PathIn(Carpeta_Datos, QStringLiteral("Modelo.txt")))) {
        qWarning().noquote() << "Modelo.txt cannot be read:" << error->number() << error->description();
        Mensaje = QStringLiteral(
            "Error en Lectura de Archivo, Revizar si hay conexion de red con los archivos...");
        if (rt::IsRefusedFile(error->number())) Mensaje += QChar(13) + error->description();
        Mostrar_Mensaje();
        rt::EndProgram(1);
    }

    // 5. The regional formats; the result is not looked at.
    const rt::RegionalFormats forced = rt::StartUpFormats();
    Regional::Fecha_Corta = forced.shortDate;
    Regional::Fecha_Larga = forced.longDate;
    Regional::Formato_Hora = forced.timeFormat;
    Regional::Simbolo_Moneda = forced.currencySymbol;
    Regional::Separador_Decimal = forced.decimalSeparator;
    Regional::Separador_Miles = forced.thousandSeparator;
    QString regionalMessage;
    Regional::Configurar_Regional(regionalMessage);

    // 6. Persistent drawing, then 7-8. the icons.
    KeepDrawing();
    LoadIcons();

    // 9-11. The connection and the server clock.
    OpenConnection();
}

int Acceso::Scaled(int pixels) const { return widgets::ScaledAt(pixels, factor_); }

void Acceso::KeepDrawing() {
    const qreal ratio = devicePixelRatioF();
    drawing_ = QPixmap(size() * ratio);
    drawing_.setDevicePixelRatio(ratio);
    drawing_.fill(palette().color(QPalette::Window));
}

void Acceso::LoadIcons() {
    const QString folder = rt::IconFolder(programFolder_);
    {
        widgets::cImageButton painter;  // released right after painting
        painter.DrawBitmapDC(folder + QStringLiteral("Vandrel.ico"), &drawing_, Scaled(10), Scaled(10), Scaled(24),
                             Scaled(24),
                             widgets::kButtonFace);
    }
    const struct {
        QPushButton* button;
        const char* file;
    } icons[] = {{CmdOk, "ok-icon.ico"}, {cmdCancel, "close.ico"}};
    for (size_t i = 0; i < Botones_Imagen.size(); ++i) {
        if (!Botones_Imagen[i]) Botones_Imagen[i] = std::make_unique<widgets::cImageButton>();
        Botones_Imagen[i]->Init(Scaled(24), Scaled(24));
        Botones_Imagen[i]->Implement(icons[i].button, folder + QString::fromLatin1(icons[i].file),
                                     QString(), QString(), QString(), QString(), 0, 2, 2, 2, 2,
                                     false);
    }
    update();
}

void Acceso::OpenConnection() {
    using namespace Module1;
    Cadena_Conexion = rt::BuildConnectionString(Base_Datos, Servidor);
    // An option file the technician got wrong is named once, here; the
    // terminal goes on with what it could read.
    const QString problems = data::OptionProblemsText(
        data::ChooseLink(data::SettingsFromConnectionString(Cadena_Conexion), data::ReadClientOptionFiles(),
                         [](const QString&, bool) { return true; }));
    if (!problems.isEmpty()) {
        Mensaje = problems + QChar(13) + QStringLiteral("Se usan los valores que se pudieron leer.");
        Mostrar_Mensaje();
    }
    try {
        Conexion->SetCommandTimeout(40);
        Conexion->Open(Cadena_Conexion);
    } catch (const rt::RuntimeError& e) {
        qWarning().noquote() << "connection to" << Servidor << "database" << Base_Datos
                             << "failed:" << e.number() << e.description();
        Mensaje = QStringLiteral("Error en Conexion con la base de datos...!");
        // A protected link refused: the cause, so that the technician knows
        // what to mend (a certificate, the CA, the server's TLS).
        if (e.number() == data::kSecureLinkRefused) Mensaje += QChar(13) + e.description();
        Mostrar_Mensaje();
        return;
    }
    // The clock and the column widths need nothing of each other: one round trip.
    data::ReadAhead ahead;
    ahead.Ask(*Conexion, {data::kSqlReloj, data::kSqlColumnWidths});
    try {
        Cadena_Sql = data::kSqlReloj;
        const data::ServerClock clock = data::ClockFromResult(ahead.Answer(*Conexion, data::kSqlReloj));
        Fecha_Servidor = clock.fecha;
        Hora_Servidor = clock.hora;
    } catch (const rt::RuntimeError& e) {
        qWarning().noquote() << "server clock query failed:" << e.number() << e.description();
    }
    // The screens stop typed text at the width of the columns it goes to.
    try {
        Anchos = data::ColumnWidthsFrom(ahead.Answer(*Conexion, data::kSqlColumnWidths));
        // The send cuts its values to the same widths, without asking again
        // on this connection.
        Conexion->SessionFacts().anchos = std::make_shared<const data::ColumnWidths>(Anchos);
    } catch (const rt::RuntimeError& e) {
        qWarning().noquote() << "column widths could not be read, typed text is not limited:"
                             << e.number() << e.description();
    }
}

void Acceso::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (drawing_.isNull()) return;
    QPainter p(this);
    p.drawPixmap(0, 0, drawing_);
}

void Acceso::CmdOk_Click() {
    order_screen::Pedido_R* screen = order_screen::Pedido_R::Instance();
    screen->ShowOnPanel();
    close();
}

void Acceso::cmdCancel_Click() { rt::EndProgram(0); }

}  // namespace startup
