#include "escpos_backend/status_memory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace escposbackend {
namespace {

std::string Path(const std::string& folder, std::string_view host, int port) {
    return folder + "/" + MemoryFileName(host, port);
}

}  // namespace

std::string DefaultMemoryFolder() {
    if (const char* cache = std::getenv("CUPS_CACHEDIR"); cache && *cache)
        return std::string(cache) + "/escpos-estado";
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/pedidos-escpos-estado";
}

std::string MemoryFileName(std::string_view host, int port) {
    std::string name;
    for (const char c : host) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '-';
        name += kept ? c : '_';
    }
    return name + "_" + std::to_string(port);
}

bool StatusMemory::HasAnswered(std::string_view host, int port) const {
    return ::access(Path(folder_, host, port).c_str(), F_OK) == 0;
}

bool StatusMemory::RememberAnswered(std::string_view host, int port, std::string* error) const {
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = "no se pudo crear " + folder_ + ": " + std::strerror(errno);
        return false;
    }
    const std::string path = Path(folder_, host, port);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = "no se pudo crear " + path + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace escposbackend
