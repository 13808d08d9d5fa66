#pragma once

#include "tabledata.h"

#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace peltavo {

// A whole table held in a compact form: the text of all its cells in one UTF-16 arena, each cell
// an end offset into it (the cell before it ends where it starts). Rows are added whole, in table
// order, and never change afterwards, so one table can be shared by readers without locks.
//
// The text and the cells are either the table's own (built here, row by row) or memory that
// someone else filled and `storage` keeps (the reader process's, mapped read-only), used in place.
class CompactTable {
public:
    QString name;
    std::vector<Column> columns;

    CompactTable() = default;
    // Takes over the rows of `data` (its rows are released on the way).
    explicit CompactTable(TableData data);
    // A table over text and cells in this form that `storage` keeps alive (they must not change
    // while it lives): `units` UTF-16 units of text and rows x columns cells, each cell the end of
    // its text with the top bit set for null. Nothing is copied. The caller has checked that the
    // ends never go back and stay within the text (see cellsAreSound()).
    CompactTable(QString name, std::vector<Column> columns, std::shared_ptr<const void> storage,
                 const char16_t* text, std::size_t units, const std::uint64_t* cells,
                 std::size_t rows);

    // Whether `count` cells of this form describe text of `units` units: each end at or past the
    // one before it and within the text, a null cell without text.
    static bool cellsAreSound(const std::uint64_t* cells, std::size_t count, std::size_t units);
    // The rows as plain values again, for code that needs a TableData.
    TableData toTableData() const;

    // Makes room for `rows` rows and `textUnits` UTF-16 units. The room is only address space until
    // text arrives in it, so an upper bound is cheap.
    void reserve(std::size_t rows, std::size_t textUnits);
    // Appends one row; it must hold one value per column.
    void appendRow(const std::vector<FieldValue>& row);

    std::size_t rowCount() const { return rowCount_; }
    bool isNull(std::size_t row, std::size_t column) const {
        return (cells()[row * columns.size() + column] & kNull) != 0;
    }
    // A cell's text; empty for null (see isNull).
    QStringView text(std::size_t row, std::size_t column) const {
        const std::uint64_t* cell = cells() + row * columns.size() + column;
        const std::uint64_t begin = cell == cells() ? 0 : cell[-1] & ~kNull;
        const std::uint64_t end = *cell & ~kNull;
        return QStringView(arena() + begin, static_cast<qsizetype>(end - begin));
    }
    FieldValue value(std::size_t row, std::size_t column) const;
    int columnIndex(const QString& field) const { return columnIndexIn(columns, field); }
    // UTF-16 units of text held.
    std::size_t textUnits() const { return storage_ ? sharedUnits_ : arena_.size(); }

private:
    static constexpr std::uint64_t kNull = std::uint64_t(1) << 63;

    const char16_t* arena() const { return storage_ ? sharedText_ : arena_.data(); }
    const std::uint64_t* cells() const { return storage_ ? sharedCells_ : cells_.data(); }

    std::vector<char16_t> arena_;
    std::vector<std::uint64_t> cells_; // row by row: end of the cell's text, kNull when null
    std::size_t rowCount_ = 0;
    // Text and cells kept by someone else (empty when the table holds its own).
    std::shared_ptr<const void> storage_;
    const char16_t* sharedText_ = nullptr;
    std::size_t sharedUnits_ = 0;
    const std::uint64_t* sharedCells_ = nullptr;
};

} // namespace peltavo
