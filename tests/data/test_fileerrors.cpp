// Files that are not learning databases, or not whole ones: clear errors, never partial tables.
#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using namespace peltavo;

namespace {

QString samplePath() {
    return test::fixture(QStringLiteral("peltavo-sample.mdb"));
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QByteArray sampleBytes() {
    QFile f(samplePath());
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

struct HeaderCase {
    const char* name;
    QByteArray bytes;
    bool jet;
};

class HeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTest, SignatureRule) {
    QTemporaryDir dir;
    const QString path = write(dir, QStringLiteral("f.mdb"), GetParam().bytes);
    EXPECT_EQ(headerIsJet(readHeaderBytes(path)), GetParam().jet);
}

const QByteArray jet = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20);

INSTANTIATE_TEST_SUITE_P(
    Files, HeaderTest,
    ::testing::Values(
        HeaderCase{"signatureOnly", jet.left(19), true},
        HeaderCase{"blanksAndControlsAnywhere",
                   QByteArray("\t\nStandard\x01Jet\x1f"
                              "DB\x20\x20\x20",
                              19),
                   true},
        HeaderCase{"empty", QByteArray(), false}, HeaderCase{"tenBytes", jet.left(10), false},
        HeaderCase{"otherCase", QByteArray("\x00\x01\x00\x00Standard JET DB", 19), false},
        HeaderCase{"ace", QByteArray("\x00\x01\x00\x00Standard ACE DB", 19), false},
        HeaderCase{"onlyNineteenBytesCount", QByteArray("\x00\x01\x00\x00Standard Jet DBX", 20),
                   true},
        HeaderCase{"cutShort", QByteArray("\x00\x01\x00\x00Standard Jet D", 18), false},
        HeaderCase{"otherLetter", QByteArray("\x00\x01\x00\x00Standard Jet DC", 19), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderFile, SampleDatabasePasses) {
    EXPECT_TRUE(headerIsJet(readHeaderBytes(samplePath())));
}

TEST(HeaderFile, AccessTwoThousandSevenIsRefused) {
    EXPECT_FALSE(
        headerIsJet(readHeaderBytes(test::fixture(QStringLiteral("access/testV2007.accdb")))));
}

TEST(HeaderFile, MissingFolderAndReadOnlyFiles) {
    QTemporaryDir dir;
    try {
        (void)readHeaderBytes(dir.filePath(QStringLiteral("none.MDB")));
        ADD_FAILURE() << "no error for a missing file";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("File not found"));
    }
    try {
        (void)readHeaderBytes(dir.path());
        ADD_FAILURE() << "no error for a folder";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("File access denied"));
    }
    // A database without write permission opens: nothing asks for write access.
    const QString path = dir.filePath(QStringLiteral("ro.MDB"));
    ASSERT_TRUE(QFile::copy(samplePath(), path));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_TRUE(headerIsJet(readHeaderBytes(path)));
    EXPECT_EQ(JetReader::readTable(path, QStringLiteral("konus")).rows.size(), 6u);
}

TEST(DamagedDatabase, TruncatedCopiesGiveAClearErrorAndNoPartialTable) {
    const QByteArray whole = sampleBytes();
    QTemporaryDir dir;
    // Cut at page boundaries and in the middle of pages, from the first pages to the last.
    for (qsizetype size : {qsizetype(4096 * 2), qsizetype(4096 * 5 + 100), whole.size() / 2,
                           whole.size() - 4096, whole.size() - 1}) {
        SCOPED_TRACE(size);
        const QString path = write(dir, QStringLiteral("cut%1.mdb").arg(size), whole.left(size));
        ASSERT_TRUE(headerIsJet(readHeaderBytes(path)));
        bool anyFailed = false;
        for (const char* name : {"konus", "isozluk", "tsozluk", "sorubos", "cevap"}) {
            TableHandle table(QStringLiteral("Table"));
            table.setConnectionString(jetConnectionString(path, QString()));
            table.setTableName(QString::fromLatin1(name));
            try {
                table.open();
            } catch (const Error& e) {
                anyFailed = true;
                EXPECT_FALSE(table.isOpen());
                EXPECT_FALSE(e.message().isEmpty());
                continue;
            }
            // A table that does open must be the whole table.
            const TableData original =
                JetReader::readTable(samplePath(), QString::fromLatin1(name));
            ASSERT_EQ(table.recordCount(), static_cast<int>(original.rows.size())) << name;
            for (int r = 0; r < table.recordCount(); ++r) {
                for (const Column& c : original.columns)
                    ASSERT_EQ(table.valueAt(r, c.name),
                              original.rows[static_cast<size_t>(r)]
                                           [static_cast<size_t>(original.columnIndex(c.name))]);
            }
        }
        EXPECT_TRUE(anyFailed) << "a cut file read as if whole";
    }
}

// A catalog property block that gives one property twice: libmdb would keep one value and lose
// the other's memory, so the file is refused as damaged before the catalog is read.
TEST(DamagedDatabase, APropertyGivenTwiceInOneBlock) {
    QByteArray bytes = sampleBytes();
    auto int16 = [&](qsizetype at) {
        return int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8;
    };
    // The first block of values with two records: its second record is made to name the
    // property of its first.
    bool patched = false;
    for (qsizetype block = bytes.indexOf(QByteArray("MR2\0", 4)); block >= 0 && !patched;
         block = bytes.indexOf(QByteArray("MR2\0", 4), block + 4)) {
        for (qsizetype chunk = block + 4; chunk + 6 <= bytes.size() && !patched;) {
            const int length = int16(chunk); // of a 32-bit field; blocks here are small
            const int type = int16(chunk + 4);
            if (length < 6 || (type > 2 && type != 0x80))
                break;
            const qsizetype first = chunk + 6 + 6 + int16(chunk + 6 + 4);
            const qsizetype second = first + int16(first);
            if (type <= 2 && int16(first) >= 8 && second + 8 <= chunk + length) {
                bytes[second + 4] = bytes[first + 4];
                bytes[second + 5] = bytes[first + 5];
                patched = true;
            }
            chunk += length;
        }
    }
    ASSERT_TRUE(patched) << "no block of two properties in the sample";
    QTemporaryDir dir;
    const QString path = write(dir, QStringLiteral("twice.mdb"), bytes);
    try {
        (void)JetReader::tableNames(path);
        ADD_FAILURE() << "read as sound";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains(u"the properties of an object in its catalog are damaged"))
            << e.message().toStdString();
    }
}

