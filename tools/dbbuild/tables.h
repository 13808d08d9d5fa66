#pragma once

#include "content.h"
#include "tabledata.h"

#include <vector>

// Turning compiled content into the five tables of the learning
// database, and the last check before they are written.
namespace peltavo::dbbuild {

// The five tables in the order they are written: konus, isozluk, tsozluk, sorubos, cevap, with
// the program's field names plus a key column (kno, ino, tno) and the conversation title (konu).
// Conversation texts join their lines with CR LF. Dictionary rows come in the order of their
// headwords (compared as UTF-16 text), the meaning as meaningOf gives it; question rows come in
// ascending number order; answer words beyond a set's last are null.
// The result is the same for the same input: nothing depends on time, locale or hash order.
std::vector<TableData> buildTables(const Content& content);

// Checks what the quiz and the dictionary would trip over before anything is written: a Text
// value longer than its column, an empty headword, a null in a field the program always reads
// (dictionary headwords and meanings, soru, testad, dc1, cev1, cev2). Problems name the table,
// the row (from 1) and the column; an empty result means the tables are fit to be written.
std::vector<Problem> checkTables(const std::vector<TableData>& tables);

} // namespace peltavo::dbbuild
