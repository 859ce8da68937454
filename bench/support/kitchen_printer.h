#pragma once
// The stand-in kitchen printer of the benchmarks: the demo's printer
// listener run as a process of its own (so its memory is not the
// terminals') on PrinterHost():PrinterPort(), where the bench CUPS queue
// prints; it appends every job it receives whole to a file.
#include <QString>
#include <map>

namespace bench {

class KitchenPrinter {
public:
    explicit KitchenPrinter(QString file) : file_(std::move(file)) {}
    ~KitchenPrinter() { Stop(); }
    KitchenPrinter(const KitchenPrinter&) = delete;
    KitchenPrinter& operator=(const KitchenPrinter&) = delete;

    // Starts the listener and waits until it accepts connections.
    bool Start();
    // Switches it off (a job still arriving is not kept, and CUPS sends it
    // again; one sent whole is kept, as the sender takes it as printed).
    void Stop();
    // How many tickets of each ticket number arrived so far.
    std::map<QString, int> Received() const;
    // Received(), once at least `expected` tickets of each number arrived or
    // after `seconds` (the kitchen queue may still be working through jobs it
    // held while the printer was off).
    std::map<QString, int> WaitForTickets(const std::map<QString, int>& expected, int seconds) const;

private:
    QString file_;
    int pid_ = 0;
};

}  // namespace bench