// A long value whose header claims 1 GiB, in a file of a few: refused as damage before anything is
// reserved for it (with room for a 1 GiB value the reader would run out of the little memory it
// is given here, and say that instead).
TEST(DamagedDatabase, AMemoClaimingMoreThanTheFileIsRefusedBeforeAnythingIsReserved) {
    QByteArray bytes = sampleBytes();
    // The header of the longest conversation's English text: its length in bytes, chained over
    // several pages (no flag bits).
    const QByteArray header("\x96\x6b\x02\x00", 4); // 158614
    ASSERT_EQ(bytes.count(header), 1);
    bytes.replace(header, QByteArray("\xff\xff\xff\x3f", 4));
    QTemporaryDir dir;
    const QString path = write(dir, QStringLiteral("peltavo.MDB"), bytes);
    JetReader::setSettings({{}, {}, 256ull << 20});
    const auto restore = qScopeGuard([] { JetReader::setSettings({}); });
    try {
        (void)JetReader::readTable(path, QStringLiteral("konus"));
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("The database '%1' cannot be read whole: a memo value "
                                 "is longer than the whole file")
                      .arg(path));
    }
    EXPECT_EQ(JetReader::readTable(path, QStringLiteral("isozluk")).rows.size(),
              JetReader::readTable(samplePath(), QStringLiteral("isozluk")).rows.size());
}

TEST(DamagedDatabase, NotADatabaseAndNoSuchTable) {
    QTemporaryDir dir;
    const QString junk = write(dir, QStringLiteral("junk.mdb"), QByteArray(8192, 'x'));
    EXPECT_THROW(JetReader::tableNames(junk), Error);
    EXPECT_THROW(
        JetReader::readTable(dir.filePath(QStringLiteral("none.mdb")), QStringLiteral("konus")),
        Error);
    try {
        (void)JetReader::readTable(samplePath(), QStringLiteral("nosuch"));
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains(u"nosuch"));
    }
}

TEST(ReadOnlyAccess, ReadingNeverChangesTheFile) {
    auto digest = [] {
        QFile f(samplePath());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray before = digest();
    for (const QString& name : JetReader::tableNames(samplePath()))
        (void)JetReader::readTable(samplePath(), name);
    EXPECT_EQ(digest(), before);
}

} // namespace
