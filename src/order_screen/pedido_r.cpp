#include "order_screen/pedido_r.h"

#include "sending/ticket_follower.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "data/db_error.h"
#include "data/sql_text.h"
#include "order_screen/grid.h"
#include "order_screen/order_lines.h"
#include "runtime/resume_next.h"
#include "sending/order_sender.h"
#include "sending/send_journal.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "widgets/c_image_button.h"
#include "widgets/combo_list.h"
#include "widgets/error_box.h"
#include "widgets/look.h"
#include "widgets/menu_button.h"
#include "widgets/ole_color.h"
#include "widgets/plain_text.h"
#include "widgets/twips.h"

namespace order_screen {
namespace {

Pedido_R* g_instance = nullptr;

// The tables a waiter can choose: "1" to "70".
constexpr int kTables = 70;
// The Delete key.
constexpr int kKeyDelete = 46;
// The buttons' icons, in pixels at the design size.
constexpr int kIconSide = 24;

}  // namespace

Pedido_R* Pedido_R::Instance() {
    if (g_instance == nullptr) {
        g_instance = new Pedido_R();
        dialogs::Guarded([] { g_instance->Form_Load(); });
    }
    return g_instance;
}

bool Pedido_R::Exists() { return g_instance != nullptr; }

Pedido_R::Pedido_R() {
    setObjectName(QStringLiteral("Pedido_R"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/iconos/Vandrel.ico")));
    setWindowTitle(QStringLiteral("Pedido "));
    BuildLayout();
    ConnectHandlers();
}

Pedido_R::~Pedido_R() {
    // Its thread posts to this screen: it ends before the screen does.
    Seguidor.reset();
    if (g_instance == this) g_instance = nullptr;
}

void Pedido_R::ConnectHandlers() {
    for (int i = 0; i < 3; ++i)
        connect(Command2[i], &QPushButton::clicked, this,
                [this, i] { dialogs::Guarded([this, i] { Command2_Click(i); }); });
    widgets::PickOnlyFromList(dbCombo2);
    widgets::PickOnlyFromList(Combo2);
    connect(dbCombo2, &QComboBox::activated, this, [this](int) { dialogs::Guarded([this] { dbCombo2_Click(); }); });
    connect(Command5, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { Command5_Click(); }); });
    for (int i = 0; i < static_cast<int>(bmenu.size()); ++i)
        connect(bmenu[i], &QPushButton::clicked, this, [this, i] { dialogs::Guarded([this, i] { bmenu_Click(i); }); });
    connect(AVANZAR, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { AVANZAR_Click(); }); });
    connect(RETROCEDER, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { RETROCEDER_Click(); }); });
    connect(regre3, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { regre3_Click(); }); });
    connect(Combo2, &QComboBox::activated, this, [this](int) { dialogs::Guarded([this] { Combo2_Click(); }); });
    connect(Command3, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { Command3_Click(); }); });
    connect(Command4, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { Command4_Click(); }); });
    connect(Grid1, &Grid::Clicked, this, [this] { dialogs::Guarded([this] { Grid1_Click(); }); });
    connect(Grid1, &Grid::KeyDown, this, [this](int key, int shift) {
        dialogs::Guarded([this, key, shift] { Grid1_KeyDown(key, shift); });
    });
    connect(Grid2, &Grid::Clicked, this, [this] { dialogs::Guarded([this] { Grid2_Click(); }); });
    connect(Grid2, &Grid::KeyDown, this, [this](int key, int shift) {
        dialogs::Guarded([this, key, shift] { Grid2_KeyDown(key, shift); });
    });
    ConnectTouchHandlers();
}

void Pedido_R::Form_Load() {
    using namespace Module1;
    Rs_General = std::make_unique<data::ResultSet>();
    Rs_Producto = std::make_unique<data::ResultSet>();
    Rs_Costo = std::make_unique<data::ResultSet>();
    setWindowTitle(QStringLiteral("Vandrel System"));

    Area_Actual = Cod_Deposito;
    // A server that cannot be reached now does not leave the screen half
    // built: everything that needs no server is done, the waiter is told
    // once, and the next touch connects again.
    std::optional<data::ConnectionLost> sinServidor;
    // The area and the clearing's reads need nothing of each other: one round trip.
    const Leer_Adelantado adelantado(
        {order::AreaSql(Area_Actual, data::Escaped), kSqlParametros, kSqlMesoneros});
    try {
        LoadArea();
    } catch (const data::ConnectionLost& e) {
        sinServidor = e;
    }

    setWindowTitle(windowTitle() + QStringLiteral(" / ") + widgets::AsWindowTitle(Nombre_Empresa));
    LimitTyping();
    Imagenes_();
    try {
        Limpiar();
    } catch (const data::ConnectionLost& e) {
        if (!sinServidor) sinServidor = e;
    }
    // The send an earlier run left is taken over in any case; it is settled
    // now when the server answers, else before the next ENVIAR.
    RecoverJournal(!sinServidor);
    if (sinServidor) throw *sinServidor;
}

