#pragma once
// While alive, "end the program" throws rt::ProgramEnded instead of ending
// the test process.
#include "runtime/end_program.h"

namespace testsupport {

class CatchProgramEnd {
public:
    CatchProgramEnd() {
        rt::SetEndProgramHook([](int code) { throw rt::ProgramEnded(code); });
    }
    ~CatchProgramEnd() { rt::SetEndProgramHook({}); }
};

}  // namespace testsupport
