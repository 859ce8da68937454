#include "support/qt_program.h"

#include "support/warnings_log.h"
#include "startup/program_seams.h"
#include "widgets/resources.h"

namespace bench {

std::unique_ptr<QApplication> StartQt(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    RouteWarningsToLog();
    auto app = std::make_unique<QApplication>(argc, argv);
    widgets::LoadResources();
    startup::InstallProgramSeams();
    QApplication::setApplicationName(QStringLiteral("Pedidos_VandrelFW"));
    return app;
}

}  // namespace bench
