// Writing the learning database from content: what two independent readers find in the file,
// the peltavo-db build command, and the database bundled with the program.
#include "content.h"
#include "contentfolder.h"
#include "jetreader.h"
#include "jetwriter.h"
#include "oracle.h"
#include "peltavodb.h"
#include "tables.h"
#include "testpaths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace peltavo;
using namespace peltavo::dbbuild;
using peltavo::test::ContentFolder;

namespace {

std::vector<std::pair<QString, ColumnType>> shape(const TableData& table) {
    std::vector<std::pair<QString, ColumnType>> result;
    for (const Column& column : table.columns)
        result.emplace_back(column.name, column.type);
    return result;
}

void expectSameTable(const TableData& expected, const TableData& actual, const char* reader) {
    SCOPED_TRACE(std::string(reader) + " " + expected.name.toStdString());
    EXPECT_EQ(actual.name, expected.name);
    EXPECT_EQ(shape(actual), shape(expected));
    ASSERT_EQ(actual.rows.size(), expected.rows.size());
    for (size_t r = 0; r < expected.rows.size(); ++r)
        EXPECT_EQ(actual.rows[r], expected.rows[r]) << "row " << r + 1;
}

// A content folder with Turkish letters everywhere, a gap at the start and at the end, a set of
// eleven words, a long conversation line and a spare last question.
ContentResult richContent(ContentFolder& folder) {
    folder.set(u"conversations/02-çarşı.txt"_qs,
               "Çarşıda\n"
               "How much is this scarf? It looks lovely, and I would like to buy it for my "
               "grandmother's birthday next week.\n"
               "It's two hundred lira.\n"
               "-----\n"
               "Bu atkı ne kadar? Çok güzel görünüyor; gelecek hafta büyükannemin doğum günü için "
               "almak istiyorum.\n"
               "İki yüz lira.\n");
    folder.set(u"quiz/answer-sets.txt"_qs,
               "# level: A1\n"
               "be | am | is | are\n"
               "# level: A1\n"
               "places | in | on | at | next to\n"
               "# level: A1\n"
               "numbers | one | two | three | four | five | six | seven | eight | nine | ten | "
               "eleven\n");
    folder.set(u"quiz/questions.txt"_qs, "1 | She ___ a teacher. | be | is\n"
                                         "2 | ___ you ready? | be | Are\n"
                                         "3 | The keys are ___ the table. | places | on | next to\n"
                                         "4 | Ayşe has ___ | numbers | two\n"
                                         "5 | Ayşe has ___ | numbers | two\n");
    return readContent(folder.write());
}

TEST(BuildDatabase, BothReadersFindEveryValueWritten) {
    ContentFolder folder;
    ContentResult content = richContent(folder);
    ASSERT_TRUE(content.ok());
    content.content.englishTurkish = {{u"book"_qs, {}, {u"kitap"_qs, u"defter"_qs}, {}, 1},
                                      {u"run"_qs, {}, {QString(3000, u'ş')}, {}, 2}};
    content.content.turkishEnglish = {{u"çay"_qs, {}, {u"tea"_qs}, {}, 1},
                                      {u"İstanbul"_qs, {}, {u"Istanbul"_qs}, {}, 2},
                                      {u"ığdır"_qs, {}, {u""_qs}, {}, 3}};
    const auto tables = buildTables(content.content);
    ASSERT_TRUE(checkTables(tables).empty());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("peltavo.MDB"));
    writeJet4Database(path, tables);

    EXPECT_EQ(JetReader::tableNames(path),
              (QStringList{u"konus"_qs, u"isozluk"_qs, u"tsozluk"_qs, u"sorubos"_qs, u"cevap"_qs}));
    for (const TableData& table : tables) {
        expectSameTable(table, JetReader::readTable(path, table.name), "libmdb");
        expectSameTable(table, test::oracleReadTable(path, table.name), "mdb-reader");
    }
}

using test::runPeltavoDb;

QByteArray sha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

