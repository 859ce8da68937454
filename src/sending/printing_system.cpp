#include "sending/printing_system.h"

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
        return JobResult{false, QStringLiteral("este programa no tiene sistema de impresión"), false};
    }
};

std::unique_ptr<PrintingSystem>& Installed() {
    static std::unique_ptr<PrintingSystem> sistema;
    return sistema;
}

std::unique_ptr<PrintingSystem>& ProgramSystem() {
    static std::unique_ptr<PrintingSystem> sistema;
    return sistema;
}

}  // namespace

PrintingSystem& CurrentPrintingSystem() {
    static NoPrintingSystem none;
    if (Installed()) return *Installed();
    return ProgramSystem() ? *ProgramSystem() : none;
}

void SetPrintingSystem(std::unique_ptr<PrintingSystem> sistema) {
    Installed() = std::move(sistema);
}

void SetProgramPrintingSystem(std::unique_ptr<PrintingSystem> sistema) {
    ProgramSystem() = std::move(sistema);
}

}  // namespace sending
