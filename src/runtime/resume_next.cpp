#include "runtime/resume_next.h"

#include <QDebug>

#include "runtime/runtime_error.h"

namespace rt {

bool ResumeNext(const char* context, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const RuntimeError& e) {
        qWarning().noquote() << "step skipped:" << context << "- error" << e.number()
                             << e.description();
        return false;
    }
}

}  // namespace rt
