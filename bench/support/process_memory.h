#pragma once
// The resident memory of this process, from /proc/self/status.

namespace bench {

// VmRSS and VmHWM (the peak) in KiB; 0 when they cannot be read.
long RssKb();
long PeakRssKb();

}  // namespace bench
