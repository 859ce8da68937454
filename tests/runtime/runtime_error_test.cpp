#include "runtime/runtime_error.h"

#include <gtest/gtest.h>

#include "program_locale.h"

namespace {

TEST(RuntimeError, RaiseAppendsTheDetail) {
    QString description;
    EXPECT_EQ(
        ErrorNumberOf([] { rt::Raise(rt::kFileNotFound, "/datos/Modelo.txt"); }, &description), 53);
    EXPECT_EQ(description, "No se ha encontrado el archivo: /datos/Modelo.txt");
    EXPECT_EQ(ErrorNumberOf([] { rt::Raise(rt::kOverflow); }, &description), 6);
    EXPECT_EQ(description, "Desbordamiento");
    EXPECT_EQ(ErrorNumberOf([] { rt::Raise(3146, "Error de la conexión"); }, &description), 3146);
    EXPECT_EQ(description, "Error de la conexión");
    EXPECT_EQ(rt::Description(3146), "");
}

TEST(RuntimeError, WhatCarriesNumberAndDescription) {
    try {
        rt::Raise(rt::kInvalidUseOfNull);
        FAIL() << "Raise returned";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), "Error 94: Uso no válido de Null");
    }
}

}  // namespace
