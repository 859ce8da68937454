#include "widgets/error_box.h"

#include <QDebug>

#include "data/db_error.h"
#include "runtime/end_program.h"
#include "runtime/runtime_error.h"
#include "data/module1.h"
#include "runtime/dialogs.h"

namespace dialogs {

QString SystemErrorText(int number, const QString& description) {
    return QStringLiteral("Se ha producido el error '%1' en tiempo de ejecución:\n\n%2")
        .arg(number)
        .arg(description);
}

void ShowSystemErrorAndEnd(int number, const QString& description) {
    qCritical().noquote() << "error" << number << description;
    Current().Message(SystemErrorText(number, description), kApplicationTitle, Icon::Critical);
    rt::EndProgram(1);
}

void Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const rt::ProgramEnded&) {
        throw;  // a test's end-of-program hook: let the test see it
    } catch (const data::ConnectionLost& e) {
        // The waiter can try again once the server is back; the order on the
        // screen must not be lost with the program.
        qWarning().noquote() << "server unreachable, the screen is kept as it is:" << e.number()
                             << e.description();
        Module1::Avisar_Sin_Conexion(e.description());
    } catch (const rt::RuntimeError& e) {
        ShowSystemErrorAndEnd(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        ShowSystemErrorAndEnd(7, QStringLiteral("Memoria insuficiente"));
    } catch (const std::exception& e) {
        ShowSystemErrorAndEnd(51, QStringLiteral("Error interno: ") + QString::fromLocal8Bit(e.what()));
    }
}

}  // namespace dialogs
