#pragma once
// The print groups of Modelo.txt. Each line names one group and its mode: the
// group name, an apostrophe, the mode, an apostrophe ("COCINA'C'"); anything
// after the second apostrophe is a comment. Reading stops at the first empty
// line. The groups of mode "C" (exact) also go on the chef copy; every listed
// group gets a ticket of its own.
//
// A line with fewer than two apostrophes is read as well as it can be: its
// group is the text before the apostrophe, or the whole line when it has none,
// and its mode is the mode of the line before it. Such a line is still used,
// but it ends the reading after it: always when it has no apostrophe at all,
// and for the chef copy, which needs the mode, also when it has only one.
#include <QString>
#include <QStringList>
#include <optional>

namespace sending {

// One line of Modelo.txt split at its apostrophes.
struct PrintGroupLine {
    QString grupo;  // text before the first "'", or the whole line without one
    std::optional<QString>
        modo;                   // text between the first and the second "'"; none without a second
    bool conApostrofe = false;  // the line has at least one "'"
};

PrintGroupLine SplitPrintGroupLine(const QString& linea);

// The groups whose lines go on the chef copy, in file order.
QStringList ChefGroups(const QStringList& modelo);

// The groups that get a ticket of their own, in file order (a group listed
// twice comes twice).
QStringList TicketGroups(const QStringList& modelo);

}  // namespace sending
