#pragma once
// A kitchen ticket as the bytes an ESC/POS ticket printer takes: the printer
// is reset, switched to code page 850, and every line is sent as CP850 text.
#include <QByteArray>
#include <QString>

#include "sending/ticket_paper.h"

namespace sending {

// The whole ticket as one job: ESC @, ESC t 2, then for each operation its
// byte form (size 12 is double height, size 10 normal; a printed line ends
// with LF; the end of the document cuts the paper). Scale, font name and
// x position have no byte form: text always starts at the left margin.
QByteArray EscPosBytes(const TicketPaper& paper);
// The same for the ticket as it goes on paper.
QByteArray EscPosBytes(const Ticket& ticket);

// `text` in code page 850. A character CP850 has no byte for, and a control
// character (which the printer would take as a command), becomes '?'.
QByteArray ToCp850(const QString& text);

// What a printer prints of `bytes` (jobs as EscPosBytes makes them), as text
// to read on a screen: one line per printed line, double-height lines marked
// with "» ", and every paper cut as a line of scissors. Other commands are
// left out.
QString EscPosText(const QByteArray& bytes);

}  // namespace sending
