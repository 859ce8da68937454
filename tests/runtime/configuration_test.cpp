#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "runtime/runtime_error.h"
#include "runtime/configuration.h"

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
    const rt::RutaDatos r = rt::ReadRutaDatos(path);
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
    EXPECT_EQ(rt::ReadRutaDatos(path).lines[9], "10");
}

TEST(RutaDatos, AShortOrMissingFileIsAnErrorNamingTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Ruta_Datos.txt");
    Write(path, "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
    try {
        rt::ReadRutaDatos(path);
        FAIL();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number(), rt::kInputPastEnd);
        EXPECT_TRUE(e.description().contains(path));
    }
    try {
        rt::ReadRutaDatos(dir.filePath("otro.txt"));
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
    EXPECT_FALSE(rt::CanReadFirstLine(dir.filePath("vacio.txt")));
    EXPECT_TRUE(rt::CanReadFirstLine(dir.filePath("linea.txt")));
    EXPECT_FALSE(rt::CanReadFirstLine(dir.filePath("falta.txt")));
    // An empty data folder line names a file at the root.
    EXPECT_EQ(rt::PathIn("", "Modelo.txt"), "/Modelo.txt");
}

TEST(Configuration, EmpresaIsTheFirstLineOrNothing) {
    QTemporaryDir dir;
    Write(dir.filePath("Empresa.txt"), "Restaurant El Fog\xf3n\r\nsegunda\r\n");
    EXPECT_EQ(rt::FirstLineOrEmpty(dir.filePath("Empresa.txt")),
              QString::fromUtf8("Restaurant El Fogón"));
    EXPECT_EQ(rt::FirstLineOrEmpty(dir.filePath("no.txt")), "");
}

TEST(Configuration, TheIconFolderEndsWithASeparator) {
    EXPECT_EQ(rt::IconFolder("/opt/pedidos"), "/opt/pedidos/iconos/");
}

}  // namespace
