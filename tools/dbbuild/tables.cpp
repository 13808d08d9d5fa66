#include "tables.h"

#include "dictionary.h"

#include <algorithm>

#include <set>

namespace peltavo::dbbuild {

namespace {

Column integer(const QString& name) {
    return Column{name, ColumnType::Integer, 0};
}
Column text(const QString& name, int maxLength) {
    return Column{name, ColumnType::Text, maxLength};
}
Column memo(const QString& name) {
    return Column{name, ColumnType::Memo, 0};
}

const QString kLineBreak = QStringLiteral("\r\n");

TableData dictionaryTable(const QString& name, const QString& key, const QString& headword,
                          const QString& meaning, const std::vector<DictionaryEntry>& entries) {
    std::vector<const DictionaryEntry*> sorted;
    sorted.reserve(entries.size());
    for (const DictionaryEntry& entry : entries)
        sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(), [](const DictionaryEntry* a, const DictionaryEntry* b) {
        return a->headword < b->headword;
    });
    TableData table{name, {integer(key), text(headword, kHeadwordMaxLength), memo(meaning)}, {}};
    table.rows.reserve(entries.size());
    int number = 0;
    for (const DictionaryEntry* entry : sorted)
        table.rows.push_back({QString::number(++number), entry->headword, meaningOf(*entry)});
    return table;
}

} // namespace

std::vector<TableData> buildTables(const Content& content) {
    std::vector<TableData> tables;

    TableData konus{QStringLiteral("konus"),
                    {integer(QStringLiteral("kno")), memo(QStringLiteral("ikonus")),
                     memo(QStringLiteral("tkonus")), text(QStringLiteral("konu"), kTitleMaxLength)},
                    {}};
    int number = 0;
    for (const Conversation& c : content.conversations)
        konus.rows.push_back({QString::number(++number), c.english.join(kLineBreak),
                              c.turkish.join(kLineBreak), c.title});
    tables.push_back(std::move(konus));

    tables.push_back(dictionaryTable(QStringLiteral("isozluk"), QStringLiteral("ino"),
                                     QStringLiteral("ikelime"), QStringLiteral("tanlam"),
                                     content.englishTurkish));
    tables.push_back(dictionaryTable(QStringLiteral("tsozluk"), QStringLiteral("tno"),
                                     QStringLiteral("tkelime"), QStringLiteral("ianlam"),
                                     content.turkishEnglish));

    TableData sorubos{QStringLiteral("sorubos"),
                      {integer(QStringLiteral("Number")), text(QStringLiteral("soru"), 255),
                       text(QStringLiteral("testad"), kWordMaxLength),
                       text(QStringLiteral("dc1"), kWordMaxLength),
                       text(QStringLiteral("dc2"), kWordMaxLength),
                       text(QStringLiteral("dc3"), kWordMaxLength)},
                      {}};
    for (const Question& q : content.questions) {
        std::vector<FieldValue> row{QString::number(q.number), q.sentence, q.answerSet};
        for (qsizetype k = 0; k < 3; ++k)
            row.push_back(k < q.answers.size() ? FieldValue{q.answers[k]} : FieldValue{});
        sorubos.rows.push_back(std::move(row));
    }
    tables.push_back(std::move(sorubos));

    TableData cevap{QStringLiteral("cevap"), {text(QStringLiteral("testad"), kWordMaxLength)}, {}};
    for (int k = 1; k <= kMaxSetWords; ++k)
        cevap.columns.push_back(text(QStringLiteral("cev%1").arg(k), kWordMaxLength));
    for (const AnswerSet& set : content.answerSets) {
        std::vector<FieldValue> row{set.name};
        for (qsizetype k = 0; k < kMaxSetWords; ++k)
            row.push_back(k < set.words.size() ? FieldValue{set.words[k]} : FieldValue{});
        cevap.rows.push_back(std::move(row));
    }
    tables.push_back(std::move(cevap));
    return tables;
}

std::vector<Problem> checkTables(const std::vector<TableData>& tables) {
    // Fields the program reads as text in its own code, where a null stops it.
    static const std::set<std::pair<QString, QString>> required{
        {QStringLiteral("isozluk"), QStringLiteral("ikelime")},
        {QStringLiteral("isozluk"), QStringLiteral("tanlam")},
        {QStringLiteral("tsozluk"), QStringLiteral("tkelime")},
        {QStringLiteral("tsozluk"), QStringLiteral("ianlam")},
        {QStringLiteral("sorubos"), QStringLiteral("Number")},
        {QStringLiteral("sorubos"), QStringLiteral("soru")},
        {QStringLiteral("sorubos"), QStringLiteral("testad")},
        {QStringLiteral("sorubos"), QStringLiteral("dc1")},
        {QStringLiteral("cevap"), QStringLiteral("testad")},
        {QStringLiteral("cevap"), QStringLiteral("cev1")},
        {QStringLiteral("cevap"), QStringLiteral("cev2")},
    };
    static const std::set<QString> headwords{QStringLiteral("ikelime"), QStringLiteral("tkelime")};
    std::vector<Problem> problems;
    for (const TableData& table : tables) {
        for (size_t r = 0; r < table.rows.size(); ++r) {
            const auto& row = table.rows[r];
            auto report = [&](const Column& column, const QString& message) {
                problems.push_back(
                    {QStringLiteral("table %1").arg(table.name), 0,
                     QStringLiteral("row %1, %2: %3").arg(r + 1).arg(column.name, message)});
            };
            if (row.size() != table.columns.size()) {
                problems.push_back({QStringLiteral("table %1").arg(table.name), 0,
                                    QStringLiteral("row %1 has %2 values for %3 columns")
                                        .arg(r + 1)
                                        .arg(row.size())
                                        .arg(table.columns.size())});
                continue;
            }
            for (size_t c = 0; c < row.size(); ++c) {
                const Column& column = table.columns[c];
                const FieldValue& value = row[c];
                if (!value) {
                    if (required.count({table.name, column.name}))
                        report(column, QStringLiteral("no value, but the program always reads "
                                                      "this field"));
                    continue;
                }
                if (column.type == ColumnType::Text && value->size() > column.maxLength)
                    report(column, QStringLiteral("\"%1...\" is longer than %2 characters")
                                       .arg(value->left(40))
                                       .arg(column.maxLength));
                if (headwords.count(column.name) && value->trimmed().isEmpty())
                    report(column, QStringLiteral("empty headword"));
            }
        }
    }
    return problems;
}

} // namespace peltavo::dbbuild
