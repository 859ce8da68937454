#pragma once
// What the backend does next, from what the printer last said: the rule
// that a job completes only when a printer that answers status requests
// says it is fine after the job's last byte, and that a fault after the job
// sends the whole job again once the printer is fine.
#include <set>
#include <string>
#include <vector>

namespace escposbackend {

// The printer's answer to the last status request.
enum class Answer {
    Fine,    // it answered, and nothing keeps it from printing
    Fault,   // it answered with a fault (paper end, cover open, offline, error)
    Silent,  // no answer in time (or status is never asked)
    // It answered, with bytes that are no status answer (0x00, say): it is
    // there, but has no status to read, so it is printed to as a plain
    // socket printer is, whatever it answered before.
    Unreadable,
};

enum class Step {
    SendJob,         // send the whole job, then ask again
    Finish,          // the job is on paper: close, exit OK
    WaitForPrinter,  // report the fault, wait, ask again
    SendUnchecked,   // a printer without status (or none to read): send, close, exit OK
};

struct Situation {
    bool ask_status = true;       // false: the queue's URI says estado=no
    bool job_sent = false;        // the whole job went out since the printer was last fine
    Answer answer = Answer::Silent;
    bool answered_before = false; // this printer has answered a status request, now or ever
};

struct Decision {
    Step step;
    bool job_sent;  // after this step: a fault makes the job due again
};

Decision NextStep(const Situation& situation);

// The backend's "STATE:" lines that turn the printer-state-reasons it has
// reported, `shown`, into `wanted` ("STATE: -a,b" then "STATE: +c"); none
// when they are the same.
std::vector<std::string> StateChanges(const std::set<std::string>& shown,
                                      const std::set<std::string>& wanted);

}  // namespace escposbackend
