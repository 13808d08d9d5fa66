#pragma once

#include "tabledata.h"

#include <QStringView>

#include <cstdint>
#include <vector>

namespace peltavo {

// A whole table held in a compact form: the text of all its cells in one UTF-16 arena, each cell
// an end offset into it (the cell before it ends where it starts). Rows are added whole, in table
// order, and never change afterwards, so one table can be shared by readers without locks.
class CompactTable {
public:
    QString name;
    std::vector<Column> columns;

    CompactTable() = default;
    // Takes over the rows of `data` (its rows are released on the way).
    explicit CompactTable(TableData data);
    // The rows as plain values again, for code that needs a TableData.
    TableData toTableData() const;

    // Makes room for `rows` rows and `textUnits` UTF-16 units. The room is only address space until
    // text arrives in it, so an upper bound is cheap.
    void reserve(std::size_t rows, std::size_t textUnits);
    // Appends one row; it must hold one value per column.
    void appendRow(const std::vector<FieldValue>& row);

    std::size_t rowCount() const { return rowCount_; }
    bool isNull(std::size_t row, std::size_t column) const {
        return (cells_[row * columns.size() + column] & kNull) != 0;
    }
    // A cell's text; empty for null (see isNull).
    QStringView text(std::size_t row, std::size_t column) const {
        const std::size_t cell = row * columns.size() + column;
        const std::uint64_t begin = cell == 0 ? 0 : cells_[cell - 1] & ~kNull;
        const std::uint64_t end = cells_[cell] & ~kNull;
        return QStringView(arena_.data() + begin, static_cast<qsizetype>(end - begin));
    }
    FieldValue value(std::size_t row, std::size_t column) const;
    int columnIndex(const QString& field) const { return columnIndexIn(columns, field); }
    // UTF-16 units of text held.
    std::size_t textUnits() const { return arena_.size(); }

private:
    static constexpr std::uint64_t kNull = std::uint64_t(1) << 63;

    std::vector<char16_t> arena_;
    std::vector<std::uint64_t> cells_; // row by row: end of the cell's text, kNull when null
    std::size_t rowCount_ = 0;
};

} // namespace peltavo
