// The start-up configuration reader on a Ruta_Datos.txt made of the input,
// and the connection string start-up builds from what it read.
#include "data/connection_string.h"
#include "fuzz_support.h"
#include "runtime/runtime_error.h"
#include "runtime/text_file.h"
#include "runtime/configuration.h"

namespace {

// A value the connection string carries unchanged: no ';' ends it early and
// no leading '{' makes it a braced one.
bool TravelsWhole(const QString& value) {
    return !value.contains(u';') && !value.startsWith(u'{');
}

void CheckConnectionString(const rt::RutaDatos& ruta) {
    const QString text = rt::BuildConnectionString(ruta.Base_Datos(), ruta.Servidor());
    const data::ConnectionSettings s = data::SettingsFromConnectionString(text);
    if (!TravelsWhole(ruta.Base_Datos()) || !TravelsWhole(ruta.Servidor())) return;
    fuzz::Check(s.database == ruta.Base_Datos(), "the database line reaches the settings", text);
    fuzz::Check(s.host == ruta.Servidor(), "the server line reaches the settings", text);
    fuzz::Check(s.port == 3306, "the port is 3306", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString path = fuzz::WriteScratchFile(bytes);
    const std::optional<QStringList> read = fuzz::FileLines(bytes);
    const QStringList lines = read.value_or(QStringList());

    fuzz::Check(rt::CanReadFirstLine(path) == !lines.isEmpty(),
                "the first line can be read when the file has one");
    fuzz::Check(rt::FirstLineOrEmpty(path) == lines.value(0), "the first line as written");
    try {
        const rt::RutaDatos ruta = rt::ReadRutaDatos(path);
        fuzz::Check(lines.size() >= 10, "ten lines are read only from ten lines");
        for (int i = 0; i < 10; ++i)
            fuzz::Check(ruta.lines[i] == lines[i], "each line taken whole", ruta.lines[i]);
        CheckConnectionString(ruta);
    } catch (const rt::RuntimeError& e) {
        fuzz::Check(read ? e.number() == rt::kInputPastEnd && lines.size() < 10 : e.number() == rt::kBadFileFormat,
                    "only a short file fails, with error 62, or one that is no text, with 321", e.description());
    }
    return 0;
}
