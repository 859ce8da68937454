#include "escpos_backend/next_step.h"

#include <algorithm>
#include <iterator>

namespace escposbackend {
namespace {

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : ",") + w;
    return out;
}

}  // namespace

Decision NextStep(const Situation& s) {
    if (!s.ask_status) return {Step::SendUnchecked, false};
    switch (s.answer) {
        case Answer::Fine:
            return s.job_sent ? Decision{Step::Finish, true} : Decision{Step::SendJob, true};
        case Answer::Fault:
            // Paper may have run out in the middle of the ticket: all of it again.
            return {Step::WaitForPrinter, false};
        case Answer::Silent:
            // A printer that has answered before and is silent now is offline
            // (or has not read what came before the request); one that never
            // answered has no status support.
            if (s.answered_before) return {Step::WaitForPrinter, false};
            return s.job_sent ? Decision{Step::Finish, true} : Decision{Step::SendUnchecked, false};
        case Answer::Unreadable:
            // Never a wait on a printer that answers: sent after a fine
            // answer, the job is done; not sent yet, it goes unchecked.
            return s.job_sent ? Decision{Step::Finish, true} : Decision{Step::SendUnchecked, false};
    }
    return {Step::WaitForPrinter, false};
}

std::vector<std::string> StateChanges(const std::set<std::string>& shown,
                                      const std::set<std::string>& wanted) {
    std::vector<std::string> gone, added, lines;
    std::set_difference(shown.begin(), shown.end(), wanted.begin(), wanted.end(),
                        std::back_inserter(gone));
    std::set_difference(wanted.begin(), wanted.end(), shown.begin(), shown.end(),
                        std::back_inserter(added));
    if (!gone.empty()) lines.push_back("STATE: -" + Joined(gone));
    if (!added.empty()) lines.push_back("STATE: +" + Joined(added));
    return lines;
}

}  // namespace escposbackend
