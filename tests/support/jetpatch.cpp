#include "jetpatch.h"

#include "testpaths.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

namespace peltavo::test {

namespace {

int int16At(const QByteArray& b, qsizetype at) {
    return int(quint8(b[at])) | int(quint8(b[at + 1])) << 8;
}

} // namespace

QByteArray withColumnType(QByteArray bytes, const QString& column, quint8 from, quint8 to) {
    constexpr qsizetype kPage = 4096;
    // A table definition page: type 2, the number of columns at 45, of index entries at 51, a
    // 63-byte header, 12 bytes per index entry, 25 per column, then the names (16-bit length,
    // UTF-16LE).
    for (qsizetype page = 0; page + kPage <= bytes.size(); page += kPage) {
        if (bytes[page] != 2)
            continue;
        const int columns = int16At(bytes, page + 45);
        const int indexes = int16At(bytes, page + 51);
        const qsizetype entries = page + 63 + 12 * indexes;
        qsizetype name = entries + 25 * columns;
        for (int c = 0; c < columns && name + 2 <= page + kPage; ++c) {
            const int length = int16At(bytes, name);
            const QString text = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(bytes.constData() + name + 2), length / 2);
            if (text == column && quint8(bytes[entries + 25 * c]) == from) {
                bytes[entries + 25 * c] = char(to);
                return bytes;
            }
            name += 2 + length;
        }
    }
    ADD_FAILURE() << "no column " << column.toStdString() << " of type " << int(from);
    return bytes;
}

QByteArray withDoubleReplaced(QByteArray bytes, double from, double to, int* count) {
    char a[8];
    char b[8];
    std::memcpy(a, &from, 8);
    std::memcpy(b, &to, 8);
    *count = 0;
    for (qsizetype at = bytes.indexOf(QByteArray(a, 8)); at >= 0;
         at = bytes.indexOf(QByteArray(a, 8), at + 8)) {
        std::memcpy(bytes.data() + at, b, 8);
        ++*count;
    }
    return bytes;
}

QByteArray fixtureBytes(const QString& relative) {
    QFile file(fixture(relative));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    EXPECT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

void writeSampleWithOleConversations(const QString& path) {
    writeBytes(path, withColumnType(fixtureBytes(QStringLiteral("peltavo-sample.mdb")),
                                    QStringLiteral("ikonus"), 0x0c, 0x0b));
}

} // namespace peltavo::test
