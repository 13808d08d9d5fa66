#pragma once

#include "tabledata.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace peltavo::test {

// The independent reader: the npm package mdb-reader, run with Node through
// tests/mdbreader/dump.js. Column types are mapped to ColumnType (integer/long -> Integer,
// text -> Text, memo -> Memo, else Other); values come as text, null kept.
// Fails the calling test (GoogleTest ADD_FAILURE) and returns empty data when Node or the
// script fails.
QStringList oracleTableNames(const QString& path);
TableData oracleReadTable(const QString& path, const QString& table);

// A table as mdb-reader reads it, with its own names of the column types ("datetime", "ole",
// "double", ...).
struct OracleTable {
    TableData data;
    QStringList types;
};
// Every table of the file, in one run of the reader.
std::vector<OracleTable> oracleReadAll(const QString& path);

// Whether a value as this program reads it (`ours`) and as mdb-reader reads it (`theirs`) are the
// same value of a column mdb-reader calls `type`: texts and whole numbers alike; dates the same
// instant (to the second, a negative day number read as Access reads it); floating-point numbers
// the same number at their precision; binary values (ours one byte to a character, theirs base64)
// the same bytes; GUIDs the same digits; a byte its code page leaves undefined read as Windows
// reads it (theirs U+FFFD). When not, `why` says how they differ.
bool sameValue(const FieldValue& ours, const FieldValue& theirs, const QString& type,
               QString* why = nullptr);

} // namespace peltavo::test
