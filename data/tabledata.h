#pragma once

#include "columntype.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace peltavo {

// A field value as the program reads it: text, or no value at all (null). A zero-length text is
// a value; only std::nullopt is null.
using FieldValue = std::optional<QString>;

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    // Text columns: the declared maximum length in characters (Jet allows 1 to 255).
    int maxLength = 255;
};

// A whole table read into memory, rows in the order the file delivers them. Integer values are
// held as their decimal text.
struct TableData {
    QString name;
    std::vector<Column> columns;
    std::vector<std::vector<FieldValue>> rows;

    // Index of the column named `name` (exact, then case-insensitive match), or -1.
    int columnIndex(const QString& name) const;
};

// Index of the column named `name` in `columns` (exact, then case-insensitive match), or -1.
int columnIndexIn(const std::vector<Column>& columns, const QString& name);

} // namespace peltavo
