#include "startup/program_seams.h"

#include <memory>

#include "printers/cups_printing.h"
#include "runtime/dialogs.h"
#include "sending/printing_system.h"
#include "widgets/qt_dialogs.h"

namespace startup {

void InstallProgramSeams() {
    static dialogs::QtDialogs boxes;
    dialogs::SetProgramDialogs(&boxes);
    sending::SetProgramPrintingSystem(std::make_unique<printers::CupsPrintingSystem>());
}

}  // namespace startup
