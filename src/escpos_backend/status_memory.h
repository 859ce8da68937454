#pragma once
// Which printers have ever answered a status request, kept across jobs: one
// empty file per printer in a folder of the backend's cache. A printer that
// never answered is printed to without checking; one that answered before
// and is silent now is taken as offline.
#include <string>
#include <string_view>

namespace escposbackend {

// The folder: CUPS_CACHEDIR/escpos-estado (the scheduler sets CUPS_CACHEDIR
// for its backends); run by hand, the user's cache (XDG_CACHE_HOME, else
// HOME/.cache) pedidos-escpos-estado; "" without either (nothing is kept).
// The folder is used only while it is this user's alone (0700, not a link,
// not writable by others), and its files are never opened through a link.
std::string DefaultMemoryFolder();

// The file name for the printer HOST:PORT: letters, digits, '.' and '-'
// kept, anything else '_', then "_PORT".
std::string MemoryFileName(std::string_view host, int port);

class StatusMemory {
public:
    explicit StatusMemory(std::string folder) : folder_(std::move(folder)) {}
    bool HasAnswered(std::string_view host, int port) const;
    // False, with the reason, when it cannot be written down.
    bool RememberAnswered(std::string_view host, int port, std::string* error) const;

private:
    std::string folder_;
};

}  // namespace escposbackend
