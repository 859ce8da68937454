#include "data/secure_link.h"

#include "data/db_error.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <vector>

namespace data {
namespace {

std::optional<bool> YesNo(const OptionSetting& s) {
    if (!s.hasValue) return true;  // "ssl-verify-server-cert" alone turns it on
    const QString v = s.value.trimmed().toLower();
    if (v == "1" || v == "on" || v == "true" || v == "yes") return true;
    if (v == "0" || v == "off" || v == "false" || v == "no") return false;
    return std::nullopt;
}

// "TLSv1.2,TLSv1.3" in the library's spelling, or nothing when a version is
// unknown or too old to be safe.
std::optional<QString> TlsVersions(const QString& text) {
    QStringList out;
    for (const QString& piece : text.split(',')) {
        const QString v = piece.trimmed().toLower();
        if (v == "tlsv1.2") out << QStringLiteral("TLSv1.2");
        else if (v == "tlsv1.3") out << QStringLiteral("TLSv1.3");
        else return std::nullopt;
    }
    return out.join(',');
}

class Chooser {
public:
    Chooser(const OptionFiles& files, LinkSettings& link) : files_(files), link_(link) {}

    const OptionSetting* Get(const char* key) const {
        const auto it = files_.settings.find(QLatin1String(key));
        return it == files_.settings.end() ? nullptr : &*it;
    }
    QString Named(const OptionSetting& s, const char* key) const {
        return s.hasValue ? QStringLiteral("%1=%2").arg(QLatin1String(key), s.value) : QLatin1String(key);
    }
    void Problem(const OptionSetting& s, const QString& text) { link_.problems.push_back({s.where, text}); }
    void Refuse(const OptionSetting& s, const QString& text) {
        if (link_.refusal.isEmpty()) link_.refusal = QStringLiteral("%1: %2").arg(s.where, text);
    }

    // A value that must be there: user, password.
    void Text(const char* key, QString& into) {
        const OptionSetting* s = Get(key);
        if (s == nullptr) return;
        if (!s->hasValue || (s->value.isEmpty() && QLatin1String(key) == QLatin1String("user")))
            Problem(*s, QStringLiteral("%1 no tiene valor; se usa el del programa.").arg(QLatin1String(key)));
        else
            into = s->value;
    }

    void Port() {
        const OptionSetting* s = Get("port");
        if (s == nullptr) return;
        bool ok = false;
        const uint port = s->value.trimmed().toUInt(&ok);
        if (ok && port >= 1 && port <= 65535) link_.port = port;
        else
            Problem(*s, QStringLiteral("%1 no es un puerto (1 a 65535); se usa el %2.")
                            .arg(Named(*s, "port"))
                            .arg(link_.port));
    }

    // A file (or, for ssl-capath, a folder) the TLS set-up reads: it must
    // be there and readable, or no protected link can be made as asked.
    void TlsFile(const char* key, bool folder, QString& into, const CanRead& canRead) {
        const OptionSetting* s = Get(key);
        if (s == nullptr) return;
        if (!s->hasValue || s->value.isEmpty()) {
            Refuse(*s, QStringLiteral("%1 no tiene valor.").arg(QLatin1String(key)));
        } else if (!canRead(s->value, folder)) {
            Refuse(*s, (folder ? QStringLiteral("no se puede leer la carpeta %1 (%2).")
                               : QStringLiteral("no se puede leer el archivo %1 (%2)."))
                           .arg(s->value, QLatin1String(key)));
        } else {
            into = s->value;
        }
    }

