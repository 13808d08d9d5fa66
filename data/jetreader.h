#pragma once

#include "compacttable.h"
#include "tabledata.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace peltavo {

// Reads Jet 3 and Jet 4 database files (Access 97 to 2003). The file is opened read-only and
// never modified.
//
// libmdb, which knows the format, is not safe on files from strangers, so it never runs in this
// process: each read starts the reader peltavo-jetread (installed beside the program), which opens
// nothing itself, is confined before it looks at the file (seccomp: no network, no new files, no
// programs), and works within limits of memory and time. It writes the table into two memory
// files in the compact form the program holds, which are then sealed and mapped here as they are.
//
// An empty table is a valid result. A file that cannot be opened, is not a Jet file, or cannot be
// read whole (a truncated or damaged file) throws peltavo::Error; so does a reader that crashes,
// runs past its time or memory, or gives a malformed answer, with a message that names the file
// and the table. A table is never returned with rows silently missing or values silently cut.
class JetReader {
public:
    // The user tables of the file, in catalog order (system tables left out).
    static QStringList tableNames(const QString& path);

    // The whole table `table` (its name matched case-insensitively, as Jet does).
    static TableData readTable(const QString& path, const QString& table);
    // The same table in its compact form, as the program holds it.
    static CompactTable readCompactTable(const QString& path, const QString& table);

    // Starts reading `table` of the file at `path` now, in the background, for a read the program
    // is sure to make soon: the next readCompactTable() (or readTable()) of that table of that
    // file, unchanged since, takes the rows or the error from there, at the moment it would have
    // read the file itself. A read of another file, or of the file changed meanwhile, reads anew.
    static void readSoon(const QString& path, const QString& table);

    // How many tables this process has read from files so far (a count for diagnostics).
    static quint64 tablesRead();

    // Which reader runs, and within which limits. Unset, the reader is peltavo-jetread in the
    // running program's folder, and the limits grow with the file: 30 s and 2 GiB for the
    // smallest, more for a large file (limitsFor()).
    struct Settings {
        QString program;
        std::optional<std::chrono::milliseconds> timeLimit;
        std::optional<quint64> memoryLimit; // bytes
    };
    // For the whole process; tests use it to run a stand-in reader or to lower the limits.
    static void setSettings(const Settings& settings);
    static Settings settings();

    struct Limits {
        std::chrono::milliseconds time;
        quint64 memory;
    };
    static Limits limitsFor(quint64 fileBytes);
};

} // namespace peltavo
