#include "support/process_memory.h"

#include <cstdio>
#include <cstring>

namespace bench {
namespace {

long StatusKb(const char* key) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kb = 0;
    const std::size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, n) == 0) {
            std::sscanf(line + n, "%ld", &kb);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

}  // namespace

long RssKb() { return StatusKb("VmRSS:"); }
long PeakRssKb() { return StatusKb("VmHWM:"); }
long AnonymousRssKb() { return StatusKb("RssAnon:"); }
long FileRssKb() { return StatusKb("RssFile:"); }

}  // namespace bench
