#include "escpos_backend/cancel_guard.h"

#include <cups/backend.h>
#include <unistd.h>

namespace escposbackend {
namespace {

volatile std::sig_atomic_t handing_over = 0;
volatile std::sig_atomic_t cancelled = 0;

// Only calls that are safe in a signal handler. The reasons go with the
// backend: the scheduler keeps them on the queue otherwise, and an idle
// queue would still say "out of paper" after the paper is back.
void ClearReasonsAndEnd() {
    static const char kClear[] = "STATE: -media-empty,media-needed,media-low,door-open,offline-report,other\n";
    const ssize_t written = ::write(STDERR_FILENO, kClear, sizeof kClear - 1);
    (void)written;
    ::_exit(CUPS_BACKEND_OK);
}

extern "C" void OnCancel(int) {
    if (handing_over) {
        cancelled = 1;
        return;
    }
    ClearReasonsAndEnd();
}

}  // namespace

void EndOnCancel() {
    struct sigaction action {};
    action.sa_handler = OnCancel;
    action.sa_flags = SA_RESTART;  // a write under way goes on
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
}

WholeTicket::WholeTicket() { handing_over = 1; }

WholeTicket::~WholeTicket() {
    handing_over = 0;
    if (cancelled) ClearReasonsAndEnd();
}

}  // namespace escposbackend