TEST(BuildCommand, TwoBuildsOfTheSameContentAreByteIdentical) {
    ContentFolder folder;
    ASSERT_TRUE(richContent(folder).ok());
    const QString root = folder.path(u"."_qs);
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.MDB"));
    const QString second = dir.filePath(QStringLiteral("second.MDB"));

    const test::ToolRun run = runPeltavoDb({u"build"_qs, root, u"-o"_qs, first});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("konus    2 rows"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("sorubos  5 rows"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("English-Turkish: 2 entries, 1 of them forms")))
        << run.out.toStdString();
    ASSERT_EQ(runPeltavoDb({u"build"_qs, root, u"-o"_qs, second}).exitCode, 0);

    EXPECT_FALSE(sha256(first).isEmpty());
    EXPECT_EQ(sha256(first), sha256(second));
    // The dictionaries are there, not only the content.
    EXPECT_EQ(JetReader::readTable(first, QStringLiteral("isozluk")).rows.size(), 2u);
}

TEST(BuildCommand, BadContentListsEveryProblemAndWritesNothing) {
    ContentFolder folder;
    folder.set(u"conversations/01-hello.txt"_qs, "Hello\nHi.\nBye.\n---\nMerhaba.\n");
    folder.set(u"quiz/questions.txt"_qs, "1 | She ___ a teacher. | be | is\n"
                                         "3 | Go ___. | verbs | on\n");
    const QString root = folder.write();
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("peltavo.MDB"));

    const test::ToolRun run = runPeltavoDb({u"build"_qs, root, u"-o"_qs, output});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_FALSE(QFile::exists(output));
    const QString conversation = folder.path(u"conversations/01-hello.txt"_qs);
    const QString questions = folder.path(u"quiz/questions.txt"_qs);
    EXPECT_TRUE(run.err.contains(conversation + QStringLiteral(":3: the English text has 2 lines")))
        << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains(questions + QStringLiteral(":2: question numbers must run from 1")))
        << run.err.toStdString();
    const QString unknownSet =
        questions + QStringLiteral(":2: answer set \"verbs\" does not exist");
    EXPECT_TRUE(run.err.contains(unknownSet)) << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("3 problem(s) in the content; no database written")))
        << run.err.toStdString();
}

TEST(BuildCommand, MissingDictionaryStopsTheBuild) {
    ContentFolder folder;
    folder.remove(u"dictionary/tr-en/m.txt"_qs);
    const QString root = folder.write();
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("peltavo.MDB"));
    const test::ToolRun run = runPeltavoDb({u"build"_qs, root, u"-o"_qs, output});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("tr-en: no dictionary file (*.txt) in the folder")))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(output));
}

class BuildUsage : public ::testing::TestWithParam<QStringList> {};

TEST_P(BuildUsage, IsAUsageError) {
    const test::ToolRun run = runPeltavoDb(QStringList{u"build"_qs} + GetParam());
    EXPECT_EQ(run.exitCode, 64);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("usage: peltavo-db build")))
        << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Arguments, BuildUsage,
                         ::testing::Values(QStringList{}, QStringList{u"content"_qs},
                                           QStringList{u"-o"_qs, u"x.MDB"_qs},
                                           QStringList{u"a"_qs, u"b"_qs, u"-o"_qs, u"x.MDB"_qs},
                                           QStringList{u"a"_qs, u"-o"_qs},
                                           QStringList{u"a"_qs, u"-o"_qs, u"x"_qs, u"--bad"_qs}));

// The database next to the program holds exactly the bundled content, the dictionaries as their
// text says (a stale file would not).
TEST(BundledDatabase, HoldsTheContentOfTheSourceTree) {
    const QString path = test::runtimeDir() + QStringLiteral("/peltavo.MDB");
    ASSERT_TRUE(QFile::exists(path)) << "build the target peltavo_database first";
    const ContentResult content = readContent(test::sourcePath(QStringLiteral("content")));
    ASSERT_TRUE(content.ok());
    for (const TableData& table : buildTables(content.content))
        expectSameTable(table, JetReader::readTable(path, table.name), "libmdb");
    EXPECT_GT(content.content.englishTurkish.size(), 40000u);
    EXPECT_GT(content.content.turkishEnglish.size(), 40000u);
}

} // namespace
