#pragma once

#include "compacttable.h"
#include "tabledata.h"

#include <QString>
#include <QStringList>

namespace peltavo {

// Reads Jet 3 and Jet 4 database files (Access 97 to 2003) through libmdb. The file is opened
// read-only and never modified.
//
// An empty table is a valid result. A file that cannot be opened, is not a Jet file, or cannot be
// read whole (a truncated or damaged file) throws peltavo::Error; a table is never returned with
// rows silently missing or values silently cut.
class JetReader {
public:
    // The user tables of the file, in catalog order (system tables left out).
    static QStringList tableNames(const QString& path);

    // The whole table `table` (its name matched case-insensitively, as Jet does).
    static TableData readTable(const QString& path, const QString& table);
    // The same table in its compact form, as the program holds it.
    static CompactTable readCompactTable(const QString& path, const QString& table);

    // How many tables this process has read from files so far (a count for diagnostics).
    static quint64 tablesRead();
};

} // namespace peltavo
