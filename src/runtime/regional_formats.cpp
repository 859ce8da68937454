#include "runtime/regional_formats.h"

namespace rt {

RegionalFormats& CurrentFormats() {
    static RegionalFormats formats;
    return formats;
}

void ResetFormats() {
    CurrentFormats() = RegionalFormats{};
}

}  // namespace rt
