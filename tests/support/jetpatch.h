#pragma once

#include <QByteArray>
#include <QString>

namespace peltavo::test {

// The bytes of a Jet 4 file with one column declared as another kind: the type byte of column
// `column` in its table's definition changed from `from` to `to` (0x0c memo, 0x0b OLE object,
// ...), nothing else. Fails the calling test and gives the bytes unchanged when there is no such
// column of that kind.
QByteArray withColumnType(QByteArray bytes, const QString& column, quint8 from, quint8 to);

// The bytes of a file with every 8-byte little-endian double `from` replaced by `to`; how many
// were replaced goes to `count`.
QByteArray withDoubleReplaced(QByteArray bytes, double from, double to, int* count);

// The bytes of a file under tests/fixtures, and a file written with the given bytes; each fails
// the calling test when it cannot.
QByteArray fixtureBytes(const QString& relative);
void writeBytes(const QString& path, const QByteArray& bytes);

// Writes the sample database as `path` with its conversations (konus.ikonus, a memo column)
// declared OLE objects.
void writeSampleWithOleConversations(const QString& path);

} // namespace peltavo::test
