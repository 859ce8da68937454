#pragma once
// Procedures that must run every step even when one fails ("a failing step is
// skipped and the rest runs") wrap each step in ResumeNext. The error is not
// shown to the waiter, who could do nothing about it, but it is logged with
// the step's name so a technician can find it.
#include <functional>

namespace rt {

// Runs `step`; an rt::RuntimeError (database errors included) escaping from it
// is logged with `context` and dropped. Returns false when the step failed.
bool ResumeNext(const char* context, const std::function<void()>& step);

}  // namespace rt
