#pragma once
// The terminal's own outside things behind the seams the rules call: Qt's
// boxes for the dialogs and the machine's CUPS for the printing system.
// Every program with screens calls it once at start (the terminal, the demo,
// the test and benchmark programs), after the QApplication exists.

namespace startup {

void InstallProgramSeams();

}  // namespace startup
