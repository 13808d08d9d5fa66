// Reading a table ahead on a worker thread: open() takes exactly what reading the file at that
// moment would give, rows or error, and stderr is watched and given back whole.
#include "dbopening.h"
#include "error.h"
#include "jetreader.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace peltavo;

namespace {

QString samplePath() {
    return test::fixture(QStringLiteral("peltavo-sample.mdb"));
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void replace(const QString& path, const QByteArray& bytes) {
    // A new file in the old one's place: another inode, as a copy over it gives.
    QFile::remove(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Every row and field of `table` (open, unsorted) against a read of `path` now.
void expectRowsOfFile(const TableHandle& table, const QString& path, const QString& name) {
    const TableData file = JetReader::readTable(path, name);
    ASSERT_EQ(table.recordCount(), int(file.rows.size())) << name.toStdString();
    for (int r = 0; r < table.recordCount(); ++r)
        for (const Column& c : file.columns)
            ASSERT_EQ(table.valueAt(r, c.name),
                      file.rows[std::size_t(r)][std::size_t(file.columnIndex(c.name))]);
}

TEST(ReadAhead, OpenGivesWhatReadingTheFileThenGives) {
    const QByteArray whole = bytesOf(samplePath());
    const QByteArray cut = whole.left(whole.size() - 1);
    const struct {
        const char* name;
        QByteArray before;                               // the file when the read begins
        std::function<void(const QString& path)> change; // between the read and open()
        const char* aheadTable;
        const char* openTable;
        bool fails;
    } cases[] = {
        {"unchanged", whole, [](const QString&) {}, "isozluk", "isozluk", false},
        {"unchangedDamaged", cut, [](const QString&) {}, "isozluk", "isozluk", true},
        {"repairedMeanwhile", cut, [&](const QString& p) { replace(p, whole); }, "konus", "konus",
         false},
        {"damagedMeanwhile", whole, [&](const QString& p) { replace(p, cut); }, "konus", "konus",
         true},
        {"otherTableAsked", whole, [](const QString&) {}, "isozluk", "tsozluk", false},
        {"noSuchTableAhead", whole, [](const QString&) {}, "nosuch", "konus", false},
        {"noSuchTable", whole, [](const QString&) {}, "nosuch", "nosuch", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("peltavo.MDB"));
        replace(path, c.before);
        TableHandle table(QStringLiteral("Tablei"));
        const QString connection = jetConnectionString(path, QStringLiteral("947"));
        table.readAhead(connection, QString::fromLatin1(c.aheadTable));
        c.change(path);
        table.setConnectionString(connection);
        table.setTableName(QString::fromLatin1(c.openTable));
        if (c.fails) {
            QString expected;
            try {
                (void)JetReader::readTable(path, QString::fromLatin1(c.openTable));
            } catch (const Error& e) {
                expected = e.message();
            }
            try {
                table.open();
                ADD_FAILURE() << "opened";
            } catch (const Error& e) {
                EXPECT_EQ(e.message(), expected);
            }
            EXPECT_FALSE(table.isOpen());
            continue;
        }
        table.open();
        expectRowsOfFile(table, path, QString::fromLatin1(c.openTable));
    }
}

// A sort made on the read's worker is the order setSort() makes on the rows itself, for text,
// memo and number fields; a sort field the table lacks fails as it does without the read ahead.
TEST(ReadAhead, ASortMadeAheadIsTheOrderSetSortMakes) {
    const struct {
        const char* table;
        const char* field;
    } cases[] = {{"isozluk", "ikelime"}, {"tsozluk", "tkelime"}, {"konus", "ikonus"},
                 {"sorubos", "Number"},  {"cevap", "testad"},    {"isozluk", "nosuch"}};
    const QString connection = jetConnectionString(samplePath(), QStringLiteral("947"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const QString name = QString::fromLatin1(c.table);
        const QString field = QString::fromLatin1(c.field);
        auto walk = [&](bool ahead) {
            TableHandle table(QStringLiteral("Tablei"));
            if (ahead)
                table.readAhead(connection, name, field);
            table.setConnectionString(connection);
            table.setTableName(name);
            table.open();
            QStringList seen;
            try {
                table.setSort(field);
            } catch (const Error& e) {
                return QStringList{e.message()};
            }
            for (; !table.eof(); table.next()) {
                for (const Column& column : table.columns())
                    seen << table.fieldValue(column.name).value_or(QStringLiteral("(null)"));
            }
            return seen;
        };
        const QStringList ahead = walk(true);
        EXPECT_FALSE(ahead.isEmpty());
        EXPECT_EQ(ahead, walk(false));
    }
}

// Reads on several threads at once, with another thread writing to stderr all the while: each
// read is whole; what the other thread wrote reaches the process's standard error exactly once,
// none of it lost while reads ran side by side; and stderr is the process's own again afterwards.
TEST(ReadAhead, ReadsSideBySideShareTheWatchOnStderr) {
    struct stat before {};
    ASSERT_EQ(::fstat(STDERR_FILENO, &before), 0);
    std::FILE* const stream = stderr;
    QTemporaryDir dir;
    const QByteArray seen = QFile::encodeName(dir.filePath(QStringLiteral("stderr.txt")));
    int lines = 0;
    {
        // The process's standard error goes to a file while the reads run.
        std::fflush(stderr);
        const int real = ::dup(STDERR_FILENO);
        const int file = ::open(seen.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(real, 0);
        ASSERT_GE(file, 0);
        ::dup2(file, STDERR_FILENO);
        ::close(file);
        const auto restore = qScopeGuard([&] {
            std::fflush(stderr);
            ::dup2(real, STDERR_FILENO);
            ::close(real);
        });
        std::atomic<bool> done{false};
        std::thread chatter([&] {
            while (!done) {
                std::fprintf(stderr, "browser: message %d\n", lines++);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        const auto stop = qScopeGuard([&] {
            done = true;
            chatter.join();
        });
        const char* names[] = {"konus", "isozluk", "tsozluk", "sorubos", "cevap"};
        for (int round = 0; round < 4; ++round) {
            std::vector<std::unique_ptr<TableHandle>> tables;
            for (const char* name : names) {
                tables.push_back(std::make_unique<TableHandle>(QStringLiteral("Table")));
                tables.back()->readAhead(jetConnectionString(samplePath(), QString()),
                                         QString::fromLatin1(name));
            }
            for (std::size_t i = 0; i < tables.size(); ++i) {
                tables[i]->setConnectionString(jetConnectionString(samplePath(), QString()));
                tables[i]->setTableName(QString::fromLatin1(names[i]));
                tables[i]->open();
                expectRowsOfFile(*tables[i], samplePath(), QString::fromLatin1(names[i]));
            }
        }
    }
    struct stat after {};
    ASSERT_EQ(::fstat(STDERR_FILENO, &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_dev, before.st_dev);
    EXPECT_EQ(stderr, stream);

    const QByteArray text = bytesOf(QString::fromLocal8Bit(seen));
    ASSERT_GT(lines, 0);
    for (int i = 0; i < lines; ++i) {
        const QByteArray line = "browser: message " + QByteArray::number(i) + '\n';
        ASSERT_EQ(text.count(line), 1) << line.constData();
    }
}

} // namespace
