// From compiled content to the five tables of the learning database, and the last check before
// they are written.
#include "tables.h"

#include <gtest/gtest.h>

using namespace peltavo;
using namespace peltavo::dbbuild;

namespace {

Content sampleContent() {
    Content content;
    content.conversations.push_back({QStringLiteral("a.txt"),
                                     QStringLiteral("Hello"),
                                     {QStringLiteral("Hello."), QStringLiteral("How are you?")},
                                     {QStringLiteral("Merhaba."), QStringLiteral("Nasılsın?")}});
    content.answerSets.push_back({QStringLiteral("be"), {u"am"_qs, u"is"_qs, u"are"_qs}, 1, u"A1"_qs});
    content.questions.push_back({1, u"I         here."_qs, u"be"_qs, {u"am"_qs}, 1});
    content.questions.push_back({2, u"It         late."_qs, u"be"_qs, {u"is"_qs, u"was"_qs}, 2});
    content.englishTurkish.push_back({u"book"_qs, {}, {u"kitap"_qs}, {}, 1});
    content.turkishEnglish.push_back({u"şu"_qs, {}, {u"that"_qs}, {}, 1});
    content.turkishEnglish.push_back({u"çay"_qs, {}, {u"tea"_qs}, {}, 2});
    return content;
}

std::vector<std::pair<QString, ColumnType>> shape(const TableData& table) {
    std::vector<std::pair<QString, ColumnType>> result;
    for (const Column& column : table.columns)
        result.emplace_back(column.name, column.type);
    return result;
}

TEST(BuildTables, FiveTablesWithTheFieldNamesTheProgramReads) {
    const auto tables = buildTables(sampleContent());
    ASSERT_EQ(tables.size(), 5u);
    using enum ColumnType;
    using Shape = std::vector<std::pair<QString, ColumnType>>;
    EXPECT_EQ(
        shape(tables[0]),
        (Shape{
            {u"kno"_qs, Integer}, {u"ikonus"_qs, Memo}, {u"tkonus"_qs, Memo}, {u"konu"_qs, Text}}));
    EXPECT_EQ(shape(tables[1]),
              (Shape{{u"ino"_qs, Integer}, {u"ikelime"_qs, Text}, {u"tanlam"_qs, Memo}}));
    EXPECT_EQ(shape(tables[2]),
              (Shape{{u"tno"_qs, Integer}, {u"tkelime"_qs, Text}, {u"ianlam"_qs, Memo}}));
    EXPECT_EQ(shape(tables[3]), (Shape{{u"Number"_qs, Integer},
                                       {u"soru"_qs, Text},
                                       {u"testad"_qs, Text},
                                       {u"dc1"_qs, Text},
                                       {u"dc2"_qs, Text},
                                       {u"dc3"_qs, Text}}));
    Shape cevap{{u"testad"_qs, Text}};
    for (int k = 1; k <= 11; ++k)
        cevap.emplace_back(QStringLiteral("cev%1").arg(k), Text);
    EXPECT_EQ(shape(tables[4]), cevap);
    EXPECT_EQ(tables[0].name, u"konus");
    EXPECT_EQ(tables[1].name, u"isozluk");
    EXPECT_EQ(tables[2].name, u"tsozluk");
    EXPECT_EQ(tables[3].name, u"sorubos");
    EXPECT_EQ(tables[4].name, u"cevap");
}

TEST(BuildTables, RowsCarryTheContentWithCrLfLinesAndNullsForUnusedFields) {
    const auto tables = buildTables(sampleContent());
    using Row = std::vector<FieldValue>;
    EXPECT_EQ(tables[0].rows, (std::vector<Row>{{u"1"_qs, u"Hello.\r\nHow are you?"_qs,
                                                 u"Merhaba.\r\nNasılsın?"_qs, u"Hello"_qs}}));
    EXPECT_EQ(tables[1].rows, (std::vector<Row>{{u"1"_qs, u"book"_qs, u"kitap"_qs}}));
    EXPECT_EQ(tables[2].rows,
              (std::vector<Row>{{u"1"_qs, u"çay"_qs, u"tea"_qs}, {u"2"_qs, u"şu"_qs, u"that"_qs}}));
    EXPECT_EQ(
        tables[3].rows,
        (std::vector<Row>{{u"1"_qs, u"I         here."_qs, u"be"_qs, u"am"_qs, {}, {}},
                          {u"2"_qs, u"It         late."_qs, u"be"_qs, u"is"_qs, u"was"_qs, {}}}));
    Row set{u"be"_qs, u"am"_qs, u"is"_qs, u"are"_qs};
    set.resize(12);
    EXPECT_EQ(tables[4].rows, std::vector<Row>{set});
    EXPECT_TRUE(checkTables(tables).empty());
}

struct TableFault {
    const char* name;
    size_t table;
    size_t row;
    size_t column;
    FieldValue value;
    const char* fragment;
};

void PrintTo(const TableFault& fault, std::ostream* out) {
    *out << fault.name;
}

class CheckTables : public ::testing::TestWithParam<TableFault> {};

TEST_P(CheckTables, ReportsWhatTheProgramWouldTripOver) {
    auto tables = buildTables(sampleContent());
    const TableFault& fault = GetParam();
    tables[fault.table].rows[fault.row][fault.column] = fault.value;
    const auto problems = checkTables(tables);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].file, QStringLiteral("table ") + tables[fault.table].name);
    EXPECT_TRUE(
        problems[0].message.startsWith(QStringLiteral("row %1, %2: ")
                                           .arg(fault.row + 1)
                                           .arg(tables[fault.table].columns[fault.column].name)))
        << problems[0].toString().toStdString();
    EXPECT_TRUE(problems[0].message.contains(QString::fromUtf8(fault.fragment)))
        << problems[0].toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CheckTables,
    ::testing::Values(TableFault{"LongHeadword", 1, 0, 1, QString(256, u'x'), "longer than 255"},
                      TableFault{"EmptyHeadword", 2, 0, 1, u" "_qs, "empty headword"},
                      TableFault{"NullMeaning", 1, 0, 2, {}, "no value"},
                      TableFault{"NullSentence", 3, 1, 1, {}, "no value"},
                      TableFault{"NullCorrectAnswer", 3, 0, 3, {}, "no value"},
                      TableFault{"LongAnswer", 3, 0, 4, QString(51, u'x'), "longer than 50"},
                      TableFault{"NullSecondButton", 4, 0, 2, {}, "no value"},
                      TableFault{"LongTitle", 0, 0, 3, QString(101, u'x'), "longer than 100"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckTables, NullsWhereTheProgramTestsFirstAreFine) {
    auto tables = buildTables(sampleContent());
    tables[0].rows[0][2] = FieldValue{};  // tkonus: shown in a memo, never read as text
    tables[4].rows[0][11] = FieldValue{}; // cev11
    EXPECT_TRUE(checkTables(tables).empty());
}

} // namespace
