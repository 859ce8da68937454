#pragma once
// What happens to an error that no handler on the way traps: the system
// error box with its number and description, then the program ends at once;
// except a server that cannot be reached, which is told in the system's
// common message box while the program and its screen go on.
#include <QString>
#include <functional>

namespace dialogs {

// The text of the system error box for error `number`.
QString SystemErrorText(int number, const QString& description);

// Shows the system error box and ends the program.
[[noreturn]] void ShowSystemErrorAndEnd(int number, const QString& description);

// Runs `handler` (an event handler of a screen); an error escaping from it is
// shown in the system error box and ends the program, except
// data::ConnectionLost, which is shown with Module1::Avisar_Sin_Conexion and
// returns. Qt must never see an exception unwind through its event loop.
void Guarded(const std::function<void()>& handler);

}  // namespace dialogs
