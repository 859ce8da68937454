#pragma once
// One TCP connection to a network ESC/POS printer, every wait bounded:
// connecting, asking the real-time status (DLE EOT 1, 2, 4) and sending.
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace escposbackend {

class PrinterLink {
public:
    // Connects to host:port within `wait`; nullptr, with the reason, when the
    // printer refuses or cannot be reached.
    static std::unique_ptr<PrinterLink> Connect(const std::string& host, int port,
                                                std::chrono::milliseconds wait, std::string* error);
    ~PrinterLink();
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    enum class Asked { Answered, Silent, Lost };
    // Asks DLE EOT 1, 2 and 4 in turn, waiting at most `wait` for each byte.
    // Answered: `answers` holds the three bytes. Silent: one did not come in
    // time (a late answer would be out of turn: drop this connection). Lost:
    // the printer closed the connection or it failed (`error` says how).
    Asked AskStatus(std::chrono::milliseconds wait, std::array<std::uint8_t, 3>* answers,
                    std::string* error);
    // Sends all of `data`; false, with the reason, when the connection fails
    // or the printer takes nothing for `stall`.
    bool Send(const std::string& data, std::chrono::milliseconds stall, std::string* error);
    // Closes the sending side and waits, at most `wait`, for the printer to
    // close its own (it has read everything), as a plain socket printer is left.
    void Close(std::chrono::milliseconds wait);

private:
    explicit PrinterLink(int fd) : fd_(fd) {}
    // Bytes the printer sent unasked (a late answer): dropped, so that the
    // next answers are the ones asked.
    void DropUnasked();

    int fd_;
};

}  // namespace escposbackend
