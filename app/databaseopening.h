#pragma once

#include <QString>

#include <functional>
#include <initializer_list>

class QWidget;

namespace peltavo {

class TableHandle;

namespace platform {
class Platform;
}

// Finding, checking and opening the learning database for one window. Each window that holds
// tables makes one of these with itself as the owner of the dialogs, and supplies what differs
// between windows: the password and the tables it opens.
class DatabaseOpening {
public:
    DatabaseOpening(platform::Platform& platform, QWidget* owner);

    // The whole opening: finds the file, checks its header, and hands path and password to
    // `connectTables`. A cancelled file dialog (or a path of blanks and control characters only)
    // shows "No Database Selected" and a failed header test "Invalid Access Database", both as
    // information boxes; both return normally without calling `connectTables`. Errors of the file
    // routines (a missing or unreadable file) and of `connectTables` pass through to the caller.
    void connectToDatabase(
        const QString& fileName, const QString& password,
        const std::function<void(const QString& path, const QString& password)>& connectTables);

    // The file `fileName` in the program's folder when it exists there; otherwise the path the
    // user picks in a file-open dialog listing only files of that exact name, or an empty string
    // when the user cancels.
    QString databasePath(const QString& fileName);

    // True when the file's first bytes spell the Jet signature; otherwise tells the user
    // "Invalid Access Database" and gives false. Throws peltavo::Error "File not found" or
    // "File access denied" when the file cannot be read.
    bool checkHeader(const QString& path);

private:
    platform::Platform& platform_;
    QWidget* owner_;
};

// One table to open: the component, the database table it reads and, if any, its sort field.
struct TableToOpen {
    TableHandle* table;
    QString tableName;
    QString sortField;
};

// Gives each table the connection string and its table name and opens it, in the order given,
// setting the sort after opening. The first failure throws, leaving the tables before it open and
// it and the ones after it closed. The tables after the first are read on worker threads while
// the ones before them open; no table is seen before its open() has taken its rows.
void openTables(const QString& connectionString, std::initializer_list<TableToOpen> tables);

// The text with leading and trailing characters of code 32 or less removed.
QString trimControlAndBlanks(const QString& text);

} // namespace peltavo
