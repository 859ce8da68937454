#include "sending/print_groups.h"

#include <QDebug>

namespace sending {
namespace {

const QChar kApostrofe = QLatin1Char('\'');
const QString kModoChef = QStringLiteral("C");

enum class Pass { Chef, Tickets };

// The groups one reading of the file yields. The mode is carried from line to
// line, so a line without one keeps the mode of the line before it.
QStringList ReadGroups(const QStringList& modelo, Pass pass) {
    QStringList grupos;
    QString modo;
    for (qsizetype i = 0; i < modelo.size() && !modelo.at(i).isEmpty(); ++i) {
        const PrintGroupLine linea = SplitPrintGroupLine(modelo.at(i));
        if (linea.modo) modo = *linea.modo;
        if (pass == Pass::Tickets || modo == kModoChef) grupos << linea.grupo;
        const bool incompleta = pass == Pass::Chef ? !linea.modo.has_value() : !linea.conApostrofe;
        if (incompleta) {
            qWarning().noquote()
                << QStringLiteral("Modelo.txt line %1 \"%2\" has %3; %4 read no further groups")
                       .arg(i + 1)
                       .arg(modelo.at(i),
                            linea.conApostrofe ? QStringLiteral("no second apostrophe")
                                               : QStringLiteral("no apostrophe"),
                            pass == Pass::Chef ? QStringLiteral("the chef copy")
                                               : QStringLiteral("the group tickets"));
            break;
        }
    }
    return grupos;
}

}  // namespace

PrintGroupLine SplitPrintGroupLine(const QString& linea) {
    PrintGroupLine out;
    const qsizetype primero = linea.indexOf(kApostrofe);
    out.conApostrofe = primero >= 0;
    if (!out.conApostrofe) {
        out.grupo = linea;
        return out;
    }
    out.grupo = linea.left(primero);
    const qsizetype segundo = linea.indexOf(kApostrofe, primero + 1);
    if (segundo >= 0) out.modo = linea.mid(primero + 1, segundo - primero - 1);
    return out;
}

QStringList ChefGroups(const QStringList& modelo) {
    return ReadGroups(modelo, Pass::Chef);
}

QStringList TicketGroups(const QStringList& modelo) {
    return ReadGroups(modelo, Pass::Tickets);
}

}  // namespace sending
