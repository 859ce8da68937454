#include "runtime/runtime_error.h"

namespace rt {

RuntimeError::RuntimeError(int number, const QString& description)
    : std::runtime_error(QStringLiteral("Error %1: %2").arg(number).arg(description).toStdString()),
      number_(number),
      description_(description) {}

QString Description(int number) {
    switch (number) {
        case kOverflow:
            return QStringLiteral("Desbordamiento");
        case kTypeMismatch:
            return QStringLiteral("No coinciden los tipos");
        case kFileNotFound:
            return QStringLiteral("No se ha encontrado el archivo");
        case kInputPastEnd:
            return QStringLiteral("La entrada se ha pasado del final del archivo");
        case kPermissionDenied:
            return QStringLiteral("Permiso denegado");
        case kFileAccess:
            return QStringLiteral("Error de acceso a la ruta o el archivo");
        case kPathNotFound:
            return QStringLiteral("No se ha encontrado la ruta de acceso");
        case kInvalidUseOfNull:
            return QStringLiteral("Uso no válido de Null");
        case kBadFileFormat:
            return QStringLiteral("Formato de archivo no válido");
        default:
            return {};
    }
}

void Raise(int number, const QString& detail) {
    QString description = Description(number);
    if (!detail.isEmpty())
        description = description.isEmpty() ? detail : description + ": " + detail;
    throw RuntimeError(number, description);
}

}  // namespace rt
