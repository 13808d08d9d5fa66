#pragma once

// Small helpers shared by the document tests.

#include <QByteArray>
#include <QMap>
#include <QString>

namespace peltavo::test {

// The whole file; a test failure (and an empty result) when it cannot be read.
QByteArray readWholeFile(const QString& path);
// Writes the file, creating its folder; a test failure when that is impossible.
void writeWholeFile(const QString& path, const QByteArray& data);
// The text in the windows-1254 code page.
QByteArray toCp1254(const QString& text);
// Every file that chmlib's extract_chmLib finds in the archive, by path relative to the archive
// root ("index.html", "#SYSTEM", "$WWKeywordLinks/Map"). A test failure when the tool is missing
// or fails.
QMap<QString, QByteArray> extractWithChmlib(const QByteArray& chm);

} // namespace peltavo::test
