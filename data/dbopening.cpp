#include "dbopening.h"

#include "error.h"

#include <QFile>
#include <QFileInfo>

namespace peltavo {

QByteArray readHeaderBytes(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("File not found"));
    QFile file(path);
    // Read-only: a database on a read-only mount or without write permission still opens.
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("File access denied"));
    QByteArray header = file.read(kHeaderBytes);
    if (header.isNull() && file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("File access denied"));
    return header;
}

bool headerIsJet(const QByteArray& header) {
    QByteArray printable;
    for (char c : header) {
        if (static_cast<unsigned char>(c) > 32)
            printable.append(c);
    }
    return printable == "StandardJetDB";
}

QString jetConnectionString(const QString& path, const QString& password) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
           QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=") + password;
}

} // namespace peltavo
