// The terminal: the start-up form loads (configuration, regional formats,
// connection), then the order screen is the only window.
#include <QApplication>
#include <QDebug>
#include <QIcon>
#include <QScreen>

#include "data/module1.h"
#include "runtime/program_log.h"
#include "sending/journal_lock.h"
#include "sending/journal_path.h"
#include "startup/acceso.h"
#include "widgets/error_box.h"
#include "startup/program_seams.h"
#include "widgets/edge_style.h"
#include "widgets/resources.h"
#include "widgets/screen_scale.h"

int main(int argc, char** argv) {
    rt::InstallProgramLog("pedidos");
    QApplication app(argc, argv);
    widgets::LoadResources();
    widgets::UseEdgeStyle();
    startup::InstallProgramSeams();
    // The order screen is stretched over this panel; the other forms and
    // every font follow the smaller of its two factors.
    widgets::FitToScreen(QGuiApplication::primaryScreen(), widgets::HasWindowManager());
    QApplication::setApplicationName(QStringLiteral("Pedidos_VandrelFW"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/Vandrel.ico")));
    // One program per terminal: a second one would take the first one's send
    // in flight for its own. It ends before it reads the journal.
    const sending::JournalLock journalLock(sending::JournalFolder());
    if (journalLock.HeldByAnother()) {
        Module1::Mensaje = journalLock.Error();
        Module1::Mostrar_Mensaje();
        return 1;
    }
    if (journalLock.Refused()) {
        // Told, then the program goes on: without a journal, as on a disk
        // it cannot write (the journal guards against a power cut, it never
        // stops an order), or without the lock.
        qWarning().noquote() << "journal lock:" << QString(journalLock.Error()).replace(QChar(13), QLatin1Char(' '));
        Module1::Mensaje = journalLock.Error();
        Module1::Mostrar_Mensaje();
    } else if (journalLock.Held()) {
        // The log file lives beside the journal, in the folder the lock proved ours.
        rt::LogToFolder(sending::JournalFolder());
    } else {
        qWarning().noquote() << "journal lock: cannot lock" << sending::JournalFolder() << ":" << journalLock.Error()
                             << "(the journal itself will fail the same way; orders are still sent)";
    }
    auto* acceso = new startup::Acceso(QCoreApplication::applicationDirPath());
    dialogs::Guarded([acceso] { acceso->Form_Load(); });
    widgets::CentreOnScreen(acceso);
    acceso->show();
    qInfo().noquote() << "start-up form shown";
    return QApplication::exec();
}
