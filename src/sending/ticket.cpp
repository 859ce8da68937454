#include "sending/ticket.h"

#include <map>

#include "sending/value_names.h"

namespace sending {

namespace {

const ValueNames<TicketKind>& KindNames() {
    static const ValueNames<TicketKind> names = {{TicketKind::Full, QStringLiteral("completa")},
                                                 {TicketKind::Chef, QStringLiteral("chef")},
                                                 {TicketKind::Group, QStringLiteral("grupo")}};
    return names;
}

}  // namespace

QString TicketKindName(TicketKind kind) { return NameOf(KindNames(), kind); }

std::optional<TicketKind> TicketKindFromName(const QString& name) { return ValueOf(KindNames(), name); }

QString TicketId::Text() const {
    return TicketKindName(kind) + u':' + title + u':' + QString::number(vez);
}

// The title sits between the first and the last colon: a group's name may
// hold colons of its own.
std::optional<TicketId> TicketId::FromText(const QString& text) {
    const qsizetype first = text.indexOf(u':');
    const qsizetype last = text.lastIndexOf(u':');
    if (first < 0 || last == first) return std::nullopt;
    const std::optional<TicketKind> kind = TicketKindFromName(text.left(first));
    bool ok = false;
    const int vez = text.mid(last + 1).toInt(&ok);
    if (!kind || !ok || vez < 1 || text.mid(last + 1) != QString::number(vez)) return std::nullopt;
    return TicketId{*kind, text.mid(first + 1, last - first - 1), vez};
}

std::vector<TicketId> TicketIdsOf(const std::vector<Ticket>& tickets) {
    std::map<std::pair<TicketKind, QString>, int> seen;
    std::vector<TicketId> ids;
    for (const Ticket& t : tickets) ids.push_back({t.kind, t.title, ++seen[{t.kind, t.title}]});
    return ids;
}

}  // namespace sending
