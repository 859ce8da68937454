#pragma once
// What the waiter is told when ENVIAR could not store the order. The program
// goes on and the order stays on the screen, so each message says what
// happened to it and what to do next.
#include <QString>

#include "sending/send_order.h"

namespace sending {

// The text for a send that did not commit (`r.committed` false) of the order
// for table `mesa`; lines are joined by CR, as every message of the program.
QString SendFailureMessage(const SendResult& r, const QString& mesa);

// Shows SendFailureMessage in the common message box.
void ReportSendFailure(const SendResult& r, const QString& mesa);

}  // namespace sending
