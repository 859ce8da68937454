#include "escpos_backend/status_memory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace escposbackend {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : "";
}

// `folder` opened when it is ours alone: a folder (not a link to one) of this
// user that nobody else can write, so no one else can plant a file in it.
// Made 0700 first when `create`. -1, with the reason, otherwise.
int OpenOwnFolder(const std::string& folder, bool create, std::string* error) {
    if (folder.empty()) {
        *error = "no hay carpeta donde recordarlo (ni CUPS_CACHEDIR ni HOME)";
        return -1;
    }
    if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = "no se pudo crear " + folder + ": " + std::strerror(errno);
        return -1;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *error = folder + (errno == ELOOP || errno == ENOTDIR ? ": no es una carpeta (¿un enlace?)"
                                                              : ": " + std::string(std::strerror(errno)));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        *error = folder + ": la carpeta es de otro usuario o la pueden escribir otros";
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::string DefaultMemoryFolder() {
    if (const std::string cache = Env("CUPS_CACHEDIR"); !cache.empty()) return cache + "/escpos-estado";
    // Run outside the scheduler: the user's own cache, never a fixed name
    // in a folder everyone writes.
    if (const std::string xdg = Env("XDG_CACHE_HOME"); !xdg.empty()) return xdg + "/pedidos-escpos-estado";
    if (const std::string home = Env("HOME"); !home.empty()) return home + "/.cache/pedidos-escpos-estado";
    return "";
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
    std::string ignored;
    const int dir = OpenOwnFolder(folder_, false, &ignored);
    if (dir < 0) return false;
    struct stat st {};
    const bool known = ::fstatat(dir, MemoryFileName(host, port).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISREG(st.st_mode);
    ::close(dir);
    return known;
}

bool StatusMemory::RememberAnswered(std::string_view host, int port, std::string* error) const {
    const int dir = OpenOwnFolder(folder_, true, error);
    if (dir < 0) return false;
    const std::string name = MemoryFileName(host, port);
    // Never through a link, never blocking on a FIFO; a file already there
    // is left as it is.
    const int fd = ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    const int cause = errno;
    ::close(dir);
    if (fd < 0) {
        *error = "no se pudo crear " + folder_ + "/" + name + ": " +
                 (cause == ELOOP ? "es un enlace simbólico" : std::strerror(cause));
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace escposbackend
