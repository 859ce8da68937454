#pragma once
// A MariaDB server of this test program alone, so it can be killed without
// disturbing the other programs' shared test server. Its data live under the
// build folder; it listens on its own loopback address (PEDIDOS_TEST_DB_KILL_HOST,
// 127.0.0.10 unless set) and is started as scripts/lib/mariadb.sh starts one.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

#include "support/test_database.h"

namespace sendingtest {

class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();  // stops the server
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    // Starts the server (creating its data folder the first time) and waits
    // until it answers. False, with the reason in `error`, when it does not.
    bool Start(QString& error);
    // kill -9: the server dies at once, in the middle of whatever it does.
    // Callable from any thread while the thread that started it runs events.
    void Kill();
    // The database `name` rebuilt as `installation` with the demo data.
    bool LoadDatabase(const QString& name, QString& error,
                      testsupport::Installation installation = testsupport::Installation::Ours);
    // Runs SQL as root on database `name`; the rows, columns joined by tabs.
    QStringList Query(const QString& name, const QString& sql);

    QString Host() const { return host_; }

private:
    QString Client(const QStringList& args, const QByteArray& input, bool* ok);
    bool Answers();
    void StopStale();

    QString dir_;
    QString host_;
    std::unique_ptr<QProcess> server_;
};

}  // namespace sendingtest
