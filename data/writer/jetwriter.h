#pragma once

#include "tabledata.h"

#include <QString>

namespace peltavo {

// Writes a new Access 2000 (Jet 4) database file holding the given tables, with Long Integer,
// Text and Memo columns (ColumnType::Integer, Text, Memo; Other is refused). Rows are written in
// the order given. Null values stay null; zero-length texts stay zero-length.
//
// The output is deterministic: the same tables give a byte-identical file.
// Throws peltavo::Error with a clear message when a table cannot be written (a text longer than
// its column allows, a value in an Integer column that is not a 32-bit number, a duplicate or
// invalid name, the file cannot be created). The file is written to a temporary name next to
// `path` and renamed into place, so a failure never leaves a half-written database behind.
void writeJet4Database(const QString& path, const std::vector<TableData>& tables);

} // namespace peltavo
