#pragma once
// How the terminal reaches its server: the log-in and port of the connection
// string unless the option files set others, and TLS:
//   - by default whenever the server offers it, plain when it does not;
//   - verified (the server's certificate signed by the named CA, or a CA the
//     system trusts, and made out to the server's name or address) and never
//     plain when the options name a CA or ask for verification;
//   - off only when the options say ssl=0 and ask for nothing of the above.
// Plain functions: the connection applies what they choose.
#include <QList>
#include <QString>
#include <functional>

#include "data/connection_string.h"
#include "data/option_files.h"

namespace data {

enum class TlsMode { Off, WhenOffered, Verified };

struct LinkSettings {
    QString user;
    QString password;
    unsigned int port = 3306;
    TlsMode tls = TlsMode::WhenOffered;
    QString ca, capath, cert, key;  // files and folder as the options name them
    QString tlsVersions;            // "TLSv1.2,TLSv1.3"; empty: the library's own
    // Non-empty: the options ask for a protected link that cannot be set up
    // as written (a bad value, a file that cannot be read). Nothing is sent.
    QString refusal;
    // The files' problems and the values not used (the built-in ones stay).
    QList<OptionProblem> problems;
    int problemsLeftOut = 0;  // the files' problems beyond those kept
};

// The settings for the server of `base` (the connection string's), with
// what `files` set. `canRead` tells whether a path the options name is a
// folder (`folder`) or a file that can be read.
using CanRead = std::function<bool(const QString& path, bool folder)>;
LinkSettings ChooseLink(const ConnectionSettings& base, const OptionFiles& files, const CanRead& canRead);

// CanRead on this machine's disk.
bool CanReadOnDisk(const QString& path, bool folder);

// The technician's text for problems in the option files, or "" when none:
// the first kShownOptionProblems, then how many more there are.
inline constexpr int kShownOptionProblems = 8;
QString OptionProblemsText(const LinkSettings& link);

// The waiter's and technician's text for a connection the client library
// refused while setting up TLS (its error text `detail`), naming the cause;
// `host` is the server as Ruta_Datos.txt names it.
QString SecureLinkFailure(const QString& detail, const QString& host);

// True when the client library's error is about the TLS the options ask
// for (a certificate, a server without TLS), not the link breaking while
// TLS was being set up (a server or network gone: IsBrokenLink).
bool IsSecureLinkFailure(int number, const QString& detail);
bool IsBrokenLink(const QString& detail);

}  // namespace data
