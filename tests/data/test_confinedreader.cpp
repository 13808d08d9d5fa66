// The Jet reader runs in a process of its own. A reader that crashes, hangs, eats memory or
// answers nonsense ends in a clear error naming the file and the table; the table stays closed,
// the program goes on (the next read works), and the file is never changed. A table that does
// arrive comes whole, in memory that nothing can change any more.
#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

using namespace peltavo;
using namespace std::chrono_literals;

namespace {

QByteArray digest(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The stand-in reader, built beside this test program.
QString standIn() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
           QStringLiteral("/standin_reader");
}

struct Misbehaviour {
    const char* name; // what the stand-in does (see standin_reader.cpp)
    std::chrono::milliseconds time;
    quint64 memory;
    const char* message; // after "The database '<path>' cannot be read whole: "
};

class MisbehavingReader : public ::testing::TestWithParam<Misbehaviour> {};

TEST_P(MisbehavingReader, EndsInAClearErrorAndTheProgramGoesOn) {
    const Misbehaviour& m = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("peltavo.MDB"));
    ASSERT_TRUE(QFile::copy(test::fixture(QStringLiteral("peltavo-sample.mdb")), path));
    const QByteArray before = digest(path);
    const QString reader = dir.filePath(QString::fromLatin1(m.name));
    ASSERT_TRUE(QFile::link(standIn(), reader)) << standIn().toStdString();

    JetReader::setSettings({reader, m.time, m.memory});
    auto restore = qScopeGuard([] { JetReader::setSettings({}); });
    TableHandle table(QStringLiteral("Table"));
    table.setConnectionString(jetConnectionString(path, QStringLiteral("947")));
    table.setTableName(QStringLiteral("konus"));
    try {
        table.open();
        ADD_FAILURE() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("The database '%1' cannot be read whole: reading table 'konus' ")
                          .arg(path) +
                      QString::fromUtf8(m.message));
    }
    EXPECT_FALSE(table.isOpen());
    EXPECT_THROW(table.next(), Error);

    // The same table, read ahead on a worker thread, fails the same way at its open().
    TableHandle ahead(QStringLiteral("Tablei"));
    ahead.readAhead(table.connectionString(), QStringLiteral("konus"));
    ahead.setConnectionString(table.connectionString());
    ahead.setTableName(QStringLiteral("konus"));
    EXPECT_THROW(ahead.open(), Error);
    EXPECT_FALSE(ahead.isOpen());

    // The program goes on: with the real reader the same handle opens, whole.
    restore.dismiss();
    JetReader::setSettings({});
    table.open();
    EXPECT_EQ(table.recordCount(), 6);
    EXPECT_TRUE(table.fieldAsString(QStringLiteral("ikonus")).startsWith(u"Good morning, Ali."));
    EXPECT_EQ(digest(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    StandIns, MisbehavingReader,
    ::testing::Values(
        Misbehaviour{"crash", 30s, 1ull << 30, "stopped with a fault (Segmentation fault)"},
        Misbehaviour{"hang", 1s, 1ull << 30, "took longer than 1 second"},
        Misbehaviour{"spin", 2s, 1ull << 30, "took longer than 2 seconds"},
        Misbehaviour{"eat", 60s, 64ull << 20, "needed more than 64 MiB of memory"},
        Misbehaviour{"silent", 30s, 1ull << 30, "ended without an answer (exit code 3)"},
        Misbehaviour{"garbled", 30s, 1ull << 30, "gave an answer that makes no sense"},
        Misbehaviour{"overclaim", 30s, 1ull << 30, "gave an answer that makes no sense"},
        Misbehaviour{"backwards", 30s, 1ull << 30, "gave an answer that makes no sense"},
        Misbehaviour{"remap", 30s, 1ull << 30, "gave an answer that makes no sense"}),
    [](const auto& info) { return std::string(info.param.name); });

// A table read before it is asked for: the read that asks takes it, rows or error, when the file
// is the same; from a file changed meanwhile it reads anew.
TEST(ConfinedReader, AReadBegunSoonerIsTakenOnlyForTheSameFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("peltavo.MDB"));
    const QString sample = test::fixture(QStringLiteral("peltavo-sample.mdb"));
    ASSERT_TRUE(QFile::copy(sample, path));

    quint64 before = JetReader::tablesRead();
    JetReader::readSoon(path, QStringLiteral("konus"));
    JetReader::readSoon(path, QStringLiteral("konus")); // once is enough
    EXPECT_EQ(JetReader::readTable(path, QStringLiteral("konus")).rows.size(), 6u);
    EXPECT_EQ(JetReader::tablesRead() - before, 1u);

    // The file replaced meanwhile by a damaged copy: the error of reading it now.
    before = JetReader::tablesRead();
    JetReader::readSoon(path, QStringLiteral("konus"));
    QFile original(sample);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray whole = original.readAll();
    ASSERT_TRUE(QFile::remove(path));
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(whole.size() - 100));
    cut.close();
    EXPECT_THROW(JetReader::readTable(path, QStringLiteral("konus")), Error);
    EXPECT_EQ(JetReader::tablesRead() - before, 2u) << "read anew";

    // An error read sooner reaches the read that asks.
    JetReader::readSoon(path, QStringLiteral("isozluk"));
    try {
        (void)JetReader::readTable(path, QStringLiteral("isozluk"));
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("The database '%1' cannot be read whole: the file "
                                              "ends part way through a page")
                                   .arg(path));
    }
}

TEST(ConfinedReader, AMissingReaderIsAClearError) {
    JetReader::setSettings({QStringLiteral("/nonexistent/peltavo-jetread"), {}, {}});
    auto restore = qScopeGuard([] { JetReader::setSettings({}); });
    const QString path = test::fixture(QStringLiteral("peltavo-sample.mdb"));
    try {
        (void)JetReader::tableNames(path);
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("The database '%1' cannot be read: its reader "
                                 "/nonexistent/peltavo-jetread cannot be started (No such file or "
                                 "directory)")
                      .arg(path));
    }
}

} // namespace
