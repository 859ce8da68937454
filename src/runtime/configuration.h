#pragma once
// The terminal's configuration files in the program folder and the shared
// data folder, and the connection string built from them. Plain functions:
// no widget and no connection inside.
#include <QString>
#include <array>
#include <optional>

#include "runtime/runtime_error.h"

namespace rt {

// The ten lines of Ruta_Datos.txt, each taken whole (blanks kept).
struct RutaDatos {
    std::array<QString, 10> lines;
    const QString& Servidor() const { return lines[0]; }
    const QString& Cod_Deposito() const { return lines[3]; }
    const QString& Base_Datos() const { return lines[4]; }
    const QString& Carpeta_Datos() const { return lines[5]; }
    const QString& Impresora() const { return lines[6]; }
};

// "<folder>/<name>": the folder as given, one separator, the name.
QString PathIn(const QString& folder, const QString& name);

// Reads the first ten lines of the file; lines after the tenth are ignored.
// Raises RuntimeError 53/76 (the file cannot be opened) or 62 (fewer than ten
// lines), with the path in the description.
RutaDatos ReadRutaDatos(const QString& path);

// True when the file can be opened and its first line read (an empty file
// cannot).
bool CanReadFirstLine(const QString& path);

// Why the first line of the file cannot be read (an empty file: error 62), or
// nullopt when it can.
std::optional<RuntimeError> FirstLineError(const QString& path);

// True for the errors of a file refused for what it is (no file at all, too
// large, not text), which the file's own message does not say.
bool IsRefusedFile(int number);

// The first line of the file, or "" when it is missing or empty.
QString FirstLineOrEmpty(const QString& path);

// The icon folder: program folder + "/iconos", with a "/" at the end.
QString IconFolder(const QString& programFolder);

// The folder of the program: the executable's folder unless start-up was
// given another (tests, the demo). Ruta_Datos.txt, Empresa.txt and iconos/
// live there.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// The connection string, built piece by piece in its fixed order.
QString BuildConnectionString(const QString& baseDatos, const QString& servidor);

}  // namespace rt
