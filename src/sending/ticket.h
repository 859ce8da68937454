#pragma once
// A kitchen ticket as the printer operations that make it, in order. The
// layout produces them without touching a printer; a printing system turns
// them into a job (raw ESC/POS text, or a page drawn through a driver).
#include <QString>
#include <vector>

namespace sending {

struct PrintOp {
    enum class Kind {
        ScaleMillimetres,  // set the scale unit to millimetres
        FontName,          // set the font name: `text`
        FontSize,          // set the font size in points: `size` (12 or 10)
        CurrentX,          // set the current x position: `size` (always 0 here)
        PrintLine,         // print `text` as one line (the call ends the line)
        EndDoc,            // end the document: the ticket goes to the printer
    };
    Kind kind = Kind::PrintLine;
    QString text;
    int size = 0;

    bool operator==(const PrintOp&) const = default;
};

struct Ticket {
    QString title;  // "ASISTENTE", "CHEF" or the group name
    std::vector<PrintOp> ops;

    bool operator==(const Ticket&) const = default;
};

}  // namespace sending
