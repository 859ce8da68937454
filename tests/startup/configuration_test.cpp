#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "runtime/runtime_error.h"
#include "startup/configuration.h"

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(RutaDatos, TenLinesAreTakenWholeAndLaterLinesIgnored) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Ruta_Datos.txt");
    Write(path, " srv \r\nr2\r\nr3\r\n01 \r\nbase\r\n/datos\r\nCocina  \r\nr8\r\nr9\r\nr10\r\nonce\r\n");
    const startup::RutaDatos r = startup::ReadRutaDatos(path);
    EXPECT_EQ(r.Servidor(), " srv ");
    EXPECT_EQ(r.Cod_Deposito(), "01 ");
    EXPECT_EQ(r.Base_Datos(), "base");
    EXPECT_EQ(r.Carpeta_Datos(), "/datos");
    EXPECT_EQ(r.Impresora(), "Cocina  ");
    EXPECT_EQ(r.lines[9], "r10");
}

TEST(RutaDatos, TenLinesWithoutAFinalLineBreakAreReadInFull) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Ruta_Datos.txt");
    Write(path, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
    EXPECT_EQ(startup::ReadRutaDatos(path).lines[9], "10");
}

TEST(RutaDatos, AShortOrMissingFileIsAnErrorNamingTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Ruta_Datos.txt");
    Write(path, "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
    try {
        startup::ReadRutaDatos(path);
        FAIL();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number(), rt::kInputPastEnd);
        EXPECT_TRUE(e.description().contains(path));
    }
    try {
        startup::ReadRutaDatos(dir.filePath("otro.txt"));
        FAIL();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number(), rt::kFileNotFound);
        EXPECT_TRUE(e.description().contains("otro.txt"));
    }
}

TEST(Configuration, AnEmptyFirstLineFileCountsAsReadableButAnEmptyFileDoesNot) {
    QTemporaryDir dir;
    Write(dir.filePath("vacio.txt"), "");
    Write(dir.filePath("linea.txt"), "\r\n");
    EXPECT_FALSE(startup::CanReadFirstLine(dir.filePath("vacio.txt")));
    EXPECT_TRUE(startup::CanReadFirstLine(dir.filePath("linea.txt")));
    EXPECT_FALSE(startup::CanReadFirstLine(dir.filePath("falta.txt")));
    // An empty data folder line names a file at the root.
    EXPECT_EQ(startup::PathIn("", "Modelo.txt"), "/Modelo.txt");
}

TEST(Configuration, EmpresaIsTheFirstLineOrNothing) {
    QTemporaryDir dir;
    Write(dir.filePath("Empresa.txt"), "Restaurant El Fog\xf3n\r\nsegunda\r\n");
    EXPECT_EQ(startup::FirstLineOrEmpty(dir.filePath("Empresa.txt")),
              QString::fromUtf8("Restaurant El Fogón"));
    EXPECT_EQ(startup::FirstLineOrEmpty(dir.filePath("no.txt")), "");
}

TEST(Configuration, TheIconFolderEndsWithASeparator) {
    EXPECT_EQ(startup::IconFolder("/opt/pedidos"), "/opt/pedidos/iconos/");
}

}  // namespace
