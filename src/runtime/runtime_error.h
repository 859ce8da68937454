#pragma once
// Errors of the program's own runtime (conversions, files, overflow). Each carries
// the number and the description that the system error box shows when no
// procedure on the way handles it.
#include <QString>
#include <stdexcept>

namespace rt {

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description);
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// The error numbers the runtime raises, with their fixed descriptions.
enum ErrorNumber {
    kOverflow = 6,           // "Desbordamiento"
    kTypeMismatch = 13,      // "No coinciden los tipos"
    kFileNotFound = 53,      // "No se ha encontrado el archivo"
    kInputPastEnd = 62,      // "La entrada se ha pasado del final del archivo"
    kPermissionDenied = 70,  // "Permiso denegado"
    kFileAccess = 75,        // "Error de acceso a la ruta o el archivo"
    kPathNotFound = 76,      // "No se ha encontrado la ruta de acceso"
    kInvalidUseOfNull = 94,  // "Uso no válido de Null"
    kBadFileFormat = 321,    // "Formato de archivo no válido"
};

// Throws RuntimeError with `number` and its fixed description; `detail`, when not
// empty, is appended after ": " (for example the path of a missing file). For a
// number without a fixed description the detail alone is the description.
[[noreturn]] void Raise(int number, const QString& detail = QString());

// The fixed description of a runtime error number (empty for unknown numbers).
QString Description(int number);

}  // namespace rt
