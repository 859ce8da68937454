#include "escpos_backend/backend_report.h"

#include <cstdio>

#include "escpos_backend/next_step.h"

namespace escposbackend {
namespace {

void Line(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace

void BackendReport::Reasons(const std::set<std::string>& reasons) {
    for (const std::string& line : StateChanges(shown_, reasons)) Line(line);
    shown_ = reasons;
}

void BackendReport::Info(const std::string& message) {
    if (message == last_info_) return;
    last_info_ = message;
    Line("INFO: " + message);
}

void BackendReport::Handed() {
    if (handed_) return;
    handed_ = true;
    Line("PAGE: 1 1");
}

void BackendReport::Warning(const std::string& message) {
    Line("WARNING: " + message);
}

void BackendReport::Debug(const std::string& message) {
    Line("DEBUG: " + message);
}

void BackendReport::Error(const std::string& message) {
    Line("ERROR: " + message);
}

}  // namespace escposbackend
