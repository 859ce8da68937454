#pragma once
// What the backend tells the scheduler, on standard error, in the lines
// CUPS reads from a backend: "STATE: +reason" / "STATE: -reason" (the
// queue's printer-state-reasons), "INFO: ..." (its printer-state-message,
// in Spanish), "WARNING: ..." (logged by the scheduler and kept as the
// job's message after it completes), "DEBUG: ...". A line equal to the last one of its kind is
// not repeated while the backend waits.
#include <set>
#include <string>

namespace escposbackend {

class BackendReport {
public:
    // The printer-state-reasons become `reasons` (only the ones this
    // backend reports: the scheduler keeps its own).
    void Reasons(const std::set<std::string>& reasons);
    void Info(const std::string& message);
    // The whole ticket is in the printer's hands: "PAGE: 1 1", once, which
    // CUPS keeps as the job's job-impressions-completed. A job stopped or
    // cancelled after it (the queue paused while the backend waited for the
    // printer's last answer) has reached the paper: the terminal does not
    // print it again, and cancels it so CUPS does not either.
    void Handed();
    void Warning(const std::string& message);
    void Debug(const std::string& message);
    void Error(const std::string& message);

private:
    std::set<std::string> shown_;
    std::string last_info_;
    bool handed_ = false;
};

}  // namespace escposbackend
