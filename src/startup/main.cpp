// The terminal: the start-up form loads (configuration, regional formats,
// connection), then the order screen is the only window.
#include <QApplication>
#include <QIcon>
#include <QScreen>

#include "startup/acceso.h"
#include "widgets/error_box.h"
#include "startup/program_seams.h"
#include "widgets/resources.h"
#include "widgets/screen_scale.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    widgets::LoadResources();
    startup::InstallProgramSeams();
    // Every form is drawn at the one factor that fits the order screen to
    // this panel.
    widgets::SetLayoutScale(
        widgets::ScaleForScreen(QGuiApplication::primaryScreen(), widgets::HasWindowManager()));
    QApplication::setApplicationName(QStringLiteral("Pedidos_VandrelFW"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/Vandrel.ico")));
    auto* acceso = new startup::Acceso(QCoreApplication::applicationDirPath());
    dialogs::Guarded([acceso] { acceso->Form_Load(); });
    widgets::CentreOnScreen(acceso);
    acceso->show();
    return QApplication::exec();
}
