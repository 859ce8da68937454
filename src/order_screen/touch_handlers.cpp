// The order screen on a touch panel: the window over the whole screen, a long
// press that removes a line or a side dish, and the keypad for the table.
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include "order_screen/grid.h"
#include "order_screen/order_lines.h"
#include "order_screen/pedido_r.h"
#include "data/module1.h"
#include "widgets/combo_list.h"
#include "runtime/dialogs.h"
#include "widgets/error_box.h"
#include "widgets/screen_scale.h"

namespace order_screen {
namespace {

const QString kTituloBorrar = QStringLiteral(" Sistema Vandrel For Windows. ");
const QString kPromptMesa = QStringLiteral("Mesa #:");

}  // namespace

void Pedido_R::ConnectTouchHandlers() {
    connect(Grid1, &Grid::LongPressed, this, [this](int row) { dialogs::Guarded([this, row] { Grid1_LongPress(row); }); });
    connect(Grid2, &Grid::LongPressed, this, [this](int row) { dialogs::Guarded([this, row] { Grid2_LongPress(row); }); });
    connect(cmdTeclado, &QPushButton::clicked, this, [this] { dialogs::Guarded([this] { cmdTeclado_Click(); }); });
}

bool Pedido_R::AskToRemove(const QString& what) {
    Module1::Mensaje = QStringLiteral("¿ Desea Borrar ") + what.trimmed() + QStringLiteral(" ?");
    return dialogs::Current().YesNo(Module1::Mensaje, kTituloBorrar, dialogs::Icon::Question);
}

void Pedido_R::Grid1_LongPress(int row) {
    Fila_Sel = row;
    // The header, the empty row under it and the read-only rows are no line.
    const order::Line* line = LineAt(*Grid1, Pedido, Fila_Sel);
    if (line == nullptr) return;
    if (AskToRemove(line->nombre) && SettlePendingSend(Accion::Borrar)) Borrar();
}

void Pedido_R::Grid2_LongPress(int row) {
    Fila_Sel = row;
    if (Fila_Sel < 1 || Fila_Sel > Num_Contornos) return;
    if (AskToRemove(Grid2->TextMatrix(row, 1))) Borrar_G2();
}

void Pedido_R::cmdTeclado_Click() {
    const QString typed = dialogs::Current().Input(kPromptMesa, dialogs::kApplicationTitle, Combo1->currentText(),
                                                   widgets::TypedTextLimit(Combo1), dialogs::Keys::Numbers);
    // Cancel leaves the table as it was.
    if (!typed.isEmpty()) Combo1->setEditText(typed);
}

void Pedido_R::ShowOnPanel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) setGeometry(screen->availableGeometry());
    if (widgets::HasWindowManager())
        showMaximized();
    else
        showFullScreen();
}

void Pedido_R::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Lienzo->move(std::max(0, (width() - Lienzo->width()) / 2), std::max(0, (height() - Lienzo->height()) / 2));
}

}  // namespace order_screen
