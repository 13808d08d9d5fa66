#pragma once

// The mdbtools command-line programs as a third reader of written files. mdb-export cannot tell
// a zero-length text from a null (it prints both as null), so values read here come back as
// null for either.

#include "tabledata.h"

#include <QString>
#include <QStringList>

namespace peltavo::test {

// User tables as `mdb-tables -1` lists them. Fails the calling test and returns an empty list
// when the program fails.
QStringList cliTableNames(const QString& path);

// Rows of `table` as `mdb-export` prints them, one string per column, null for a null or
// zero-length value. Fails the calling test and returns no rows when the program fails.
std::vector<std::vector<FieldValue>> cliExportRows(const QString& path, const QString& table);

// The format version `mdb-ver` names ("JET4" for an Access 2000 file).
QString cliVersion(const QString& path);

} // namespace peltavo::test
