#pragma once
// The pictures compiled into the program (logo, pointer, application icon).

namespace widgets {

// Registers the compiled-in pictures. The core is a static library, so its
// resources stay unregistered until someone calls this; call it once after
// the QApplication exists.
void LoadResources();

}  // namespace widgets
