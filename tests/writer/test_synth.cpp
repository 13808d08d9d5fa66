// `peltavo-db synth`: a learning database the program can open, with a made-up dictionary of the
// size asked for.
#include "jetreader.h"
#include "peltavodb.h"
#include "qtprint.h"
#include "testpaths.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace peltavo;

namespace {

test::ToolRun synth(const QStringList& args) {
    return test::runPeltavoDb(QStringList{QStringLiteral("synth")} + args);
}

QStringList columnNames(const TableData& t) {
    QStringList names;
    for (const Column& c : t.columns)
        names << c.name;
    return names;
}

QString valueOf(const TableData& t, size_t row, const char* column) {
    const FieldValue& v =
        t.rows[row][static_cast<size_t>(t.columnIndex(QString::fromLatin1(column)))];
    return v.value_or(QString());
}

class SynthTest : public ::testing::Test {
protected:
    QString file(const QString& name = QStringLiteral("synth.mdb")) const {
        return dir_.filePath(name);
    }
    QTemporaryDir dir_;
};

TEST_F(SynthTest, WritesTheFiveTablesWithTheirFields) {
    const test::ToolRun run =
        synth({QStringLiteral("--rows"), QStringLiteral("3000"), QStringLiteral("-o"), file()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(
        JetReader::tableNames(file()),
        (QStringList{QStringLiteral("konus"), QStringLiteral("isozluk"), QStringLiteral("tsozluk"),
                     QStringLiteral("sorubos"), QStringLiteral("cevap")}));
    const TableData konus = JetReader::readTable(file(), QStringLiteral("konus"));
    EXPECT_EQ(columnNames(konus),
              (QStringList{QStringLiteral("ikonus"), QStringLiteral("tkonus")}));
    EXPECT_EQ(konus.columns[0].type, ColumnType::Memo);
    ASSERT_FALSE(konus.rows.empty());
    for (size_t r = 0; r < konus.rows.size(); ++r) {
        // Line n of the Turkish text translates line n of the English one.
        EXPECT_EQ(valueOf(konus, r, "ikonus").count(QStringLiteral("\r\n")),
                  valueOf(konus, r, "tkonus").count(QStringLiteral("\r\n")));
    }
    const TableData sorubos = JetReader::readTable(file(), QStringLiteral("sorubos"));
    EXPECT_EQ(columnNames(sorubos), (QStringList{QStringLiteral("Number"), QStringLiteral("soru"),
                                                 QStringLiteral("testad"), QStringLiteral("dc1"),
                                                 QStringLiteral("dc2"), QStringLiteral("dc3")}));
    EXPECT_EQ(sorubos.columns[0].type, ColumnType::Integer);
    QStringList cevapColumns{QStringLiteral("testad")};
    for (int i = 1; i <= 11; ++i)
        cevapColumns << QStringLiteral("cev%1").arg(i);
    const TableData cevap = JetReader::readTable(file(), QStringLiteral("cevap"));
    EXPECT_EQ(columnNames(cevap), cevapColumns);
    for (const char* table : {"isozluk", "tsozluk"}) {
        const TableData t = JetReader::readTable(file(), QString::fromLatin1(table));
        EXPECT_EQ(t.rows.size(), 3000u) << table;
        EXPECT_EQ(t.columns[0].type, ColumnType::Text);
        EXPECT_EQ(t.columns[1].type, ColumnType::Memo);
    }
    EXPECT_EQ(columnNames(JetReader::readTable(file(), QStringLiteral("isozluk"))),
              (QStringList{QStringLiteral("ikelime"), QStringLiteral("tanlam")}));
    EXPECT_EQ(columnNames(JetReader::readTable(file(), QStringLiteral("tsozluk"))),
              (QStringList{QStringLiteral("tkelime"), QStringLiteral("ianlam")}));
    EXPECT_TRUE(run.out.contains(QStringLiteral("3000 headwords"))) << run.out.toStdString();
}

TEST_F(SynthTest, DictionariesHoldDistinctFilledHeadwordsWithTurkishLetters) {
    ASSERT_EQ(
        synth({QStringLiteral("-o"), file(), QStringLiteral("--rows"), QStringLiteral("5000")})
            .exitCode,
        0);
    for (const char* table : {"isozluk", "tsozluk"}) {
        SCOPED_TRACE(table);
        const TableData t = JetReader::readTable(file(), QString::fromLatin1(table));
        QSet<QString> headwords;
        QString letters;
        for (const auto& row : t.rows) {
            ASSERT_TRUE(row[0] && !row[0]->isEmpty());
            ASSERT_TRUE(row[1] && !row[1]->isEmpty());
            headwords.insert(*row[0]);
            letters += *row[0];
        }
        EXPECT_EQ(headwords.size(), 5000);
        if (QLatin1StringView(table) == "tsozluk") {
            for (const QChar ch : QStringLiteral("çğıİöşü"))
                EXPECT_TRUE(letters.contains(ch)) << QString(ch).toStdString();
        }
    }
}

TEST_F(SynthTest, QuizQuestionsFindTheirAnswerSets) {
    ASSERT_EQ(synth({QStringLiteral("--rows"), QStringLiteral("10"), QStringLiteral("-o"), file()})
                  .exitCode,
              0);
    const TableData sorubos = JetReader::readTable(file(), QStringLiteral("sorubos"));
    const TableData cevap = JetReader::readTable(file(), QStringLiteral("cevap"));
    ASSERT_GE(sorubos.rows.size(), 3u);
    for (size_t r = 0; r < sorubos.rows.size(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(valueOf(sorubos, r, "Number"), QString::number(r + 1)); // numbered without gaps
        EXPECT_TRUE(valueOf(sorubos, r, "soru").contains(QStringLiteral("  "))); // it has a gap
        const QString set = valueOf(sorubos, r, "testad");
        QStringList words;
        for (size_t a = 0; a < cevap.rows.size(); ++a) {
            if (valueOf(cevap, a, "testad") != set)
                continue;
            for (size_t c = 1; c < cevap.columns.size(); ++c) {
                if (cevap.rows[a][c])
                    words << *cevap.rows[a][c];
            }
            EXPECT_TRUE(cevap.rows[a][1] && cevap.rows[a][2]); // cev1 and cev2 always filled
        }
        EXPECT_TRUE(words.contains(valueOf(sorubos, r, "dc1")))
            << set.toStdString() << ": " << words.join(u' ').toStdString();
    }
}

TEST_F(SynthTest, SameRowCountGivesTheSameBytes) {
    ASSERT_EQ(
        synth({QStringLiteral("--rows"), QStringLiteral("2000"), QStringLiteral("-o"), file()})
            .exitCode,
        0);
    ASSERT_EQ(synth({QStringLiteral("--rows"), QStringLiteral("2000"), QStringLiteral("-o"),
                     file(QStringLiteral("b.mdb"))})
                  .exitCode,
              0);
    QFile a(file()), b(file(QStringLiteral("b.mdb")));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll());
}

struct BadCall {
    const char* name;
    QStringList args;
    int exitCode;
};

void PrintTo(const BadCall& call, std::ostream* os) {
    *os << call.name;
}

class SynthRefuses : public SynthTest, public ::testing::WithParamInterface<BadCall> {};

TEST_P(SynthRefuses, WithExitCodeAndMessage) {
    QStringList args;
    for (const QString& a : GetParam().args)
        args << (a == u"FILE"      ? file()
                 : a == u"MISSING" ? dir_.filePath(QStringLiteral("yok/synth.mdb"))
                                   : a);
    const test::ToolRun run = synth(args);
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_FALSE(QFile::exists(file()));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SynthRefuses,
    ::testing::Values(BadCall{"NoArguments", {}, 64},
                      BadCall{"NoOutput", {QStringLiteral("--rows"), QStringLiteral("5")}, 64},
                      BadCall{"NoRows", {QStringLiteral("-o"), QStringLiteral("FILE")}, 64},
                      BadCall{"RowsNotANumber",
                              {QStringLiteral("--rows"), QStringLiteral("many"),
                               QStringLiteral("-o"), QStringLiteral("FILE")},
                              64},
                      BadCall{"NegativeRows",
                              {QStringLiteral("--rows"), QStringLiteral("-5"), QStringLiteral("-o"),
                               QStringLiteral("FILE")},
                              64},
                      BadCall{"UnknownOption",
                              {QStringLiteral("--rows"), QStringLiteral("5"), QStringLiteral("-o"),
                               QStringLiteral("FILE"), QStringLiteral("--fast")},
                              64},
                      BadCall{"UnwritablePlace",
                              {QStringLiteral("--rows"), QStringLiteral("5"), QStringLiteral("-o"),
                               QStringLiteral("MISSING")},
                              2}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