void Pedido_R::LoadArea() {
    using namespace Module1;
    Cadena_Sql = order::AreaSql(Area_Actual, data::Escaped);
    Abrir_Tabla(Rs_General, Cadena_Sql);
    if (Rs_General->RecordCount() == 0) {
        // A terminal whose area has no row still takes orders, under area "0".
        Area_Actual = QStringLiteral("0");
        Label1[2]->setText(QStringLiteral("PRINCIPAL"));
    } else {
        Label1[2]->setText(Rs_General->Field(QStringLiteral("nombre")).ToTextOrEmpty());
    }
}

void Pedido_R::LimitTyping() {
    // Side dishes are only ever picked (typing in Combo2 adds nothing).
    widgets::LimitTypedText(dbCombo2, data::WaiterNameLimit(Module1::Anchos));
    widgets::LimitTypedText(Combo1, data::TableNumberLimit(Module1::Anchos));
    widgets::LimitTypedText(Combo3, data::CookingPointLimit(Module1::Anchos));
}

void Pedido_R::Form_Unload() {
    Module1::Cerrar_Tabla(Rs_General);
    Module1::Cerrar_Tabla(Rs_Producto);
    Module1::Cerrar_Tabla(Rs_Costo);
    if (Module1::Conexion) Module1::Conexion->Close();
}

void Pedido_R::closeEvent(QCloseEvent* event) {
    bool leave = true;
    dialogs::Guarded([this, &leave] { leave = SettlePendingSend(Accion::Salir); });
    if (!leave) {
        event->ignore();
        return;
    }
    dialogs::Guarded([this] { Form_Unload(); });
    event->accept();
}

void Pedido_R::Limpiar() {
    using rt::ResumeNext;
    ResumeNext("Limpiar: labels", [this] {
        for (int i : {0, 1, 3, 4}) Label1[i]->setText(QString());
    });
    ResumeNext("Limpiar: waiter code", [this] {
        cod_V->setText(QString());
        Combo3->setEditText(QString());
    });
    ResumeNext("Limpiar: side-dish grid", [this] {
        Grid2->Clear();
        Grid2->SetRows(2);
    });
    Pedido = order::Order();
    ResumeNext("Limpiar: date", [this] {
        Label1[4]->setText(rt::Variant::FromDate(Module1::Fecha_Servidor).ToText());
    });
    ResumeNext("Limpiar: disable", [this] { Desabilita(); });
    Frame6->setVisible(false);
    Frame7->setVisible(false);
    ResumeNext("Limpiar: order grid", [this] { limp_grid(*Grid1); });
    Frame3->move(Frame3->x(), widgets::TwipsDown(3000));
    Frame3->setVisible(true);
    dbCombo2->setEditText(QString());
    Combo1->setEditText(QString());
    for (QPushButton* b : Command2) b->setEnabled(true);
    ResumeNext("Limpiar: parameters", [this] { Buscar_Parametros(); });
    if (isVisible()) dbCombo2->setFocus();
}

void Pedido_R::Buscar_Parametros() {
    // The table list needs no server: it is there even when the server
    // cannot be reached, which the guard then tells the waiter.
    try {
        LoadParametersAndWaiters();
    } catch (const data::ConnectionLost&) {
        FillTableList();
        throw;
    }
    FillTableList();
}

void Pedido_R::FillTableList() {
    widgets::ClearList(Combo1);
    for (int table = 1; table <= kTables; ++table) widgets::AddListItem(Combo1, QString::number(table));
}

