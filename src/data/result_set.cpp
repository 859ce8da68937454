#include "data/result_set.h"

#include "data/db_error.h"

namespace data {

ResultSet::ResultSet(QStringList columns, std::vector<std::vector<rt::Variant>> rows)
    : open_(true), columns_(std::move(columns)), rows_(std::move(rows)) {}

void ResultSet::Close() {
    open_ = false;
    rows_.clear();
    columns_.clear();
    current_ = 0;
}

void ResultSet::MoveNext() {
    if (current_ == npos)
        current_ = 0;
    else if (current_ < rows_.size())
        ++current_;
}

void ResultSet::MovePrevious() {
    if (current_ == 0 || current_ == npos)
        current_ = npos;
    else
        --current_;
}

int ResultSet::ColumnIndex(const QString& name) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void ResultSet::RequireRow() const {
    if (!open_)
        throw DbError(kConnectionClosed,
                      "No se permite la operación cuando el objeto está cerrado.");
    if (current_ >= rows_.size())
        throw DbError(3021,
                      "El valor de BOF o EOF es True, o el actual registro se eliminó; la "
                      "operación solicitada requiere un registro actual.");
}

const rt::Variant& ResultSet::Field(const QString& name) const {
    RequireRow();
    const int column = ColumnIndex(name);
    if (column < 0)
        throw DbError(kNoSuchField,
                      "No se encontró el elemento en la colección que corresponde con el "
                      "nombre o el ordinal pedido: " +
                          name);
    return Field(column);
}

const rt::Variant& ResultSet::Field(int column) const {
    RequireRow();
    if (column < 0 || column >= columns_.size())
        throw DbError(kNoSuchField,
                      "No se encontró el elemento en la colección que corresponde con el "
                      "nombre o el ordinal pedido.");
    return rows_[current_][static_cast<size_t>(column)];
}

}  // namespace data
