// Connection strings: the pairs they hold and the settings taken from them.
#include "data/connection_string.h"
#include "fuzz_support.h"

namespace {

// The pairs written back as a connection string: braced when the value has no
// '}', else bare (such a value came bare, so it holds no ';' and starts with
// no '{').
QString Written(const QMap<QString, QString>& pairs) {
    QString text;
    for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
        const bool braced = !it.value().contains(u'}');
        text += it.key() + u'=' + (braced ? u'{' + it.value() + u'}' : it.value()) + u';';
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fuzz::Utf8(data, size);
    const QMap<QString, QString> pairs = data::ParseConnectionString(text);
    for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
        fuzz::Check(!it.key().isEmpty() && it.key() == it.key().trimmed().toLower(),
                    "keys are trimmed and in lower case", it.key());
        fuzz::Check(!it.key().contains(u'=') && !it.key().contains(u';'), "a key ends at its '='",
                    it.key());
    }
    const QString written = Written(pairs);
    fuzz::Check(data::ParseConnectionString(written) == pairs,
                "the pairs written back read as the same pairs", written);

    const data::ConnectionSettings s = data::SettingsFromConnectionString(text);
    fuzz::Check(s.port >= 1 && s.port <= 65535, "the port is a real one", QString::number(s.port));
    // The settings depend on the pairs alone, not on how they were written.
    const data::ConnectionSettings w = data::SettingsFromConnectionString(written);
    fuzz::Check(w.host == s.host && w.database == s.database && w.user == s.user &&
                    w.password == s.password && w.port == s.port,
                "the pairs written back give the same settings", written);
    return 0;
}
