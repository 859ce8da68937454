#include "escpos_backend/job_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace escposbackend {

Copies ParseCopies(std::string_view text) {
    Copies copies;
    int value = 0;
    bool digits = !text.empty() && text.size() <= 3;  // kMostCopies has three
    for (const char c : text.substr(0, 3)) {
        if (c < '0' || c > '9') digits = false;
        else value = value * 10 + (c - '0');
    }
    if (digits && value >= 1 && value <= kMostCopies) {
        copies.count = static_cast<int>(value);
        return copies;
    }
    std::string shown;
    for (const char c : text.substr(0, 20)) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    copies.problem = "copias \"" + shown + "\" no vale (de 1 a " + std::to_string(kMostCopies) +
                     "): se imprime una";
    return copies;
}

std::optional<std::string> RepeatedJob(std::string_view data, int copies, std::string* error) {
    if (copies < 1 || (!data.empty() && data.size() > kMostJobBytes / static_cast<std::size_t>(copies))) {
        *error = std::to_string(copies) + " copias de " + std::to_string(data.size()) +
                 " bytes pasan del límite de " + std::to_string(kMostJobBytes) + " bytes";
        return std::nullopt;
    }
    std::string job;
    job.reserve(data.size() * static_cast<std::size_t>(copies));
    for (int i = 0; i < copies; ++i) job += data;
    return job;
}

bool ReadJobBytes(int fd, std::string* data, std::string* error) {
    data->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            *error = std::strerror(errno);
            return false;
        }
        if (data->size() + static_cast<std::size_t>(n) > kMostJobBytes) {
            *error = "pasa del límite de " + std::to_string(kMostJobBytes) + " bytes";
            return false;
        }
        data->append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace escposbackend
