// The table handle on the sample database: movement, filters, sorting and its errors.
#include "dbopening.h"
#include "error.h"
#include "fieldlink.h"
#include "tablehandle.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace peltavo;

namespace {

QString samplePath() {
    return test::fixture(QStringLiteral("peltavo-sample.mdb"));
}

// Runs `action` and returns the message of the peltavo::Error it throws ("" when none).
template <typename F> QString errorOf(F&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

std::unique_ptr<TableHandle> openTable(const QString& component, const QString& table,
                                       const QString& sort = {}) {
    auto handle = std::make_unique<TableHandle>(component);
    handle->setConnectionString(jetConnectionString(samplePath(), QStringLiteral("947")));
    handle->setTableName(table);
    handle->open();
    if (!sort.isEmpty())
        handle->setSort(sort);
    return handle;
}

QStringList column(const TableHandle& t, const QString& field) {
    QStringList values;
    for (int i = 0; i < t.recordCount(); ++i)
        values << t.valueAt(i, field).value_or(QStringLiteral("<NULL>"));
    return values;
}

TEST(TableHandleClosed, OperationsFailWithTheComponentNameAndSettingsAreOnlyRecorded) {
    TableHandle table(QStringLiteral("Table"));
    const QString closed =
        QStringLiteral("Table: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(errorOf([&] { table.next(); }), closed);
    EXPECT_EQ(errorOf([&] { table.prior(); }), closed);
    EXPECT_EQ(errorOf([&] { (void)table.eof(); }), closed);
    EXPECT_EQ(errorOf([&] { (void)table.recordCount(); }), closed);
    EXPECT_EQ(errorOf([&] { (void)table.fieldAsString(QStringLiteral("ikonus")); }),
              QStringLiteral("Table: Field 'ikonus' not found"));

    // A filter set while closed is applied by the next open.
    table.setFilter(QStringLiteral("ikelime >= 'lib'"));
    table.setFiltered(true);
    table.setConnectionString(jetConnectionString(samplePath(), QString()));
    table.setTableName(QStringLiteral("isozluk"));
    table.setSort(QStringLiteral("ikelime"));
    table.open();
    EXPECT_EQ(table.fieldAsString(QStringLiteral("ikelime")), QStringLiteral("library"));
}

TEST(TableHandleMovement, ConversationsInFileOrderWithEndAndBeginningFlags) {
    auto table = openTable(QStringLiteral("Table"), QStringLiteral("konus"));
    ASSERT_EQ(table->recordCount(), 6);
    EXPECT_FALSE(table->eof());
    EXPECT_TRUE(table->fieldAsString(QStringLiteral("ikonus")).startsWith(u"Good morning"));

    table->prior();
    EXPECT_TRUE(table->bof());
    EXPECT_EQ(table->currentIndex(), 0);

    for (int i = 0; i < 5; ++i)
        table->next();
    EXPECT_EQ(table->currentIndex(), 5);
    EXPECT_FALSE(table->eof()) << "reaching the last row is not yet the end";
    table->next();
    EXPECT_TRUE(table->eof());
    EXPECT_EQ(table->currentIndex(), 5);
    table->next();
    EXPECT_EQ(table->currentIndex(), 5);

    table->prior();
    EXPECT_FALSE(table->eof()) << "a move back clears the end flag";
    EXPECT_EQ(table->currentIndex(), 4);

    // Conversation 5 has no Turkish text: null, not an empty text.
    table->moveTo(4);
    EXPECT_FALSE(table->fieldValue(QStringLiteral("tkonus")).has_value());
    EXPECT_EQ(errorOf([&] { (void)table->fieldAsString(QStringLiteral("tkonus")); }),
              QStringLiteral("Could not convert variant of type (Null) into type (String)"));
    EXPECT_EQ(errorOf([&] { (void)table->fieldAsString(QStringLiteral("nosuch")); }),
              QStringLiteral("Table: Field 'nosuch' not found"));
}

TEST(TableHandleMovement, LongMemoIsReadWhole) {
    auto table = openTable(QStringLiteral("Table"), QStringLiteral("konus"));
    table->moveTo(5);
    const QString english = table->fieldAsString(QStringLiteral("ikonus"));
    EXPECT_GT(english.size(), 65534);
    EXPECT_EQ(english.count(QStringLiteral("\r\n")) + 1, 1300);
    EXPECT_TRUE(english.contains(u"zanzibar"));
    EXPECT_GT(english.lastIndexOf(u"zanzibar"), 65534);
}

TEST(TableHandleSearch, DictionarySearchFromTheNearestHeadword) {
    auto table =
        openTable(QStringLiteral("Tablei"), QStringLiteral("isozluk"), QStringLiteral("ikelime"));
    const QStringList all = column(*table, QStringLiteral("ikelime"));
    ASSERT_EQ(all.size(), 53);
    // Case is ignored first, so Library sits beside library, lower case first.
    EXPECT_EQ(all.indexOf(QStringLiteral("Library")), all.indexOf(QStringLiteral("library")) + 1);

    table->setFilter(QStringLiteral("ikelime >= 'book'"));
    table->setFiltered(true);
    EXPECT_EQ(table->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("book"));
    EXPECT_EQ(column(*table, QStringLiteral("ikelime")),
              all.mid(all.indexOf(QStringLiteral("book"))));
    table->next();
    EXPECT_EQ(table->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("booking"));

    // The same expression again moves nothing; a new one goes to its first row.
    table->setFilter(QStringLiteral("ikelime >= 'book'"));
    EXPECT_EQ(table->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("booking"));
    table->setFilter(QStringLiteral("ikelime >= 'boo'"));
    EXPECT_EQ(table->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("book"));

    // A search text with its trailing blank (as the word pick leaves it) finds the word: blanks
    // do not decide; nor does case, so a capital finds the lower-case headword first.
    table->setFilter(QStringLiteral("ikelime >= 'book '"));
    EXPECT_EQ(table->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("book"));
    table->setFilter(QStringLiteral("ikelime >= 'LIBRARY'"));
    EXPECT_EQ(column(*table, QStringLiteral("ikelime")),
              all.mid(all.indexOf(QStringLiteral("library"))));
    // And an empty one lets every row through.
    table->setFilter(QStringLiteral("ikelime >= ''"));
    EXPECT_EQ(table->recordCount(), all.size());

    // Nothing sorts after "zzz": no row, end test true, next changes nothing, fields are null.
    table->setFilter(QStringLiteral("ikelime >= 'zzz'"));
    EXPECT_EQ(table->recordCount(), 0);
    EXPECT_TRUE(table->eof());
    table->next();
    EXPECT_EQ(table->currentIndex(), -1);
    EXPECT_EQ(errorOf([&] { (void)table->fieldAsString(QStringLiteral("ikelime")); }),
              QStringLiteral("Could not convert variant of type (Null) into type (String)"));

    table->setFiltered(false);
    EXPECT_EQ(table->recordCount(), all.size());
    EXPECT_EQ(table->currentIndex(), 0);

    // Off, a new expression is only recorded.
    table->next();
    table->setFilter(QStringLiteral("ikelime >= 'w'"));
    EXPECT_EQ(table->currentIndex(), 1);
    EXPECT_EQ(table->recordCount(), all.size());
}

TEST(TableHandleSearch, MalformedExpressionChangesNothing) {
    auto table =
        openTable(QStringLiteral("Tablei"), QStringLiteral("isozluk"), QStringLiteral("ikelime"));
    table->setFilter(QStringLiteral("ikelime >= 'go'"));
    table->setFiltered(true);
    table->next();
    for (const char* bad : {"ikelime >= 'go", "ikelime", "ikelime ~ 'go'", "ikelime >= go", "= 'x'",
                            "ikelime >= 'it's'"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(errorOf([&] {
                        table->setFilter(QString::fromUtf8(bad));
                    }).startsWith(u"Malformed filter expression"));
        EXPECT_EQ(table->filter(), QStringLiteral("ikelime >= 'go'"));
        EXPECT_EQ(table->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("good"));
    }
    EXPECT_EQ(errorOf([&] { table->setFilter(QStringLiteral("nosuch >= 'a'")); }),
              QStringLiteral("Tablei: Field 'nosuch' not found"));
}

TEST(TableHandleSearch, QuizFiltersByNumberAndAnswerSet) {
    auto questions = openTable(QStringLiteral("ADO"), QStringLiteral("sorubos"));
    questions->setFiltered(true);
    questions->setFilter(QStringLiteral("Number = 11"));
    ASSERT_EQ(questions->recordCount(), 1);
    EXPECT_EQ(questions->fieldAsString(QStringLiteral("dc2")), QStringLiteral("glad"));
    questions->setFilter(QStringLiteral("Number = 677"));
    EXPECT_EQ(questions->recordCount(), 0);
    EXPECT_EQ(errorOf([&] { questions->setFilter(QStringLiteral("Number = 'x'")); }),
              QStringLiteral("Data type mismatch in criteria expression"));

    auto sets = openTable(QStringLiteral("ADOCEV"), QStringLiteral("cevap"));
    sets->setFilter(QStringLiteral("testad = 't3'"));
    sets->setFiltered(true);
    ASSERT_EQ(sets->recordCount(), 1);
    EXPECT_FALSE(sets->fieldValue(QStringLiteral("cev5")).has_value());
    EXPECT_EQ(sets->fieldValue(QStringLiteral("cev7")), QString(QLatin1String("")));
    sets->setFilter(QStringLiteral("testad = 't5'"));
    EXPECT_EQ(sets->fieldAsString(QStringLiteral("cev3")), QStringLiteral("are "));
}

TEST(TableHandleSort, TurkishHeadwordsInTurkishOrder) {
    auto table =
        openTable(QStringLiteral("Tablet"), QStringLiteral("tsozluk"), QStringLiteral("tkelime"));
    const QStringList words = column(*table, QStringLiteral("tkelime"));
    auto before = [&](const char* a, const char* b) {
        return words.indexOf(QString::fromUtf8(a)) < words.indexOf(QString::fromUtf8(b));
    };
    EXPECT_TRUE(before("çok", "defter")) << "ç comes after c, before d";
    EXPECT_TRUE(before("ılık", "iyi")) << "ı comes before i";
    EXPECT_TRUE(before("ışık", "İstanbul") && before("İstanbul", "iyi") &&
                before("iyilik", "kitap"))
        << "İ sorts as i";
    EXPECT_TRUE(before("ödev", "pazar") && before("öğretmen", "pazar"));
    EXPECT_TRUE(before("şeker", "toplantı") && before("sabah", "şeker"));
    EXPECT_TRUE(before("uzun", "üzüm") && before("üzüm", "zaman"));

    table->setFilter(QStringLiteral("tkelime >= 'ı'"));
    table->setFiltered(true);
    EXPECT_EQ(table->fieldAsString(QStringLiteral("tkelime")), QStringLiteral("ılık"));
    table->setFilter(QStringLiteral("tkelime >= 'iz'"));
    EXPECT_EQ(table->fieldAsString(QStringLiteral("tkelime")), QStringLiteral("kitap"));
}

// On the sort field the handle finds the passing rows by binary search: they must be exactly
// the rows a plain scan with the same collation lets through, for every operator.
TEST(TableHandleSort, BinarySearchAgreesWithAScan) {
    std::mt19937 random(7);
    const QString letters = QStringLiteral("aAbBcçÇdeEğıIiİoöÖsşŞuüÜz '-");
    auto word = [&] {
        QString w;
        const int n = 1 + static_cast<int>(random() % 5);
        for (int i = 0; i < n; ++i)
            w += letters[static_cast<int>(random() % letters.size())];
        return w;
    };
    for (const char* name : {"isozluk", "tsozluk"}) {
        TableData data;
        data.columns = {Column{QStringLiteral("w"), ColumnType::Text, 255}};
        for (int i = 0; i < 400; ++i)
            data.rows.push_back({i % 37 == 0 ? FieldValue{} : FieldValue{word()}});
        const Collation collation(Collation::forTable(QString::fromLatin1(name)));
        TableHandle table(QStringLiteral("T"));
        table.setTableName(QString::fromLatin1(name));
        table.open(data);
        table.setSort(QStringLiteral("w"));
        table.setFiltered(true);
        for (int probe = 0; probe < 60; ++probe) {
            const QString value = word().remove(u'\'');
            for (const char* op : {"=", "<>", "<", "<=", ">", ">="}) {
                const QString expr = QStringLiteral("w %1 '%2'").arg(QLatin1String(op), value);
                table.setFilter(expr);
                const FilterExpr parsed = FilterExpr::parse(expr);
                QStringList expected;
                for (const auto& row : data.rows) {
                    if (row[0] && parsed.accepts(collation.compare(*row[0], value)))
                        expected << *row[0];
                }
                QStringList got = column(table, QStringLiteral("w"));
                std::sort(expected.begin(), expected.end());
                std::sort(got.begin(), got.end());
                ASSERT_EQ(got, expected) << name << ": " << expr.toStdString();
            }
        }
    }
}

// The lookup of equal values finds what the filter "=" lets through, on the sort field by binary
// search and on any other field by a scan, whatever filter is in force.
TEST(TableHandleLookup, FindsWhatAnEqualsFilterPassesWhateverTheFilter) {
    std::mt19937 random(3);
    const QString letters = QStringLiteral("aAbçÇeğıIiİoöÖsş '-");
    auto word = [&] {
        QString w;
        const int n = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < n; ++i)
            w += letters[static_cast<int>(random() % letters.size())];
        return w;
    };
    for (const char* name : {"isozluk", "tsozluk"}) {
        TableData data;
        data.columns = {Column{QStringLiteral("w"), ColumnType::Text, 255},
                        Column{QStringLiteral("n"), ColumnType::Text, 255}};
        for (int i = 0; i < 300; ++i) {
            data.rows.push_back({i % 29 == 0 ? FieldValue{} : FieldValue{word()},
                                 i % 31 == 0 ? FieldValue{} : FieldValue{QString::number(i)}});
        }
        for (const bool sorted : {true, false}) {
            TableHandle table(QStringLiteral("T"));
            table.setTableName(QString::fromLatin1(name));
            table.open(data);
            if (sorted)
                table.setSort(QStringLiteral("w"));
            for (int probe = 0; probe < 40; ++probe) {
                const QString value = word().remove(u'\'');
                // Another filter in force hides rows from the grid, not from the lookup.
                table.setFilter(QStringLiteral("w > '%1'").arg(word().remove(u'\'')));
                table.setFiltered(probe % 2 == 0);
                QStringList got;
                for (QStringView v :
                     table.textsWhereEqual(QStringLiteral("w"), value, QStringLiteral("n")))
                    got << v.toString();

                table.setFilter(QStringLiteral("w = '%1'").arg(value));
                table.setFiltered(true);
                QStringList expected;
                for (int i = 0; i < table.recordCount(); ++i)
                    expected << table.valueAt(i, QStringLiteral("n")).value_or(QString());
                if (!sorted) {
                    std::sort(expected.begin(), expected.end());
                    std::sort(got.begin(), got.end());
                }
                ASSERT_EQ(got, expected)
                    << name << (sorted ? ", sorted" : ", unsorted") << ": " << value.toStdString();
            }
        }
    }
}

TEST(TableHandleLookup, ComparesAsTheFiltersDoAndFailsAsReadingDoes) {
    auto table =
        openTable(QStringLiteral("Tablei"), QStringLiteral("isozluk"), QStringLiteral("ikelime"));
    const QString headword = QStringLiteral("ikelime");
    // Letter case never decides; the plainest spelling comes first; a null reads as empty.
    const auto library = table->textsWhereEqual(headword, u"LIBRARY", headword);
    ASSERT_EQ(library.size(), 2u);
    EXPECT_EQ(library[0], u"library");
    EXPECT_EQ(library[1], u"Library");
    const auto zebra = table->textsWhereEqual(headword, u"zebra", QStringLiteral("tanlam"));
    ASSERT_EQ(zebra.size(), 1u);
    EXPECT_TRUE(zebra[0].isEmpty());
    EXPECT_TRUE(table->textsWhereEqual(headword, u"boo", headword).empty());

    EXPECT_EQ(errorOf([&] { table->textsWhereEqual(QStringLiteral("nope"), u"x", headword); }),
              QStringLiteral("Tablei: Field 'nope' not found"));
    table->close();
    EXPECT_EQ(errorOf([&] { table->textsWhereEqual(headword, u"book", headword); }),
              QStringLiteral("Tablei: Cannot perform this operation on a closed dataset"));
}

TEST(TableHandleBinding, FieldLinkFollowsTheCurrentRow) {
    auto table = openTable(QStringLiteral("Table"), QStringLiteral("konus"));
    FieldLink link;
    QSignalSpy spy(&link, &FieldLink::textChanged);
    link.bind(table.get(), QStringLiteral("tkonus"));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.last().at(0).toString().startsWith(u"Günaydın"));
    table->moveTo(4);
    EXPECT_EQ(spy.last().at(0).toString(), QString()) << "a null field shows as empty text";
    table->close();
    EXPECT_EQ(spy.last().at(0).toString(), QString());
    link.bind(nullptr, QString());
    EXPECT_EQ(link.text(), QString());
}

TEST(ConnectionString, PathWithSemicolonsAndBlanksOpens) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("my db; copy 1.MDB"));
    ASSERT_TRUE(QFile::copy(samplePath(), path));
    EXPECT_EQ(jetConnectionString(path, QStringLiteral("947")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                  QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=947"));
    EXPECT_TRUE(jetConnectionString(path, QString()).endsWith(u";Jet OLEDB:Database Password="));
    for (const QString& password : {QStringLiteral("947"), QString()}) {
        EXPECT_EQ(dataSourceOf(jetConnectionString(path, password)), path);
        TableHandle table(QStringLiteral("ADO"));
        table.setConnectionString(jetConnectionString(path, password));
        table.setTableName(QStringLiteral("sorubos"));
        table.open();
        EXPECT_EQ(table.recordCount(), 12);
    }
}

} // namespace
