// Files from our Jet 4 writer, read back by three readers that share no code with it: our libmdb
// reader, the mdbtools programs and the npm package mdb-reader. Every value written must come
// back from each of them.
#include "error.h"
#include "jetreader.h"
#include "jetstructure.h"
#include "jetwriter.h"
#include "mdbtools_cli.h"
#include "oracle.h"
#include "qtprint.h"
#include "testpaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace peltavo;

namespace {

const QString kTurkish = QStringLiteral("çğıİöşüÇĞÖŞÜ");

Column integer(const QString& name) {
    return {name, ColumnType::Integer, 255};
}
Column text(const QString& name, int maxLength) {
    return {name, ColumnType::Text, maxLength};
}
Column memo(const QString& name) {
    return {name, ColumnType::Memo, 255};
}

FieldValue v(const QString& s) {
    return s;
}
const FieldValue null;

QString repeat(const QString& unit, int length) {
    QString s;
    while (s.size() < length)
        s += unit;
    return s.left(length);
}

// About 200 KiB in the file: 102,400 characters of Turkish and English lines.
QString bigMemo() {
    QString s;
    for (int line = 1; s.size() < 102400; ++line)
        s += QStringLiteral("Satır %1: %2 the quick brown fox\r\n").arg(line).arg(kTurkish);
    return s.left(102400);
}

std::string shown(const FieldValue& value) {
    if (!value)
        return "null";
    return '"' + value->left(40).toStdString() + (value->size() > 40 ? "...\"" : "\"") + " (" +
           std::to_string(value->size()) + " chars)";
}

// Every value of `expected` in `actual`, in the same order. For a reader that cannot tell a
// zero-length text from a null, `emptyIsNull` treats the two alike.
::testing::AssertionResult sameRows(const std::vector<std::vector<FieldValue>>& expected,
                                    const std::vector<std::vector<FieldValue>>& actual,
                                    bool emptyIsNull = false) {
    if (expected.size() != actual.size()) {
        return ::testing::AssertionFailure()
               << actual.size() << " rows read, " << expected.size() << " written";
    }
    auto normal = [&](const FieldValue& value) {
        return emptyIsNull && value && value->isEmpty() ? FieldValue{} : value;
    };
    for (size_t r = 0; r < expected.size(); ++r) {
        if (expected[r].size() != actual[r].size()) {
            return ::testing::AssertionFailure() << "row " << r + 1 << ": " << actual[r].size()
                                                 << " values read, " << expected[r].size();
        }
        for (size_t c = 0; c < expected[r].size(); ++c) {
            if (normal(expected[r][c]) != normal(actual[r][c])) {
                return ::testing::AssertionFailure()
                       << "row " << r + 1 << ", column " << c + 1 << ": read "
                       << shown(actual[r][c]) << ", written " << shown(expected[r][c]);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

void expectSameColumns(const TableData& written, const TableData& read, bool withLengths) {
    ASSERT_EQ(read.columns.size(), written.columns.size());
    for (size_t c = 0; c < written.columns.size(); ++c) {
        EXPECT_EQ(read.columns[c].name, written.columns[c].name);
        EXPECT_EQ(read.columns[c].type, written.columns[c].type) << "column " << c + 1;
        if (withLengths && written.columns[c].type == ColumnType::Text) {
            EXPECT_EQ(read.columns[c].maxLength, written.columns[c].maxLength);
        }
    }
}

// Reads the file with every reader and compares it with what was written. The readers that run
// as programs read every `programStep`-th table only (they take a while to start); our own reader
// reads them all.
void expectReadersAgree(const QString& path, const std::vector<TableData>& written,
                        size_t programStep = 1) {
    QStringList names;
    for (const TableData& t : written)
        names << t.name;
    EXPECT_EQ(JetReader::tableNames(path), names);
    EXPECT_EQ(test::oracleTableNames(path), names);
    EXPECT_EQ(test::cliTableNames(path), names);
    for (size_t i = 0; i < written.size(); ++i) {
        const TableData& t = written[i];
        SCOPED_TRACE("table " + t.name.toStdString());
        const TableData ours = JetReader::readTable(path, t.name);
        expectSameColumns(t, ours, true);
        EXPECT_TRUE(sameRows(t.rows, ours.rows)) << "our libmdb reader";
        if (i % programStep != 0 && i + 1 != written.size())
            continue;
        const TableData theirs = test::oracleReadTable(path, t.name);
        expectSameColumns(t, theirs, false);
        EXPECT_TRUE(sameRows(t.rows, theirs.rows)) << "mdb-reader";
        EXPECT_TRUE(sameRows(t.rows, test::cliExportRows(path, t.name), true)) << "mdb-export";
    }
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A table that holds every kind of value the writer must keep: nulls beside zero-length texts,
// the extremes of a Long Integer, Turkish letters in texts of every length a column allows, and
// memos on both sides of each size at which their storage changes (inline in the row, one
// long-value row, a chain of them; compressed or plain text).
TableData everyKindOfValue() {
    TableData t{QStringLiteral("degerler"),
                {integer(QStringLiteral("Number")), text(QStringLiteral("kisa"), 10),
                 text(QStringLiteral("uzun"), 255), memo(QStringLiteral("not")),
                 memo(QStringLiteral("ikinci"))},
                {}};
    auto add = [&](FieldValue n, FieldValue k, FieldValue u, FieldValue m1, FieldValue m2) {
        t.rows.push_back({n, k, u, m1, m2});
    };
    add(null, null, null, null, null);
    add(v("0"), v(""), v(""), v(""), v(""));
    add(v("2147483647"), v("ab"), v("abc"), v("a"), v("ab"));
    add(v("-2147483648"), v(kTurkish.left(10)), v(kTurkish), v(kTurkish), null);
    add(v("7"), v(QStringLiteral("çöüÇÖÜ")), v(repeat(kTurkish, 255)), v(QStringLiteral("çöüÇÖÜ")),
        v(QString()));
    add(v("-1"), v(QStringLiteral("a\uFEFFb")), v(QStringLiteral("ş\uFEFF")),
        v(QStringLiteral("çok \uFEFF uzun olmayan")), v(repeat(QStringLiteral("ş"), 31)));
    add(v("100"), v(repeat(QStringLiteral("x"), 10)), v(repeat(QStringLiteral("y"), 255)),
        v(repeat(QStringLiteral("a"), 62)), v(repeat(QStringLiteral("ğ"), 32)));
    add(v("101"), null, v(QStringLiteral("satır 1\r\nsatır 2\r\n")),
        v(repeat(QStringLiteral("a"), 63)), v(repeat(QStringLiteral("ğ"), 33)));
    add(v("102"), v(QStringLiteral("'\"\\,;")), null, v(repeat(QStringLiteral("b"), 1024)),
        v(repeat(QStringLiteral("b"), 1025)));
    add(v("103"), v(QStringLiteral("tab\there")), v(QStringLiteral("€ ∑ 日本")),
        v(repeat(QStringLiteral("ğ"), 2038)), v(repeat(QStringLiteral("ğ"), 2039)));
    add(v("104"), v(QStringLiteral("İ")), v(QStringLiteral("ı")),
        v(repeat(QStringLiteral("ğ") + kTurkish, 2036 * 2 + 1)),
        v(repeat(QStringLiteral("z"), 4073)));
    add(v("105"), v(QStringLiteral("son")), v(QStringLiteral("son satır")), v(bigMemo()), null);
    return t;
}

class JetWriterTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("yazilan.mdb")) const {
        return dir_.filePath(name);
    }
    QStringList filesInDir() const { return QDir(dir_.path()).entryList(QDir::Files); }

    QTemporaryDir dir_;
};

TEST_F(JetWriterTest, EveryKindOfValueReadsBackAlike) {
    const std::vector<TableData> tables{everyKindOfValue()};
    writeJet4Database(path(), tables);
    expectReadersAgree(path(), tables);
    EXPECT_TRUE(test::soundJetStructure(path()));
}

TEST_F(JetWriterTest, HeaderDecodesToAnAccess2000FileWithoutPassword) {
    writeJet4Database(path(), {everyKindOfValue()});
    const QByteArray bytes = fileBytes(path());
    ASSERT_EQ(bytes.size() % 4096, 0);
    EXPECT_EQ(bytes.left(20), QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
    EXPECT_EQ(test::cliVersion(path()), QStringLiteral("JET4"));

    // mdb-reader decodes the masked header block: no password, a sane date, General sort order.
    QProcess node;
    node.setWorkingDirectory(test::sourcePath(QStringLiteral("tests/mdbreader")));
    node.start(QStringLiteral("node"),
               {QStringLiteral("--input-type=module"), QStringLiteral("-e"),
                QStringLiteral("import R from 'mdb-reader'; import {readFileSync} from 'node:fs';"
                               "const r = new R(readFileSync(process.argv[1]));"
                               "const o = r.getDefaultSortOrder();"
                               "console.log(JSON.stringify([r.getPassword(),"
                               " r.getCreationDate().toISOString(), o.value, o.version]));"),
                path()});
    ASSERT_TRUE(node.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(node.readAllStandardOutput()).trimmed(),
              QStringLiteral(R"([null,"2024-01-01T00:00:00.000Z",1033,0])"))
        << node.readAllStandardError().toStdString();
}

TEST_F(JetWriterTest, SameTablesGiveByteIdenticalFiles) {
    std::vector<TableData> tables{everyKindOfValue()};
    TableData words{QStringLiteral("isozluk"),
                    {text(QStringLiteral("ikelime"), 50), memo(QStringLiteral("tanlam"))},
                    {}};
    for (int i = 0; i < 3000; ++i)
        words.rows.push_back(
            {v(QStringLiteral("kelime%1").arg(i)), v(repeat(kTurkish, (i * 37) % 3000))});
    tables.push_back(words);
    writeJet4Database(path(QStringLiteral("bir.mdb")), tables);
    writeJet4Database(path(QStringLiteral("iki.mdb")), tables);
    const QByteArray first = fileBytes(path(QStringLiteral("bir.mdb")));
    ASSERT_GT(first.size(), 100 * 4096);
    EXPECT_TRUE(first == fileBytes(path(QStringLiteral("iki.mdb"))));
}

TEST_F(JetWriterTest, ReplacesAnExistingFileAndLeavesNothingElseBehind) {
    QFile old(path());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not a database");
    old.close();
    const std::vector<TableData> tables{everyKindOfValue()};
    writeJet4Database(path(), tables);
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("yazilan.mdb")});
    EXPECT_EQ(JetReader::tableNames(path()), QStringList{QStringLiteral("degerler")});
}

TEST_F(JetWriterTest, FailedWriteKeepsThePreviousFile) {
    writeJet4Database(path(), {everyKindOfValue()});
    const QByteArray before = fileBytes(path());
    TableData bad = everyKindOfValue();
    bad.rows.back()[0] = v(QStringLiteral("on iki"));
    EXPECT_THROW(writeJet4Database(path(), {bad}), Error);
    EXPECT_TRUE(fileBytes(path()) == before);
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("yazilan.mdb")});
}

TEST_F(JetWriterTest, UncreatableFileIsReported) {
    const QString target = dir_.filePath(QStringLiteral("yok/yazilan.mdb"));
    try {
        writeJet4Database(target, {everyKindOfValue()});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot create '%1': ").arg(target)))
            << e.what();
    }
}

// ---- Table shapes that stretch the file's structures ----------------------------------------

struct Shape {
    const char* name;
    std::function<std::vector<TableData>()> make;
};

void PrintTo(const Shape& shape, std::ostream* os) {
    *os << shape.name;
}

std::vector<TableData> noUserTables() {
    return {};
}

std::vector<TableData> emptyTables() {
    return {TableData{QStringLiteral("bos"), {text(QStringLiteral("a"), 20)}, {}},
            TableData{QStringLiteral("bos_memo"),
                      {integer(QStringLiteral("Number")), memo(QStringLiteral("m"))},
                      {}}};
}

// 150 tables: the catalog and the usage maps run over several pages.
std::vector<TableData> manyTables() {
    std::vector<TableData> tables;
    for (int i = 0; i < 150; ++i) {
        TableData t{QStringLiteral("tablo_%1").arg(i, 3, 10, QChar(u'0')),
                    {integer(QStringLiteral("no")), text(QStringLiteral("ad"), 30),
                     memo(QStringLiteral("aciklama"))},
                    {}};
        for (int r = 0; r < i % 4; ++r)
            t.rows.push_back({v(QString::number(i * 10 + r)), v(QStringLiteral("ad %1").arg(r)),
                              r == 1 ? null : v(repeat(kTurkish, i * 30))});
        tables.push_back(std::move(t));
    }
    return tables;
}

// 120 columns with Turkish names: the table definition spans pages.
std::vector<TableData> wideTable() {
    TableData t{QStringLiteral("genis"), {}, {}};
    for (int c = 0; c < 120; ++c) {
        const QString name = QStringLiteral("sütun_%1_çok_uzun_bir_ad").arg(c);
        t.columns.push_back(c % 3 == 0   ? integer(name)
                            : c % 3 == 1 ? text(name, 1 + c * 2)
                                         : memo(name));
    }
    for (int r = 0; r < 5; ++r) {
        std::vector<FieldValue> row;
        for (int c = 0; c < 120; ++c) {
            if ((r + c) % 7 == 0)
                row.push_back(null);
            else if (c % 3 == 0)
                row.push_back(v(QString::number(c * 1000 - r)));
            else
                row.push_back(
                    v(repeat(kTurkish, (r + c) % (c % 3 == 1 ? std::min(20, 1 + c * 2) : 40))));
        }
        t.rows.push_back(std::move(row));
    }
    return {t};
}

// Rows so small that the 255 rows a page may hold fill it first.
std::vector<TableData> tinyRows() {
    TableData t{QStringLiteral("minik"), {integer(QStringLiteral("Number"))}, {}};
    for (int r = 0; r < 1000; ++r)
        t.rows.push_back({r % 10 == 0 ? null : v(QString::number(r))});
    return {t};
}

// Memos of many lengths share their long-value pages and chains.
std::vector<TableData> memoChains() {
    TableData t{
        QStringLiteral("uzun_notlar"),
        {integer(QStringLiteral("Number")), memo(QStringLiteral("tr")), memo(QStringLiteral("en"))},
        {}};
    for (int r = 0; r < 60; ++r)
        t.rows.push_back({v(QString::number(r)), v(repeat(kTurkish, (r * 1733) % 25000)),
                          v(repeat(QStringLiteral("english "), (r * 2411) % 9000))});
    return {t};
}

// 100,000 rows over some 1,500 data pages: the usage map of the table refers to map pages.
std::vector<TableData> hundredThousandRows() {
    TableData t{QStringLiteral("isozluk"),
                {integer(QStringLiteral("Number")), text(QStringLiteral("ikelime"), 60),
                 memo(QStringLiteral("tanlam"))},
                {}};
    t.rows.reserve(100000);
    for (int r = 0; r < 100000; ++r) {
        t.rows.push_back(
            {v(QString::number(r * 3 - 150000)),
             r % 89 == 0 ? v(QString()) : v(QStringLiteral("kelime%1").arg(r)),
             r % 97 == 0 ? null
                         : v(QStringLiteral("anlam %1 %2").arg(r).arg(kTurkish.left(r % 13)))});
    }
    return {t};
}

class JetWriterShapes : public JetWriterTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(JetWriterShapes, ReadsBackAlike) {
    const std::vector<TableData> tables = GetParam().make();
    writeJet4Database(path(), tables);
    expectReadersAgree(path(), tables, 25);
    EXPECT_TRUE(test::soundJetStructure(path()));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, JetWriterShapes,
    ::testing::Values(Shape{"NoUserTables", noUserTables}, Shape{"EmptyTables", emptyTables},
                      Shape{"ManyTables", manyTables}, Shape{"WideTable", wideTable},
                      Shape{"TinyRows", tinyRows}, Shape{"MemoChains", memoChains},
                      Shape{"HundredThousandRows", hundredThousandRows}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Input the writer refuses ----------------------------------------------------------------

struct Refusal {
    const char* name;
    std::vector<TableData> tables;
    QString message;
};

void PrintTo(const Refusal& refusal, std::ostream* os) {
    *os << refusal.name;
}

TableData oneRow(std::vector<Column> columns, std::vector<FieldValue> row,
                 const QString& name = QStringLiteral("t")) {
    return TableData{name, std::move(columns), {std::move(row)}};
}

std::vector<Refusal> refusals() {
    const QString n = QStringLiteral("n");
    auto number = [&](const QString& value) {
        return std::vector<TableData>{oneRow({integer(n)}, {v(value)})};
    };
    const QString notNumber = QStringLiteral("Table 't', row 1, column 'n': '%1' is not a whole "
                                             "number from -2147483648 to 2147483647");
    std::vector<TableData> wideRow{TableData{QStringLiteral("t"), {}, {{}}}};
    for (int c = 0; c < 16; ++c) {
        wideRow[0].columns.push_back(text(QStringLiteral("c%1").arg(c), 255));
        wideRow[0].rows[0].push_back(v(repeat(QStringLiteral("ğ"), 255)));
    }
    return {
        {"TextTooLong",
         {oneRow({text(QStringLiteral("k"), 5)}, {v(QStringLiteral("abcdef"))})},
         QStringLiteral("Table 't', row 1, column 'k': the text has 6 characters, more than the "
                        "5 the column allows")},
        {"NotANumber", number(QStringLiteral("12a")), notNumber.arg(QStringLiteral("12a"))},
        {"EmptyNumber", number(QString()), notNumber.arg(QString())},
        {"NumberWithBlank", number(QStringLiteral(" 1")), notNumber.arg(QStringLiteral(" 1"))},
        {"DecimalNumber", number(QStringLiteral("1.5")), notNumber.arg(QStringLiteral("1.5"))},
        {"NumberTooLarge", number(QStringLiteral("2147483648")),
         notNumber.arg(QStringLiteral("2147483648"))},
        {"NumberTooSmall", number(QStringLiteral("-2147483649")),
         notNumber.arg(QStringLiteral("-2147483649"))},
        {"DuplicateTable",
         {oneRow({integer(n)}, {null}, QStringLiteral("konus")),
          oneRow({integer(n)}, {null}, QStringLiteral("Konus"))},
         QStringLiteral("Two tables are named 'Konus'")},
        {"DuplicateColumn",
         {oneRow({integer(QStringLiteral("Number")), text(QStringLiteral("number"), 5)},
                 {null, null})},
         QStringLiteral("Table 't' has two columns named 'number'")},
        {"SystemTableName",
         {oneRow({integer(n)}, {null}, QStringLiteral("MSysObjects"))},
         QStringLiteral("The table name 'MSysObjects' cannot be used: names beginning with MSys "
                        "belong to the system tables")},
        {"DotInTableName",
         {oneRow({integer(n)}, {null}, QStringLiteral("a.b"))},
         QStringLiteral("The table name 'a.b' cannot be used: it holds the character '.'")},
        {"EmptyColumnName",
         {oneRow({integer(QString())}, {null})},
         QStringLiteral("Table 't': the column name '' cannot be used: it is empty")},
        {"LongTableName",
         {oneRow({integer(n)}, {null}, QString(65, u'a'))},
         QStringLiteral("The table name '%1' cannot be used: it is longer than 64 characters")
             .arg(QString(65, u'a'))},
        {"NoColumns",
         {TableData{QStringLiteral("t"), {}, {}}},
         QStringLiteral("Table 't' has no columns")},
        {"OtherColumnType",
         {oneRow({Column{QStringLiteral("tarih"), ColumnType::Other, 255}}, {null})},
         QStringLiteral("Table 't', column 'tarih': only Integer, Text and Memo columns can be "
                        "written")},
        {"TextColumnTooWide",
         {oneRow({text(QStringLiteral("k"), 256)}, {null})},
         QStringLiteral("Table 't', column 'k': a text column holds 1 to 255 characters, not 256")},
        {"RowWidth",
         {oneRow({integer(n), memo(QStringLiteral("m"))}, {null})},
         QStringLiteral("Table 't', row 1: the row holds 1 values for 2 columns")},
        {"RowTooLarge", wideRow,
         QStringLiteral("Table 't', row 1: the row needs 8200 bytes, more than the 4060 a row "
                        "may take")},
        {"UnstorableText",
         {oneRow({memo(QStringLiteral("m"))}, {v(QStringLiteral("\uFEFFĀ"))})},
         QStringLiteral("Table 't', row 1, column 'm': a text that begins with the character "
                        "U+FEFF cannot also hold the character U+0100")},
    };
}

class JetWriterRefuses : public JetWriterTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(JetWriterRefuses, WithAClearMessageAndNoFile) {
    try {
        writeJet4Database(path(), GetParam().tables);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), GetParam().message);
    }
    EXPECT_TRUE(filesInDir().isEmpty()) << filesInDir().join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Input, JetWriterRefuses, ::testing::ValuesIn(refusals()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
