#pragma once

#include <QByteArray>
#include <QString>

namespace peltavo {

// How many bytes from the start of a file the header test looks at.
inline constexpr int kHeaderBytes = 19;

// Reads up to kHeaderBytes from the start of the file at `path`, opened read-only. A shorter file
// gives fewer bytes. Throws peltavo::Error "File not found" when there is no such file and
// "File access denied" when it cannot be opened or read.
QByteArray readHeaderBytes(const QString& path);

// The header rule: the bytes with every byte of value 32 or less left out must spell exactly
// "StandardJetDB" (case included). An empty header fails.
bool headerIsJet(const QByteArray& header);

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Persist Security Info=False;
// Jet OLEDB:Database Password=<password>", path and password inserted unchanged.
QString jetConnectionString(const QString& path, const QString& password);

} // namespace peltavo
