#pragma once
// The printer's side of ESC/POS real-time status: which faults the stand-in
// printer can show, the byte it answers to DLE EOT n in each, and picking
// those requests out of the bytes a connection sends.
#include <QByteArray>
#include <vector>

namespace printerlistener {

// What is wrong with the printer. PaperOut and CoverOpen: it answers status
// requests with the fault and prints nothing; Offline: it reads nothing at all.
enum class Fault { None, PaperOut, CoverOpen, Offline };

// The answer to DLE EOT n (n = 1, 2 or 4) in `fault`: bits 1 and 4 always
// set, bit 0 and bit 7 clear.
//   n=1 printer status:   bit 3 offline (at paper end and with the cover open too)
//   n=2 offline cause:    bit 2 cover open, bit 5 stopped by paper end, bit 6 error
//   n=4 roll paper:       bits 2,3 near end, bits 5,6 paper end
char StatusByte(Fault fault, char n);

// Splits what a connection sends into print data and status requests
// (DLE EOT n, n = 1, 2, 4), also when a request is cut across two reads.
class StatusRequests {
public:
    // Appends the print data of `bytes` to `data` and each request's n to `asked`.
    void Feed(const char* bytes, std::size_t size, QByteArray* data, std::vector<char>* asked);
    // The end of the connection: bytes held back as the start of a request
    // that never came whole are print data after all.
    QByteArray Flush();

private:
    QByteArray held_;  // "", DLE, or DLE EOT
};

}  // namespace printerlistener
