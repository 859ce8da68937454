#pragma once
// How the statement builders of this folder put a text value between single
// quotes: through the caller's escape function, so the builders stay pure
// (no connection inside) and the statement texts keep their exact shape.
#include <QString>
#include <functional>

namespace order {

using Escape = std::function<QString(const QString&)>;

}  // namespace order
