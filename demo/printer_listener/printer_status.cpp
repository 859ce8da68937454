#include "printer_status.h"

namespace printerlistener {
namespace {

constexpr char kDle = 0x10;
constexpr char kEot = 0x04;
constexpr unsigned char kFixedBits = 0x12;  // bits 1 and 4

bool IsStatusRequest(char n) {
    return n == 1 || n == 2 || n == 4;
}

}  // namespace

char StatusByte(Fault fault, char n) {
    const bool paper_out = fault == Fault::PaperOut;
    const bool cover_open = fault == Fault::CoverOpen;
    unsigned char status = kFixedBits;
    switch (n) {
        case 1:
            // A printer goes offline at paper end and while its cover is open.
            if (paper_out || cover_open) status |= 0x08;
            break;
        case 2:
            if (cover_open) status |= 0x04;
            if (paper_out) status |= 0x20;
            break;
        case 4:
            // At the end of the roll the near-end sensor sees no paper either.
            if (paper_out) status |= 0x0C | 0x60;
            break;
        default:
            break;
    }
    return static_cast<char>(status);
}

void StatusRequests::Feed(const char* bytes, std::size_t size, QByteArray* data,
                          std::vector<char>* asked) {
    for (std::size_t i = 0; i < size; ++i) {
        const char b = bytes[i];
        if (held_.isEmpty()) {
            if (b == kDle)
                held_.append(b);
            else
                data->append(b);
        } else if (held_.size() == 1) {
            if (b == kEot) {
                held_.append(b);
            } else {
                // DLE followed by something else: data, and `b` may start a request.
                data->append(kDle);
                held_.clear();
                if (b == kDle)
                    held_.append(b);
                else
                    data->append(b);
            }
        } else {
            held_.clear();
            if (IsStatusRequest(b)) {
                asked->push_back(b);
            } else {
                data->append(kDle).append(kEot);
                if (b == kDle)
                    held_.append(b);
                else
                    data->append(b);
            }
        }
    }
}

QByteArray StatusRequests::Flush() {
    QByteArray rest;
    rest.swap(held_);
    return rest;
}

}  // namespace printerlistener
