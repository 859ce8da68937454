// Modelo.txt: the print groups, their modes, the chef copy's groups.
#include "fuzz_support.h"
#include "runtime/text_file.h"
#include "sending/print_groups.h"

namespace {

void CheckSplit(const QString& line) {
    const sending::PrintGroupLine split = sending::SplitPrintGroupLine(line);
    fuzz::Check(!split.grupo.contains(u'\''), "a group name holds no apostrophe", line);
    fuzz::Check(split.conApostrofe == line.contains(u'\''), "the apostrophe is seen", line);
    if (!split.conApostrofe) {
        fuzz::Check(split.grupo == line && !split.modo, "a line without apostrophe is its group",
                    line);
        return;
    }
    const QString head = split.grupo + u'\'';
    fuzz::Check(line.startsWith(head), "the group is the text before the apostrophe", line);
    if (split.modo)
        fuzz::Check(!split.modo->contains(u'\'') &&
                        QStringView(line).mid(head.size()).startsWith(*split.modo + u'\''),
                    "the mode lies between the first two apostrophes", line);
    else
        fuzz::Check(line.count(u'\'') == 1, "a mode is missing only without a second apostrophe",
                    line);
}

// `part` in order within `whole` (not necessarily side by side).
bool IsSubsequence(const QStringList& part, const QStringList& whole) {
    qsizetype k = 0;
    for (const QString& s : whole)
        if (k < part.size() && part[k] == s) ++k;
    return k == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList modelo = rt::DecodeTextLines(fuzz::Bytes(data, size));
    for (const QString& line : modelo) CheckSplit(line);
    const QStringList chef = sending::ChefGroups(modelo);
    const QStringList tickets = sending::TicketGroups(modelo);
    // The chef copy's reading ends no later than the tickets' one, and keeps
    // only some of the groups.
    fuzz::Check(IsSubsequence(chef, tickets), "the chef copy's groups are among the tickets'",
                chef.join(u'|') + " / " + tickets.join(u'|'));
    const qsizetype firstEmpty = modelo.indexOf(QString());
    fuzz::Check(tickets.size() <= (firstEmpty < 0 ? modelo.size() : firstEmpty),
                "no group after the first empty line");
    return 0;
}
