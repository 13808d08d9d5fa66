#include "databaseopening.h"

#include "dbopening.h"
#include "platform.h"
#include "tablehandle.h"

#include <QFileInfo>

namespace peltavo {

DatabaseOpening::DatabaseOpening(platform::Platform& platform, QWidget* owner)
    : platform_(platform), owner_(owner) {}

void DatabaseOpening::connectToDatabase(
    const QString& fileName, const QString& password,
    const std::function<void(const QString& path, const QString& password)>& connectTables) {
    const QString path = databasePath(fileName);
    if (trimControlAndBlanks(path).isEmpty()) {
        platform_.dialogs().showMessage(owner_,
                                        platform::informationMessage("No Database Selected"));
        return;
    }
    if (checkHeader(path))
        connectTables(path, password);
}

QString DatabaseOpening::databasePath(const QString& fileName) {
    const QString candidate = platform_.programFolder() + u'/' + fileName;
    const QFileInfo info(candidate);
    if (info.exists() && !info.isDir())
        return candidate;
    return platform_.dialogs().openFileName(owner_, QStringLiteral("MS Access DB (") + fileName +
                                                        QStringLiteral(")"));
}

bool DatabaseOpening::checkHeader(const QString& path) {
    if (headerIsJet(readHeaderBytes(path)))
        return true;
    platform_.dialogs().showMessage(owner_,
                                    platform::informationMessage("Invalid Access Database"));
    return false;
}

void openTables(const QString& connectionString, std::initializer_list<TableToOpen> tables) {
    // The tables after the first are read (and sorted) on worker threads meanwhile; each open()
    // below takes its rows (or its error) in turn, so the tables open and fail in the order given.
    for (auto t = tables.begin(); t != tables.end(); ++t) {
        if (t != tables.begin())
            t->table->readAhead(connectionString, t->tableName, t->sortField);
    }
    for (const TableToOpen& t : tables) {
        t.table->setConnectionString(connectionString);
        t.table->setTableName(t.tableName);
        t.table->open();
        if (!t.sortField.isEmpty())
            t.table->setSort(t.sortField);
    }
}

QString trimControlAndBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace peltavo
