#include "data/module1.h"

#include <QDebug>
#include <QFileInfo>

#include "data/db_error.h"
#include "data/reconnecting.h"
#include "runtime/end_program.h"
#include "runtime/dialogs.h"

namespace Module1 {
namespace {

// The first line of every message about the database.
const QString kErrorBaseDatos = QStringLiteral("Error en Base de datos...");

}  // namespace

bool Ejecutar_Sql(const QString& sql) {
    QString lastError;
    for (int intento = 1; intento <= kIntentosSql; ++intento) {
        try {
            if (!Conexion) throw data::DbError(data::kConnectionClosed, "No hay conexión abierta.");
            data::ExecuteReconnecting(*Conexion, Cadena_Conexion, sql);
            return true;
        } catch (const rt::RuntimeError& e) {
            lastError = e.description();
            qWarning().noquote() << "statement failed, attempt" << intento << "of" << kIntentosSql
                                 << ":" << e.number() << e.description() << "|" << sql;
        }
    }
    Mensaje =
        kErrorBaseDatos + QChar(13) + QStringLiteral("Se Desconectara del sistema.") + lastError;
    Mostrar_Mensaje();
    rt::EndProgram(1);
}

void Abrir_Tabla(std::unique_ptr<data::ResultSet>& rs, const QString& sql) {
    rs = std::make_unique<data::ResultSet>();  // closed until the query answers
    if (!Conexion) throw data::DbError(data::kConnectionClosed, "No hay conexión abierta.");
    if (std::optional<data::ResultSet> ahead = Lecturas_Adelantadas.Take(sql)) {
        *rs = std::move(*ahead);
        return;
    }
    *rs = data::QueryReconnecting(*Conexion, Cadena_Conexion, sql);
}

Leer_Adelantado::Leer_Adelantado(QStringList sqls) : sqls_(std::move(sqls)) {
    if (Conexion) Lecturas_Adelantadas.Ask(*Conexion, sqls_);
}

Leer_Adelantado::Leer_Adelantado(QStringList sqls, std::vector<data::ResultSet> answers)
    : sqls_(std::move(sqls)) {
    for (size_t i = 0; i < answers.size() && i < static_cast<size_t>(sqls_.size()); ++i)
        Lecturas_Adelantadas.Keep(sqls_.at(static_cast<qsizetype>(i)), std::move(answers[i]));
}

Leer_Adelantado::~Leer_Adelantado() {
    Lecturas_Adelantadas.Forget(sqls_);
}

void Cerrar_Tabla(std::unique_ptr<data::ResultSet>& rs) {
    if (rs && rs->State() == data::ResultSet::kOpen) rs->Close();
}

void Mostrar_Mensaje() {
    dialogs::Current().Message(Mensaje, kTituloSistema, dialogs::Icon::Information);
}

void Avisar_Sin_Conexion(const QString& description) {
    const QChar cr(13);
    Mensaje = kErrorBaseDatos + cr +
              QStringLiteral(
                  "No hay conexión con el servidor; lo que está en pantalla no se ha perdido.") +
              cr + QStringLiteral("Intente de nuevo en un momento.") + cr + description;
    Mostrar_Mensaje();
}

void Codigo_No_Existe() {
    Mensaje = QStringLiteral("       Código No Existente, ") + QChar(13) +
              QStringLiteral(" Por Favor Intente de Nuevo. ");
    dialogs::Current().Message(Mensaje, kTituloCodigo, dialogs::Icon::Information);
}

bool Existe_Archivo(const QString& path) {
    if (path.isEmpty()) return false;
    return QFileInfo::exists(path);
}

}  // namespace Module1
