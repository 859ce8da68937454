#include "sending/printing_system.h"

#include <mutex>

namespace sending {
namespace {

// A program that set no printing system of its own: no printer can be
// found, and the reason says why.
class NoPrintingSystem final : public PrintingSystem {
public:
    PrinterList InstalledPrinters() override {
        return PrinterList{false, QStringLiteral("este programa no tiene sistema de impresión"), {}};
    }
    JobResult PrintTicket(const QString&, const Ticket&) override {
        return JobResult{false, QStringLiteral("este programa no tiene sistema de impresión"), false, 0};
    }
};

struct Systems {
    std::mutex mutex;
    std::shared_ptr<PrintingSystem> installed;
    std::shared_ptr<PrintingSystem> program;
    std::shared_ptr<PrintingSystem> none = std::make_shared<NoPrintingSystem>();
};

Systems& TheSystems() {
    static Systems s;
    return s;
}

}  // namespace

QueueState PrintingSystem::AskQueue(const QString&) {
    QueueState s;
    s.answered = true;
    return s;
}

JobState PrintingSystem::AskJob(const QString&, int) {
    JobState s;
    s.answered = true;
    s.phase = JobPhase::Completed;
    return s;
}

bool PrintingSystem::CancelJob(const QString&, int, QString* error) {
    *error = QStringLiteral("este sistema de impresión no cancela trabajos");
    return false;
}

std::shared_ptr<PrintingSystem> SharedPrintingSystem() {
    Systems& s = TheSystems();
    const std::lock_guard<std::mutex> lock(s.mutex);
    if (s.installed) return s.installed;
    return s.program ? s.program : s.none;
}

PrintingSystem& CurrentPrintingSystem() {
    return *SharedPrintingSystem();
}

void SetPrintingSystem(std::unique_ptr<PrintingSystem> sistema) {
    Systems& s = TheSystems();
    const std::lock_guard<std::mutex> lock(s.mutex);
    s.installed = std::move(sistema);
}

void SetProgramPrintingSystem(std::unique_ptr<PrintingSystem> sistema) {
    Systems& s = TheSystems();
    const std::lock_guard<std::mutex> lock(s.mutex);
    s.program = std::move(sistema);
}

}  // namespace sending
