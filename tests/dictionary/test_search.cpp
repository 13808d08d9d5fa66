#include "dictionarygridmodel.h"
#include "dictionarysearch.h"
#include "error.h"
#include "lineedit.h"
#include "tablehandle.h"
#include "windowfixture.h"

#include <QTableView>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using test::MainWindowOnSample;

TEST(SearchText, ApostropheCutsTheTextAndNothingElseChanges) {
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {{"don't", "don"},   {"'abc", ""},      {"a'b'c", "a"}, {"book ", "book "},
                 {" Book", " Book"}, {"çay'ın", "çay"}, {"", ""},       {"'", ""},
                 {"it''s", "it"},    {"%_*[]", "%_*[]"}};
    for (const auto& c : cases)
        EXPECT_EQ(cutAtApostrophe(QString::fromUtf8(c.typed)), QString::fromUtf8(c.kept))
            << c.typed;
    EXPECT_EQ(headwordFilter(QStringLiteral("ikelime"), QStringLiteral("book ")),
              QStringLiteral("ikelime >= 'book '"));
}

// One press of "Sözlükte Ara" and what the learner then sees.
struct Search {
    const char* name;
    bool turkish; // after one direction switch
    const char* typed;
    const char* box;     // the search box after the press
    const char* filter;  // the expression on the table of the direction
    const char* first;   // the grid's first headword; empty: no rows
    const char* current; // the current entry
};

void PrintTo(const Search& s, std::ostream* os) {
    *os << s.name;
}

const Search kSearches[] = {
    {"book", false, "book", "book", "ikelime >= 'book'", "book", "booking"},
    {"apostrophe", false, "don't", "don", "ikelime >= 'don'", "don", "evening"},
    {"leadingApostrophe", false, "'abc", "", "ikelime >= ''", "about", "above"},
    {"trailingBlank", false, "book ", "book ", "ikelime >= 'book '", "book", "booking"},
    {"capitalised", false, "Book", "Book", "ikelime >= 'Book'", "book", "booking"},
    {"punctuationAfter", false, "book.", "book.", "ikelime >= 'book.'", "book", "booking"},
    {"betweenHeadwords", false, "boo", "boo", "ikelime >= 'boo'", "book", "booking"},
    {"afterEveryHeadword", false, "zzzz", "zzzz", "ikelime >= 'zzzz'", "", ""},
    {"lastEntry", false, "zero", "zero", "ikelime >= 'zero'", "zero", "zero"},
    {"turkish", true, "kitap", "kitap", "tkelime >= 'kitap'", "kitap", "kütüphane"},
    {"turkishDotlessI", true, "ılık", "ılık", "tkelime >= 'ılık'", "ılık", "ışık"},
    {"turkishCapitalDottedI", true, "İyi ", "İyi ", "tkelime >= 'İyi '", "iyi", "iyilik"},
};

class SearchPress : public ::testing::TestWithParam<Search> {
protected:
    MainWindowOnSample w;
};

TEST_P(SearchPress, ListsTheDictionaryFromTheTextOn) {
    const Search& s = GetParam();
    if (s.turkish)
        w->turbClick();
    TableHandle* table = s.turkish ? w->Tablet : w->Tablei;
    TableHandle* other = s.turkish ? w->Tablei : w->Tablet;
    const QString headword = s.turkish ? QStringLiteral("tkelime") : QStringLiteral("ikelime");

    w->ara->setText(QString::fromUtf8(s.typed));
    w->sarabClick();

    EXPECT_EQ(w->ara->text(), QString::fromUtf8(s.box));
    EXPECT_EQ(table->filter(), QString::fromUtf8(s.filter));
    EXPECT_TRUE(table->filtered());
    EXPECT_TRUE(other->filter().isEmpty());
    // The grid shows exactly the table's rows, its current row marked.
    DictionaryGridModel& grid = *w->sozlukModel;
    ASSERT_EQ(grid.rowCount(), table->recordCount());
    if (*s.first == '\0') {
        EXPECT_EQ(grid.rowCount(), 0);
        EXPECT_EQ(table->currentIndex(), -1);
        return;
    }
    EXPECT_EQ(grid.data(grid.index(0, 0)).toString(), QString::fromUtf8(s.first));
    EXPECT_EQ(table->fieldAsString(headword), QString::fromUtf8(s.current));
    EXPECT_EQ(grid.currentRow(), table->currentIndex());
    EXPECT_EQ(w->sozluk->currentIndex().row(), table->currentIndex());
}

INSTANTIATE_TEST_SUITE_P(Dictionary, SearchPress, ::testing::ValuesIn(kSearches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SearchSequence, TheSameTextAgainMovesOneEntryFurtherEachTime) {
    MainWindowOnSample w;
    const char* expected[] = {"booking", "bookshop", "cat"};
    for (const char* current : expected) {
        w->ara->setText(QStringLiteral("book"));
        w->sarabClick();
        EXPECT_EQ(w->Tablei->fieldAsString(QStringLiteral("ikelime")), QLatin1String(current));
        EXPECT_EQ(w->sozlukModel->data(w->sozlukModel->index(0, 0)).toString(),
                  QStringLiteral("book"));
    }
    // Typing alone searches nothing.
    w->ara->setText(QStringLiteral("zero"));
    EXPECT_EQ(w->Tablei->filter(), QStringLiteral("ikelime >= 'book'"));
    EXPECT_EQ(w->Tablei->fieldAsString(QStringLiteral("ikelime")), QStringLiteral("cat"));
}

TEST(SearchSequence, WithoutADatabaseTheFilterIsRecordedAndTheMoveFails) {
    MainWindowOnSample w(false);
    ProgramState& state = w.state;
    Tanaekr& window = *w;
    ASSERT_EQ(state.DirectionMode, QStringLiteral("it"));
    window.ara->setText(QStringLiteral("book"));
    try {
        window.sarabClick();
        FAIL() << "the move on a closed table must fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("Tablei: Cannot perform this operation on a closed dataset"));
    }
    EXPECT_EQ(window.Tablei->filter(), QStringLiteral("ikelime >= 'book'"));

    state.DirectionMode.clear(); // as after a start whose opening failed with an error
    window.ara->setText(QStringLiteral("cat"));
    EXPECT_NO_THROW(window.sarabClick());
    EXPECT_EQ(window.Tablei->filter(), QStringLiteral("ikelime >= 'book'"));
}

} // namespace
} // namespace peltavo
