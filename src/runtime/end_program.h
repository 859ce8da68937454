#pragma once
// "End the program now": no unload handling, no further code. Tests install a
// hook that throws ProgramEnded instead, so they can see that it happened.
#include <functional>
#include <stdexcept>

namespace rt {

struct ProgramEnded : std::runtime_error {
    explicit ProgramEnded(int c) : std::runtime_error("program ended"), code(c) {}
    int code;
};

// Ends the process at once with `code` (after flushing standard streams),
// or calls the installed hook. A hook that returns does not stop the end.
[[noreturn]] void EndProgram(int code = 0);

// Installs a hook (an empty function restores the real end).
void SetEndProgramHook(std::function<void(int)> hook);

}  // namespace rt
