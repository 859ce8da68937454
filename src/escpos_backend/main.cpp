// pedidos_escpos_backend, installed as CUPS's backend "escpos": prints a
// kitchen queue's jobs on a network ESC/POS ticket printer,
// escpos://HOST[:PORT], asking the printer its real-time status before and
// after each job so that a printer out of paper, with its cover open or
// offline keeps the job in the queue (and says why) instead of letting it
// complete with nothing on paper.
//   escpos                                      prints the discovery line
//   escpos JOB USER TITLE COPIES OPTIONS [FILE]  prints FILE (or standard input)
//                                               to the printer of DEVICE_URI
#include <cups/backend.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "escpos_backend/backend_report.h"
#include "escpos_backend/cancel_guard.h"
#include "escpos_backend/device_uri.h"
#include "escpos_backend/job_file.h"
#include "escpos_backend/job_printing.h"
#include "escpos_backend/status_memory.h"

namespace {

// The whole job: kitchen tickets are small, and a fault after the last byte
// sends it all again.
bool ReadJob(int argc, char** argv, escposbackend::BackendReport& report, std::string* job,
             std::string* error) {
    std::string data;
    const int fd = argc == 7 ? ::open(argv[6], O_RDONLY | O_CLOEXEC) : STDIN_FILENO;
    if (fd < 0) {
        *error = std::string("no se pudo abrir ") + argv[6] + ": " + std::strerror(errno);
        return false;
    }
    const bool read = escposbackend::ReadJobBytes(fd, &data, error);
    if (argc == 7) ::close(fd);
    if (!read) {
        *error = (argc == 7 ? std::string(argv[6]) : std::string("la entrada estándar")) + ": " + *error;
        return false;
    }
    // As CUPS's socket backend does: copies are the backend's to make only
    // for a file (a filter chain on standard input has made them).
    int copies = 1;
    if (argc == 7) {
        const escposbackend::Copies parsed = escposbackend::ParseCopies(argv[4]);
        if (!parsed.problem.empty()) report.Warning(parsed.problem);
        copies = parsed.count;
    }
    const auto repeated = escposbackend::RepeatedJob(data, copies, error);
    if (!repeated) return false;
    *job = *repeated;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        std::printf("network escpos \"Unknown\" \"Impresora de comandas ESC/POS (red)\"\n");
        return CUPS_BACKEND_OK;
    }
    escposbackend::BackendReport report;
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "Uso: %s trabajo usuario título copias opciones [archivo]\n",
                     escposbackend::ShownUri(argv[0]).c_str());
        return CUPS_BACKEND_FAILED;
    }
    // Cancelling a job sends SIGTERM: the job is in memory, so nothing is
    // left to finish and the backend ends at once (see cancel_guard.h).
    escposbackend::EndOnCancel();
    std::signal(SIGPIPE, SIG_IGN);

    const char* device = std::getenv("DEVICE_URI");
    const std::string text = device && *device ? device : argv[0];
    std::string error;
    const auto uri = escposbackend::ParseDeviceUri(text, &error);
    if (!uri) {
        // Nothing to retry: the queue is stopped until its URI is put right.
        report.Error(error);
        return CUPS_BACKEND_STOP;
    }
    std::string job;
    if (!ReadJob(argc, argv, report, &job, &error)) {
        report.Error("No se pudo leer el trabajo: " + error);
        return CUPS_BACKEND_FAILED;
    }
    const escposbackend::StatusMemory memory(escposbackend::DefaultMemoryFolder());
    return escposbackend::PrintJob(*uri, job, memory, report);
}
