// The escpos backend's reading of a printer's status bytes and its rule of
// what to do next, on any bytes: a status that blocks is told by a message
// and a reason, the STATE lines turn what was shown into what is wanted, and
// the backend never waits on a printer whose answers it cannot read.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "escpos_backend/next_step.h"
#include "escpos_backend/status_bytes.h"
#include "fuzz_support.h"

namespace {

using namespace escposbackend;

const char* const kReasons[] = {"media-empty", "media-needed", "media-low", "door-open", "offline-report", "other"};

std::set<std::string> ReasonsOf(std::uint8_t bits) {
    std::set<std::string> out;
    for (int i = 0; i < 6; ++i)
        if ((bits >> i) & 1) out.insert(kReasons[i]);
    return out;
}

// What the scheduler keeps after reading `lines` over `shown`.
std::set<std::string> Applied(std::set<std::string> shown, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        fuzz::Check(line.starts_with("STATE: +") || line.starts_with("STATE: -"), "a STATE line",
                    QString::fromStdString(line));
        const bool add = line[7] == '+';
        std::string words = line.substr(8);
        for (std::size_t at = 0; at <= words.size();) {
            const auto comma = std::min(words.find(',', at), words.size());
            const std::string word = words.substr(at, comma - at);
            if (add) shown.insert(word);
            else shown.erase(word);
            at = comma + 1;
        }
    }
    return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    if (const auto status = DecodeStatus(data[0], data[1], data[2])) {
        const std::set<std::string> reasons = StateReasons(*status);
        fuzz::Check(Blocks(*status) == !FaultMessage(*status).empty(), "a blocking status has its message");
        fuzz::Check(!Blocks(*status) || !reasons.empty(), "a blocking status has a reason");
        fuzz::Check(Blocks(*status) || reasons.empty() || reasons == std::set<std::string>{"media-low"},
                    "a status that prints warns at most of low paper");
    }
    const std::set<std::string> shown = ReasonsOf(data[3]), wanted = ReasonsOf(data[4]);
    fuzz::Check(Applied(shown, StateChanges(shown, wanted)) == wanted, "the STATE lines make the wanted reasons");

    const std::uint8_t bits = size > 5 ? data[5] : 0;
    const Situation s{(bits & 1) != 0, (bits & 2) != 0, static_cast<Answer>((bits >> 2) % 4), (bits & 16) != 0};
    const Decision d = NextStep(s);
    fuzz::Check(s.ask_status || d.step == Step::SendUnchecked, "without status the job goes unchecked");
    fuzz::Check(d.step != Step::Finish || s.job_sent, "a job finishes only once it was sent");
    fuzz::Check(s.answer != Answer::Unreadable || d.step != Step::WaitForPrinter,
                "an answer that cannot be read is never waited on");
    fuzz::Check(d.step != Step::SendJob || s.answer == Answer::Fine, "a checked job goes only to a fine printer");
    return 0;
}
