// The terminal's own files that keep kitchen tickets: the send journal and the
// list of tickets at the printer. Any bytes at all are read as each; what is
// read writes back to a text that reads as the same.
#include "fuzz_support.h"
#include "sending/send_journal.h"
#include "sending/ticket_follower.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::UseProgramFormats();
    const QByteArray bytes = fuzz::Bytes(data, size);
    QString error;
    if (const std::optional<sending::JournalEntry> e = sending::JournalFromJson(bytes, &error)) {
        const std::optional<sending::JournalEntry> again =
            sending::JournalFromJson(sending::JournalToJson(*e), &error);
        fuzz::Check(again == e, "a journal entry reads back as it was written", error);
    } else {
        fuzz::Check(!error.isEmpty(), "an unreadable journal entry says why");
    }
    error.clear();
    if (const auto list = sending::FollowedFromJson(bytes, &error)) {
        const auto again = sending::FollowedFromJson(sending::FollowedToJson(*list), &error);
        fuzz::Check(again == list, "the tickets at the printer read back as written", error);
    } else {
        fuzz::Check(!error.isEmpty(), "an unreadable list of tickets says why");
    }
    return 0;
}
