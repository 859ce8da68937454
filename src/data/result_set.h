#pragma once
// A read-only result of a query, fetched whole when the query runs: the row
// count is known at once and the rows can be visited in any order until the
// result is closed. Fields are found by column name, without regard to case.
#include <QString>
#include <QStringList>
#include <vector>

#include "runtime/variant.h"

namespace data {

class ResultSet {
public:
    enum State { kClosed = 0, kOpen = 1 };

    ResultSet() = default;  // a closed result
    ResultSet(QStringList columns, std::vector<std::vector<rt::Variant>> rows);

    int State() const { return open_ ? kOpen : kClosed; }
    void Close();

    int RecordCount() const { return static_cast<int>(rows_.size()); }
    bool IsEof() const { return !open_ || current_ >= rows_.size(); }
    bool IsBof() const { return !open_ || rows_.empty() || current_ == npos; }
    void MoveFirst() { current_ = 0; }
    void MoveNext();
    void MovePrevious();
    void MoveLast() { current_ = rows_.empty() ? 0 : rows_.size() - 1; }

    const QStringList& Columns() const { return columns_; }
    bool HasField(const QString& name) const { return ColumnIndex(name) >= 0; }
    // The value of column `name` in the current row. Raises DbError when the
    // result is closed, has no current row, or has no such column.
    const rt::Variant& Field(const QString& name) const;
    const rt::Variant& Field(int column) const;

private:
    static constexpr size_t npos = static_cast<size_t>(-1);
    int ColumnIndex(const QString& name) const;
    void RequireRow() const;

    bool open_ = false;
    QStringList columns_;
    std::vector<std::vector<rt::Variant>> rows_;
    size_t current_ = 0;
};

}  // namespace data