void Pedido_R::LoadParametersAndWaiters() {
    using namespace Module1;
    using rt::ResumeNext;
    const Leer_Adelantado adelantado({kSqlParametros, kSqlMesoneros});
    ResumeNext("Buscar_Parametros: mantenimiento", [this] {
        Cadena_Sql = kSqlParametros;
        Abrir_Tabla(Rs_General, Cadena_Sql);
    });
    if (Rs_General && Rs_General->State() == data::ResultSet::kOpen && Rs_General->RecordCount() > 0) {
        // Each parameter on its own: a missing column leaves that one as it was.
        const data::ResultSet& rs = *Rs_General;
        ResumeNext("parameter iva", [&] { Iva = rs.Field(QStringLiteral("iva")); });
        ResumeNext("parameter iva_reducido", [&] { Iva_Reducido = rs.Field(QStringLiteral("iva_reducido")); });
        ResumeNext("parameter iva_lujo", [&] { Iva_Lujo = rs.Field(QStringLiteral("iva_lujo")); });
        ResumeNext("parameter Precio_V", [&] { Precio_V = rs.Field(QStringLiteral("Precio_V")).ToText(); });
        ResumeNext("parameter Dollar", [&] { Dollar = rs.Field(QStringLiteral("Dollar")).ToDouble(); });
    }

    const bool waiters = ResumeNext("Buscar_Parametros: waiters", [this] {
        Cadena_Sql = kSqlMesoneros;
        Abrir_Tabla(Rs_General, Cadena_Sql);
    });
    widgets::ClearList(dbCombo2);
    if (waiters) {
        for (Rs_General->MoveFirst(); !Rs_General->IsEof(); Rs_General->MoveNext()) {
            const rt::Variant& name = Rs_General->Field(QStringLiteral("nom_vendedor"));
            if (!name.IsNull()) widgets::AddListItem(dbCombo2, name.ToText());
        }
    }
}

void Pedido_R::Desabilita() {
    for (QWidget* w : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame4),
                       static_cast<QWidget*>(Frame5), static_cast<QWidget*>(Grid1)})
        w->setEnabled(false);
}

void Pedido_R::Habilita() {
    for (QWidget* w : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame4),
                       static_cast<QWidget*>(Frame5), static_cast<QWidget*>(Grid1)})
        w->setEnabled(true);
    Frame7->setVisible(false);
    Frame6->setVisible(false);
}

void Pedido_R::Imagenes_() {
    const QString folder = rt::IconFolder(rt::ProgramFolder());
    const struct {
        QPushButton* button;
        const char* file;
    } icons[] = {{regre3, "menu.ico"},       {RETROCEDER, "back.ico"},     {AVANZAR, "Gointo.ico"},
                 {Command3, "close.ico"},    {Command2[0], "enviar.ico"},  {Command2[1], "limpiar1.ico"},
                 {Command2[2], "limpiar.ico"}, {Command4, "close.ico"}};
    for (size_t i = 0; i < Botones_Imagen.size(); ++i) {
        if (!Botones_Imagen[i]) Botones_Imagen[i] = std::make_unique<widgets::cImageButton>();
        Botones_Imagen[i]->Init(widgets::Scaled(kIconSide), widgets::Scaled(kIconSide));
        Botones_Imagen[i]->Implement(icons[i].button, folder + QString::fromLatin1(icons[i].file), QString(),
                                     QString(), QString(), QString(), 0, 2, 2, 2, 2, false);
    }
}

void Pedido_R::Command2_Click(int index) {
    switch (index) {
        case 0:
            Enviar();
            break;
        case 1:
            if (!SettlePendingSend(Accion::Limpiar)) break;
            Limpiar();
            BlankMenuButtons();
            break;
        case 2:
            close();
            break;
        default:
            break;
    }
}

void Pedido_R::BlankMenuButtons() {
    const QColor face = widgets::ButtonFaceColor();
    for (QPushButton* b : bmenu) {
        b->setText(QString());
        widgets::SetFaceColor(b, face);
        b->setIcon(QIcon());
    }
}

void Pedido_R::ShowCount() { Label1[3]->setText(QString::number(Num_Items())); }

void Pedido_R::Grid1_Click() { Fila_Sel = Grid1->Row(); }

void Pedido_R::Grid1_KeyDown(int keyCode, int /*shift*/) {
    Fila_Sel = Grid1->Row();
    if (keyCode == kKeyDelete && Fila_Sel > 0 && SettlePendingSend(Accion::Borrar)) Borrar();
}

void Pedido_R::Grid2_Click() { Fila_Sel = Grid2->Row(); }

void Pedido_R::Grid2_KeyDown(int keyCode, int /*shift*/) {
    Fila_Sel = Grid2->Row();
    if (keyCode == kKeyDelete && Fila_Sel > 0) Borrar_G2();
}

void Pedido_R::Borrar() {
    order_screen::Borrar(*Grid1, Pedido, Fila_Sel);
    ShowCount();
}

void Pedido_R::Borrar_G2() { order_screen::Borrar_G2(*Grid2, Fila_Sel, Num_Contornos); }

}  // namespace order_screen
