#include "tls_test_server.h"

#include <gtest/gtest.h>

#include "runtime/configuration.h"
#include "support/bare_client.h"

namespace campaigntest {

QString TlsOfferingServer(const QString& db) {
    const QString host = qEnvironmentVariable("PEDIDOS_TEST_DB_HOST", "127.0.0.9");
    bench::BareClient root;
    root.ConnectRoot(qEnvironmentVariable("PEDIDOS_TEST_DB_SOCKET"), QStringLiteral("mysql"));
    root.Run(QStringLiteral("create user if not exists 'admin'@'127.0.0.1' identified by 'tormbel5831';"
                            "create database if not exists %1;"
                            "grant select on %1.* to 'admin'@'127.0.0.1'")
                 .arg(db));
    bench::BareClient direct;
    direct.SetTlsWhenOffered(true);
    direct.Connect(rt::BuildConnectionString(db, host));
    if (direct.Cipher().isEmpty()) {
        ADD_FAILURE() << "the server at " << host.toStdString()
                      << " offers no TLS: start it as scripts/test does (scripts/lib/tls.sh)";
        return {};
    }
    return host;
}

}  // namespace campaigntest
