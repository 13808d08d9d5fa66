#include "compacttable.h"

#include <algorithm>

namespace peltavo {

CompactTable::CompactTable(TableData data)
    : name(std::move(data.name)), columns(std::move(data.columns)) {
    std::size_t units = 0;
    for (const auto& row : data.rows) {
        for (const FieldValue& v : row)
            units += v ? static_cast<std::size_t>(v->size()) : 0;
    }
    reserve(data.rows.size(), units);
    for (auto& row : data.rows) {
        appendRow(row);
        std::vector<FieldValue>().swap(row);
    }
}

CompactTable::CompactTable(QString name, std::vector<Column> columns,
                           std::shared_ptr<const void> storage, const char16_t* text,
                           std::size_t units, const std::uint64_t* cells, std::size_t rows)
    : name(std::move(name)), columns(std::move(columns)), rowCount_(rows),
      storage_(std::move(storage)), sharedText_(text), sharedUnits_(units), sharedCells_(cells) {
    if (!storage_) { // nothing to keep: hold a copy
        arena_.assign(text, text + units);
        cells_.assign(cells, cells + rows * this->columns.size());
    }
}

bool CompactTable::cellsAreSound(const std::uint64_t* cells, std::size_t count, std::size_t units) {
    std::uint64_t before = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t end = cells[i] & ~kNull;
        if (end < before || end > units || ((cells[i] & kNull) && end != before))
            return false;
        before = end;
    }
    return true;
}

TableData CompactTable::toTableData() const {
    TableData data{name, columns, {}};
    data.rows.reserve(rowCount_);
    for (std::size_t r = 0; r < rowCount_; ++r) {
        std::vector<FieldValue> row;
        row.reserve(columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c)
            row.push_back(value(r, c));
        data.rows.push_back(std::move(row));
    }
    return data;
}

void CompactTable::reserve(std::size_t rows, std::size_t textUnits) {
    cells_.reserve(rows * columns.size());
    arena_.reserve(textUnits);
}

void CompactTable::appendRow(const std::vector<FieldValue>& row) {
    if (storage_) { // rows added to a table kept elsewhere make it one of its own
        arena_.assign(sharedText_, sharedText_ + sharedUnits_);
        cells_.assign(sharedCells_, sharedCells_ + rowCount_ * columns.size());
        storage_.reset();
    }
    static const FieldValue none;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const FieldValue& v = c < row.size() ? row[c] : none;
        if (v)
            arena_.insert(arena_.end(), v->utf16(), v->utf16() + v->size());
        cells_.push_back(static_cast<std::uint64_t>(arena_.size()) | (v ? 0 : kNull));
    }
    ++rowCount_;
}

FieldValue CompactTable::value(std::size_t row, std::size_t column) const {
    if (isNull(row, column))
        return std::nullopt;
    return text(row, column).toString();
}

} // namespace peltavo
