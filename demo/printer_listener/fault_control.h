#pragma once
// Switching a running stand-in printer from outside: `pedidos_printer_listener
// --falla FILE ESTADO` appends ESTADO to a control file beside FILE, and the
// listener writing to FILE takes each word from there as it comes.
#include <QString>
#include <QStringList>
#include <optional>

#include "printer_status.h"

namespace printerlistener {

// What one word of the control file asks for.
struct FaultOrder {
    enum class Kind { Fault, SwitchOff, AnswersStatus };
    Kind kind = Kind::Fault;
    Fault fault = Fault::None;  // Kind::Fault
    bool answers = true;        // Kind::AnswersStatus
};

// "normal", "sin-papel", "tapa-abierta", "fuera-de-linea", "apagada",
// "sin-estado", "con-estado"; nothing for any other word.
std::optional<FaultOrder> ParseFaultOrder(const QString& word);
// The words ParseFaultOrder knows, for the usage message.
QStringList FaultOrderWords();
// How the running printer says, in Spanish, what an order made of it.
QString DescribeFaultOrder(const FaultOrder& order);

// The control file of the capture file `capture`.
QString FaultControlPath(const QString& capture);
// Appends `word` to the control file; false, with the reason, when it cannot.
bool SendFaultOrder(const QString& capture, const QString& word, QString* error);
// The words appended since the last call, taking them out of the file
// (renamed first, so a word appended meanwhile goes to a fresh file).
QStringList TakeFaultOrders(const QString& capture);

}  // namespace printerlistener
