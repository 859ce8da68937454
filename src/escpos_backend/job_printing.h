#pragma once
// Prints one job on a network ESC/POS printer and returns only once it is
// on paper (or the printer has no status to ask): the backend's loop of
// connecting, asking the status, sending and asking again.
#include <string>

#include "escpos_backend/backend_report.h"
#include "escpos_backend/device_uri.h"
#include "escpos_backend/status_memory.h"

namespace escposbackend {

// The backend's exit code (CUPS_BACKEND_OK): it waits for the printer as
// long as it takes, so it ends only when the job is printed or the scheduler
// cancels it (SIGTERM ends the process).
int PrintJob(const DeviceUri& uri, const std::string& job, const StatusMemory& memory,
             BackendReport& report);

}  // namespace escposbackend
