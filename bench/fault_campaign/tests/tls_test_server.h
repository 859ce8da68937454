#pragma once
// The tests' own server, for the proxy tests that look at encrypted and
// plain sessions: it must offer TLS (scripts/test starts it so).
#include <QString>

namespace campaigntest {

// The server's address, once database `db` exists and the terminal's user
// may read it, and a client that asks for TLS when offered got it; "" (and a
// failed test) when the server offers no TLS.
QString TlsOfferingServer(const QString& db);

}  // namespace campaigntest
