#include "sending/printing_system.h"

#include "sending/cups_printing.h"

namespace sending {
namespace {

std::unique_ptr<PrintingSystem>& Installed() {
    static std::unique_ptr<PrintingSystem> sistema;
    return sistema;
}

}  // namespace

PrintingSystem& CurrentPrintingSystem() {
    std::unique_ptr<PrintingSystem>& sistema = Installed();
    if (!sistema) sistema = std::make_unique<CupsPrintingSystem>();
    return *sistema;
}

void SetPrintingSystem(std::unique_ptr<PrintingSystem> sistema) {
    Installed() = std::move(sistema);
}

}  // namespace sending
