#pragma once
// A bare TCP client for the stand-in printer, to send it bytes and read its
// status answers as a printer's client does, every wait bounded.
#include <QByteArray>
#include <QString>
#include <chrono>

namespace printerstest {

class ListenerClient {
public:
    ListenerClient() = default;
    ~ListenerClient();
    ListenerClient(const ListenerClient&) = delete;
    ListenerClient& operator=(const ListenerClient&) = delete;

    // False, with the reason, when host:port does not take the connection.
    bool Connect(const QString& host, quint16 port, QString* error);
    bool Send(const QByteArray& bytes);
    // Up to `count` bytes, waiting at most `limit` for all of them.
    QByteArray Read(int count, std::chrono::milliseconds limit);
    // Closes the sending side and reads what comes until the printer closes
    // (at most `limit`): the job is then complete on the printer's side.
    QByteArray Finish(std::chrono::milliseconds limit);

private:
    int fd_ = -1;
};

// DLE EOT n.
QByteArray StatusRequest(char n);

}  // namespace printerstest
