#include "order_screen/pedido_r.h"

#include <QCloseEvent>
#include <QIcon>

#include "startup/module1.h"
#include "widgets/error_box.h"

namespace order_screen {
namespace {
Pedido_R* g_instance = nullptr;
}

Pedido_R* Pedido_R::Instance() {
    if (g_instance == nullptr) {
        g_instance = new Pedido_R();
        dialogs::Guarded([] { g_instance->Form_Load(); });
    }
    return g_instance;
}

bool Pedido_R::Exists() { return g_instance != nullptr; }

Pedido_R::Pedido_R() {
    setObjectName("Pedido_R");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/iconos/Vandrel.ico")));
    setWindowTitle(QStringLiteral("Pedido "));
}

Pedido_R::~Pedido_R() {
    if (g_instance == this) g_instance = nullptr;
}

void Pedido_R::Form_Load() {
    setWindowTitle(QStringLiteral("Vandrel System"));
    setWindowTitle(windowTitle() + QStringLiteral(" / ") + Module1::Nombre_Empresa);
}

void Pedido_R::Form_Unload() {
    if (Module1::Conexion) Module1::Conexion->Close();
}

void Pedido_R::closeEvent(QCloseEvent* event) {
    dialogs::Guarded([this] { Form_Unload(); });
    event->accept();
}

}  // namespace order_screen
