#pragma once
// The resident memory of this process, from /proc/self/status.

namespace bench {

// VmRSS and VmHWM (the peak) in KiB; 0 when they cannot be read.
long RssKb();
long PeakRssKb();
// The resident memory now that is the process's own (heap, stacks, pixmaps)
// and that is mapped files (the program and its libraries, fonts).
long AnonymousRssKb();
long FileRssKb();

}  // namespace bench
