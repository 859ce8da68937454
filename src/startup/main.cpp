// The terminal: the start-up form loads (configuration, regional formats,
// connection), then the order screen is the only window.
#include <QApplication>
#include <QIcon>

#include "startup/acceso.h"
#include "widgets/error_box.h"
#include "widgets/resources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    widgets::LoadResources();
    QApplication::setApplicationName(QStringLiteral("Pedidos_VandrelFW"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/Vandrel.ico")));
    auto* acceso = new startup::Acceso(QCoreApplication::applicationDirPath());
    dialogs::Guarded([acceso] { acceso->Form_Load(); });
    acceso->show();
    return QApplication::exec();
}
