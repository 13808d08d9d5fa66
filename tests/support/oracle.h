#pragma once

#include "tabledata.h"

#include <QString>
#include <QStringList>

namespace peltavo::test {

// The independent reader: the npm package mdb-reader, run with Node through
// tests/mdbreader/dump.js. Column types are mapped to ColumnType (integer/long -> Integer,
// text -> Text, memo -> Memo, else Other); values come as text, null kept.
// Fails the calling test (GoogleTest ADD_FAILURE) and returns empty data when Node or the
// script fails.
QStringList oracleTableNames(const QString& path);
TableData oracleReadTable(const QString& path, const QString& table);

} // namespace peltavo::test
