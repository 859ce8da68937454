#pragma once
// Program-wide state and the common procedures every screen uses: the one
// database connection, the SQL and message buffers, the values read at
// start-up and the parameters the order screen loads.
#include <QDate>
#include <QString>
#include <memory>

#include "data/column_widths.h"
#include "data/connection.h"
#include "data/error_meaning.h"
#include "data/read_ahead.h"
#include "data/result_set.h"
#include "runtime/variant.h"

namespace Module1 {

inline std::unique_ptr<data::Connection> Conexion;
inline QString Cadena_Sql;
inline QString Mensaje;
inline QDate Fecha_Servidor;  // a null QDate: no value
inline QString Hora_Servidor;
inline QString Servidor;
inline QString Base_Datos;
inline QString Cadena_Conexion;
inline QString Cod_Deposito;
inline QString Carpeta_Datos;
inline QString Impresora;
inline QString Nombre_Empresa;
inline rt::Variant Iva;
inline rt::Variant Iva_Reducido;
inline rt::Variant Iva_Lujo;
inline QString Precio_V;
inline double Dollar = 0;
inline QString Producto_Sel;
// Widths of the installation's text columns that orders are written to,
// learnt at start-up (empty when they could not be read: no limit then).
inline data::ColumnWidths Anchos;

// Titles of the common message boxes.
inline const QString kTituloSistema = QStringLiteral(" Sistema VandrelFW ");
inline const QString kTituloCodigo = QStringLiteral(" Sistema VandrelFW");

// How many times a statement is tried before the program gives up.
using data::kIntentosSql;

// Runs a statement without rows, up to five attempts on the same connection.
// After the fifth failure shows "Error en Base de datos..." with the last
// error and ends the program. A closed connection is opened again with
// Cadena_Conexion first; a lost one raises data::ConnectionLost instead of
// ending the program (the statement is not run again: it may have been applied).
bool Ejecutar_Sql(const QString& sql);

// Replaces `rs` with the result of `sql` on Conexion. A closed connection is
// opened again with Cadena_Conexion first, and a query that loses its
// connection is asked once more on a new one. A failing query raises its
// error to the caller (data::ConnectionLost when the server cannot be
// reached); `rs` then holds a closed result.
void Abrir_Tabla(std::unique_ptr<data::ResultSet>& rs, const QString& sql);

// Queries asked ahead for the reads of the action under way; Abrir_Tabla
// takes an answer from here, once, before it asks the server.
inline data::ReadAhead Lecturas_Adelantadas;

// While it lives, `sqls` are answered from Lecturas_Adelantadas: asked on
// Conexion together (one round trip) when it is made, or given the answers
// got in another round trip. What was not taken is forgotten when it ends,
// so no answer outlives the action that asked for it.
class Leer_Adelantado {
public:
    explicit Leer_Adelantado(QStringList sqls);
    Leer_Adelantado(QStringList sqls, std::vector<data::ResultSet> answers);
    ~Leer_Adelantado();
    Leer_Adelantado(const Leer_Adelantado&) = delete;
    Leer_Adelantado& operator=(const Leer_Adelantado&) = delete;

private:
    QStringList sqls_;
};

// Closes `rs` if it holds an open result; never raises.
void Cerrar_Tabla(std::unique_ptr<data::ResultSet>& rs);

// Shows Mensaje with the information icon and the system title.
void Mostrar_Mensaje();

// Tells the waiter that the server cannot be reached (with the client's
// `description`) and that the screen is kept; the program goes on.
void Avisar_Sin_Conexion(const QString& description);

// Shows the message for a code that does not exist.
void Codigo_No_Existe();

// True when `path` names an existing file or folder.
bool Existe_Archivo(const QString& path);

}  // namespace Module1
