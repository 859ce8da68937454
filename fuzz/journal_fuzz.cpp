// The send journal: any bytes at all are read as an entry. A refusal names
// its reason; an entry read writes back to a text that reads as the same, and
// holds no printed ticket twice.
#include <algorithm>
#include <vector>

#include "fuzz_support.h"
#include "sending/send_journal.h"

namespace {

template <typename T>
bool NoRepeats(std::vector<T> items) {
    std::sort(items.begin(), items.end());
    return std::adjacent_find(items.begin(), items.end()) == items.end();
}

QStringList Texts(const std::vector<sending::TicketId>& ids) {
    QStringList out;
    for (const sending::TicketId& id : ids) out << id.Text();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::UseProgramFormats();
    QString error;
    const std::optional<sending::JournalEntry> e = sending::JournalFromJson(fuzz::Bytes(data, size), &error);
    if (!e) {
        fuzz::Check(!error.isEmpty(), "an unreadable journal entry says why");
        return 0;
    }
    const QStringList printed = Texts(e->impresas);
    fuzz::Check(NoRepeats(std::vector<QString>(printed.begin(), printed.end())) && NoRepeats(e->impresasPorLugar),
                "a printed ticket named twice is read once", printed.join(u','));
    const QByteArray written = sending::JournalToJson(*e);
    const std::optional<sending::JournalEntry> again = sending::JournalFromJson(written, &error);
    fuzz::Check(again == e, "a journal entry reads back as it was written", error + u'\n' + QString::fromUtf8(written));
    return 0;
}
