// Our reader against an independent one (mdb-reader), on every fixture database: every table,
// every column, every value, dates and floating-point numbers compared as values, binary values
// as bytes. Files written by Access and its tools (tests/fixtures/access), and with
// PELTAVO_MORE_ACCESS_FILES (a list of files separated by ':') any others, with a table of the
// results.
#include "error.h"
#include "jetpatch.h"
#include "jetreader.h"
#include "oracle.h"
#include "testpaths.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using namespace peltavo;
using peltavo::test::fixture;

namespace {

QStringList fixtureDatabases() {
    QStringList files{fixture(QStringLiteral("peltavo-sample.mdb"))};
    for (const QString& name :
         QDir(fixture(QStringLiteral("access"))).entryList({QStringLiteral("*.mdb")}, QDir::Files))
        files << fixture(QStringLiteral("access/") + name);
    return files;
}

std::string show(const FieldValue& v) {
    return v ? '"' + v->left(60).toStdString() + (v->size() > 60 ? "...\"" : "\"") : "null";
}

// How one table of a file compares with the oracle's.
struct TableResult {
    QString table;
    QString outcome; // "equal", or what differs, or our error
    bool equal = false;
};

TableResult compareTable(const QString& path, const test::OracleTable& theirs) {
    TableResult result{theirs.data.name, {}, false};
    TableData ours;
    try {
        ours = JetReader::readTable(path, theirs.data.name);
    } catch (const Error& e) {
        result.outcome = QStringLiteral("error: ") + e.message();
        return result;
    }
    if (ours.columns.size() != theirs.data.columns.size() ||
        ours.rows.size() != theirs.data.rows.size()) {
        result.outcome = QStringLiteral("%1 columns and %2 rows, theirs %3 and %4")
                             .arg(ours.columns.size())
                             .arg(ours.rows.size())
                             .arg(theirs.data.columns.size())
                             .arg(theirs.data.rows.size());
        return result;
    }
    for (std::size_t c = 0; c < ours.columns.size(); ++c) {
        if (ours.columns[c].name != theirs.data.columns[c].name) {
            result.outcome = QStringLiteral("column %1 is '%2', theirs '%3'")
                                 .arg(c)
                                 .arg(ours.columns[c].name, theirs.data.columns[c].name);
            return result;
        }
        const ColumnType expected = theirs.data.columns[c].type;
        if (expected != ColumnType::Other && ours.columns[c].type != expected) {
            result.outcome = QStringLiteral("column '%1' is of another kind (%2)")
                                 .arg(ours.columns[c].name, theirs.types[qsizetype(c)]);
            return result;
        }
        for (std::size_t r = 0; r < ours.rows.size(); ++r) {
            QString why;
            if (!test::sameValue(ours.rows[r][c], theirs.data.rows[r][c],
                                 theirs.types[qsizetype(c)], &why)) {
                result.outcome =
                    QStringLiteral("row %1, column '%2' (%3): %4 vs %5, %6")
                        .arg(r)
                        .arg(ours.columns[c].name, theirs.types[qsizetype(c)])
                        .arg(QString::fromStdString(show(ours.rows[r][c])),
                             QString::fromStdString(show(theirs.data.rows[r][c])), why);
                return result;
            }
        }
    }
    result.outcome = QStringLiteral("equal");
    result.equal = true;
    return result;
}

std::vector<TableResult> compareFile(const QString& path) {
    std::vector<TableResult> results;
    const std::vector<test::OracleTable> theirs = test::oracleReadAll(path);
    QStringList names;
    for (const test::OracleTable& t : theirs)
        names << t.data.name;
    QStringList ours;
    try {
        ours = JetReader::tableNames(path);
    } catch (const Error& e) {
        results.push_back({QStringLiteral("(tables)"), QStringLiteral("error: ") + e.message()});
        return results;
    }
    if (ours != names) {
        results.push_back({QStringLiteral("(tables)"), QStringLiteral("ours: ") + ours.join(u',') +
                                                           QStringLiteral("; theirs: ") +
                                                           names.join(u',')});
    }
    for (const test::OracleTable& t : theirs)
        results.push_back(compareTable(path, t));
    return results;
}

class ReaderAgreesWithOracle : public ::testing::TestWithParam<QString> {};

TEST_P(ReaderAgreesWithOracle, EveryTableEveryValue) {
    for (const TableResult& r : compareFile(GetParam()))
        EXPECT_TRUE(r.equal) << r.table.toStdString() << ": " << r.outcome.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ReaderAgreesWithOracle, ::testing::ValuesIn(fixtureDatabases()),
    [](const auto& info) {
        return QFileInfo(info.param).completeBaseName().replace(u'-', u'_').toStdString();
    });

// Files from elsewhere, named in PELTAVO_MORE_ACCESS_FILES: the same comparison, and a table of
// every result on standard output.
TEST(ReaderAgreesWithOracleOnMoreFiles, EveryTableOfEveryFileNamed) {
    const QString list = qEnvironmentVariable("PELTAVO_MORE_ACCESS_FILES");
    if (list.isEmpty())
        GTEST_SKIP() << "PELTAVO_MORE_ACCESS_FILES names no files";
    int tables = 0;
    int equal = 0;
    std::printf("| File | Table | Result |\n|---|---|---|\n");
    for (const QString& path : list.split(u':', Qt::SkipEmptyParts)) {
        for (const TableResult& r : compareFile(path)) {
            ++tables;
            equal += r.equal;
            std::printf("| %s | %s | %s |\n", qPrintable(QFileInfo(path).fileName()),
                        qPrintable(r.table), qPrintable(r.outcome));
            EXPECT_TRUE(r.equal) << path.toStdString() << " " << r.table.toStdString() << ": "
                                 << r.outcome.toStdString();
        }
    }
    std::printf("\n%d of %d tables equal\n", equal, tables);
}

// Dates over the whole range Jet stores, written into a file Access wrote: each reads as the
// instant mdb-reader reads (which the old reading gave up on before 1899-12-30 and after 4637).
TEST(ReaderAgreesWithOracle, DatesOverTheWholeRange) {
    QByteArray bytes = test::fixtureBytes(QStringLiteral("access/testV2000.mdb"));
    const double stored[] = {29932, 27293};           // 1981-12-12 and 1974-09-21 in Table1.G
    const double written[] = {-693593.5, 2958465.75}; // day and time before 1899 too
    for (int i = 0; i < 2; ++i) {
        int count = 0;
        bytes = test::withDoubleReplaced(bytes, stored[i], written[i], &count);
        ASSERT_EQ(count, 1) << stored[i];
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dates.mdb"));
    test::writeBytes(path, bytes);
    const TableData table = JetReader::readTable(path, QStringLiteral("Table1"));
    const int g = table.columnIndex(QStringLiteral("G"));
    ASSERT_GE(g, 0);
    QStringList dates;
    for (const auto& row : table.rows)
        dates << row[std::size_t(g)].value_or(QStringLiteral("<NULL>"));
    dates.sort();
    EXPECT_EQ(dates, (QStringList{"0001-01-01 12:00:00", "9999-12-31 18:00:00"}));
    for (const TableResult& r : compareFile(path))
        EXPECT_TRUE(r.equal) << r.table.toStdString() << ": " << r.outcome.toStdString();
}

} // namespace
