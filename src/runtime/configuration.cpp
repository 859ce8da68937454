#include "runtime/configuration.h"

#include <QCoreApplication>

#include "runtime/runtime_error.h"
#include "runtime/text_file.h"

namespace rt {

QString PathIn(const QString& folder, const QString& name) { return folder + "/" + name; }

RutaDatos ReadRutaDatos(const QString& path) {
    rt::TextFileReader reader(path);
    RutaDatos r;
    for (QString& line : r.lines) {
        if (reader.AtEndOfStream())
            rt::Raise(rt::kInputPastEnd, path + " (tiene menos de diez líneas)");
        line = reader.ReadLine();
    }
    return r;
}

std::optional<RuntimeError> FirstLineError(const QString& path) {
    try {
        rt::TextFileReader reader(path);
        reader.ReadLine();
        return std::nullopt;
    } catch (const rt::RuntimeError& e) {
        return e;
    }
}

bool CanReadFirstLine(const QString& path) { return !FirstLineError(path); }

bool IsRefusedFile(int number) { return number == kFileAccess || number == kBadFileFormat; }

QString FirstLineOrEmpty(const QString& path) {
    try {
        rt::TextFileReader reader(path);
        return reader.AtEndOfStream() ? QString() : reader.ReadLine();
    } catch (const rt::RuntimeError&) {
        return QString();
    }
}

QString IconFolder(const QString& programFolder) {
    QString folder = programFolder + "/iconos";
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

namespace {
QString g_programFolder;
}

QString ProgramFolder() {
    return g_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_programFolder;
}

void SetProgramFolder(const QString& folder) { g_programFolder = folder; }

QString BuildConnectionString(const QString& baseDatos, const QString& servidor) {
    return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};DATABASE=") + baseDatos +
           QStringLiteral(";SERVER=") + servidor + QStringLiteral(";dns=vandrelfw;UID=") +
           QStringLiteral("admin") + QStringLiteral(";password=") +
           QStringLiteral("tormbel5831") + QStringLiteral(";PORT=3306;");
}

}  // namespace rt
