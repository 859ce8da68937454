// The list of tickets at the printer: any bytes at all are read as the list.
// A refusal names its reason; a list read writes back to a text that reads as
// the same, and holds each ticket of a send once.
#include "fuzz_support.h"
#include "sending/ticket_follower.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::UseProgramFormats();
    QString error;
    const auto list = sending::FollowedFromJson(fuzz::Bytes(data, size), &error);
    if (!list) {
        fuzz::Check(!error.isEmpty(), "an unreadable list of tickets says why");
        return 0;
    }
    for (size_t i = 0; i < list->size(); ++i)
        for (size_t j = i + 1; j < list->size(); ++j)
            fuzz::Check((*list)[i].idEnvio != (*list)[j].idEnvio || (*list)[i].id != (*list)[j].id,
                        "a ticket held twice is read once", (*list)[i].id.Text());
    const QByteArray written = sending::FollowedToJson(*list);
    const auto again = sending::FollowedFromJson(written, &error);
    fuzz::Check(again == list, "the tickets at the printer read back as written",
                error + u'\n' + QString::fromUtf8(written));
    return 0;
}
