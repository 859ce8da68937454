#pragma once
// The names the terminal's own files give to the values of an enumeration
// ("sin-papel", "grupo", "línea"): names rather than numbers, so a later
// program that adds or reorders values still reads an earlier file.
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace sending {

template <typename E>
using ValueNames = std::vector<std::pair<E, QString>>;

template <typename E>
QString NameOf(const ValueNames<E>& names, E value) {
    for (const auto& [v, n] : names)
        if (v == value) return n;
    return {};
}

template <typename E>
std::optional<E> ValueOf(const ValueNames<E>& names, const QString& name) {
    for (const auto& [v, n] : names)
        if (n == name) return v;
    return std::nullopt;
}

}  // namespace sending