    void Tls(const CanRead& canRead) {
        TlsFile("ssl-ca", false, link_.ca, canRead);
        TlsFile("ssl-capath", true, link_.capath, canRead);
        TlsFile("ssl-cert", false, link_.cert, canRead);
        TlsFile("ssl-key", false, link_.key, canRead);
        if (const OptionSetting* s = Get("tls-version")) {
            if (const std::optional<QString> v = TlsVersions(s->value)) link_.tlsVersions = *v;
            else
                Refuse(*s, QStringLiteral("%1 no es una versión admitida (TLSv1.2, TLSv1.3).")
                               .arg(Named(*s, "tls-version")));
        }
        std::optional<bool> verify;
        const OptionSetting* verifySetting = Get("ssl-verify-server-cert");
        if (verifySetting != nullptr) {
            verify = YesNo(*verifySetting);
            if (!verify)
                Refuse(*verifySetting, QStringLiteral("%1 no es un valor válido (use on u off).")
                                           .arg(Named(*verifySetting, "ssl-verify-server-cert")));
        }
        const bool caNamed = Get("ssl-ca") != nullptr || Get("ssl-capath") != nullptr;
        if (caNamed || verify.value_or(false)) {
            link_.tls = TlsMode::Verified;
            if (caNamed && verify == false)
                Problem(*verifySetting,
                        QStringLiteral("ssl-verify-server-cert=off no se aplica: con una CA nombrada, "
                                       "el terminal siempre verifica el certificado del servidor."));
        }
        if (const OptionSetting* s = Get("ssl")) {
            const std::optional<bool> on = YesNo(*s);
            if (!on)
                Problem(*s, QStringLiteral("%1 no es un valor válido (use on u off); se cifra si el "
                                           "servidor lo permite.")
                                .arg(Named(*s, "ssl")));
            else if (!*on && link_.tls == TlsMode::Verified)
                Problem(*s, QStringLiteral("ssl=off no se aplica: las opciones piden verificar el "
                                           "servidor, y eso exige cifrar."));
            else if (!*on)
                link_.tls = TlsMode::Off;
        }
    }

private:
    const OptionFiles& files_;
    LinkSettings& link_;
};

}  // namespace

LinkSettings ChooseLink(const ConnectionSettings& base, const OptionFiles& files, const CanRead& canRead) {
    LinkSettings link;
    link.problems = files.problems;  // the files' own, then their values'
    link.problemsLeftOut = files.problemsLeftOut;
    link.user = base.user;
    link.password = base.password;
    link.port = base.port;
    Chooser c(files, link);
    c.Text("user", link.user);
    c.Text("password", link.password);
    c.Port();
    c.Tls(canRead);
    return link;
}

bool CanReadOnDisk(const QString& path, bool folder) {
    const QFileInfo info(path);
    return info.isReadable() && (folder ? info.isDir() : info.isFile());
}

QString OptionProblemsText(const LinkSettings& link) {
    if (link.problems.isEmpty()) return {};
    QString text = QStringLiteral("Archivos de opciones de MariaDB:");
    const qsizetype shown = std::min<qsizetype>(link.problems.size(), kShownOptionProblems);
    for (qsizetype i = 0; i < shown; ++i)
        text += QChar(13) + link.problems[i].where + QStringLiteral(": ") + link.problems[i].text;
    const qsizetype more = link.problems.size() - shown + link.problemsLeftOut;
    if (more > 0) text += QChar(13) + QStringLiteral("... y %1 problemas más.").arg(more);
    return text;
}

namespace {

bool ContainsAny(const QString& detail, const std::vector<const char*>& texts) {
    for (const char* text : texts)
        if (detail.contains(QLatin1String(text), Qt::CaseInsensitive)) return true;
    return false;
}

}  // namespace

bool IsBrokenLink(const QString& detail) {
    return ContainsAny(detail, {"unexpected eof", "reset by peer", "broken pipe", "syscall", "timed out"});
}

bool IsSecureLinkFailure(int number, const QString& detail) {
    if (IsBrokenLink(detail)) return false;
    return number == kClientTlsError || detail.startsWith(QLatin1String("TLS/SSL error")) ||
           detail.contains(QLatin1String("insecure transport"));
}

QString SecureLinkFailure(const QString& detail, const QString& host) {
    // The client library's words (OpenSSL's verification texts and its own)
    // and the cause they mean, the first that matches.
    static const struct {
        std::vector<const char*> says;
        const char* cause;
    } kCauses[] = {
        {{"certificate has expired"},
         "El certificado del servidor %1 está vencido: hay que renovarlo en el servidor."},
        {{"not yet valid"},
         "El certificado del servidor %1 todavía no es válido: revise la fecha y la hora de este terminal."},
        {{"Validation of SSL server certificate failed", "mismatch"},
         "El certificado del servidor no está hecho para «%1» (línea 1 de Ruta_Datos.txt): no es el "
         "servidor esperado, o su certificado no lleva ese nombre."},
        {{"server does not support"},
         "El servidor %1 no ofrece conexión cifrada (TLS) y las opciones de este terminal la exigen."},
        {{"insecure transport"},
         "El servidor %1 exige conexión cifrada y este terminal la tiene apagada (ssl=off en las "
         "opciones)."},
        {{"self-signed", "issuer certificate", "verify the first certificate", "signature failure", "unknown ca",
          "verify failed"},
         "El certificado del servidor %1 no está firmado por la autoridad (CA) que indican las opciones de "
         "este terminal: no es el servidor esperado, o la CA no es la correcta."},
    };
    for (const auto& c : kCauses)
        if (ContainsAny(detail, c.says)) return QString::fromUtf8(c.cause).arg(host);
    return QStringLiteral("No se pudo establecer la conexión cifrada con el servidor %1.").arg(host);
}

}  // namespace data
