#include "widgets/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a global function, so it must be used outside any namespace.
static void LoadIconResources() { Q_INIT_RESOURCE(iconos); }

namespace widgets {

void LoadResources() { LoadIconResources(); }

}  // namespace widgets
