#include "docsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace peltavo::test {

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

void writeWholeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

QByteArray toCp1254(const QString& text) {
    QStringEncoder encode("windows-1254");
    return encode(text);
}

QMap<QString, QByteArray> extractWithChmlib(const QByteArray& chm) {
    QMap<QString, QByteArray> files;
    const QString tool = QStringLiteral(PELTAVO_EXTRACT_CHMLIB);
    if (tool.isEmpty()) {
        ADD_FAILURE() << "extract_chmLib is not installed (Debian package libchm-bin)";
        return files;
    }
    QTemporaryDir work;
    const QString archive = work.filePath(QStringLiteral("in.chm"));
    writeWholeFile(archive, chm);
    const QString out = work.filePath(QStringLiteral("out"));
    QProcess process;
    process.start(tool, {archive, out});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        ADD_FAILURE() << "extract_chmLib failed: " << process.readAllStandardError().toStdString();
        return files;
    }
    QDirIterator it(out, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(out).relativeFilePath(path), readWholeFile(path));
    }
    return files;
}

} // namespace peltavo::test
