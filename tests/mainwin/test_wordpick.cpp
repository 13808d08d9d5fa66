#include "wordpick.h"

#include "qtprint.h"

#include <gtest/gtest.h>

namespace peltavo {
namespace {

struct PickCase {
    const char* what;
    QString line;
    int column;
    QString expected;
};

void PrintTo(const PickCase& c, std::ostream* os) {
    *os << c.what;
}

class WordAtCaret : public ::testing::TestWithParam<PickCase> {};

TEST_P(WordAtCaret, PicksAndShortens) {
    const PickCase& c = GetParam();
    EXPECT_EQ(wordAtCaret(c.line, c.column), c.expected)
        << c.what << ": line \"" << c.line.toStdString() << "\", column " << c.column;
}

// The cut table: a word of k characters (its space included) keeps k/2+1 of them from five on.
INSTANTIATE_TEST_SUITE_P(
    CutTable, WordAtCaret,
    ::testing::Values(
        PickCase{"k=2: I with its space", QStringLiteral("I am here"), 1, QStringLiteral("I ")},
        PickCase{"k=3: am with its space", QStringLiteral("I am here"), 3, QStringLiteral("am ")},
        PickCase{"k=3: cat at the line's end", QStringLiteral("a black cat"), 9,
                 QStringLiteral("cat")},
        PickCase{"k=4: book at the line's end", QStringLiteral("a book"), 4,
                 QStringLiteral("book")},
        PickCase{"k=5: Good with its space", QStringLiteral("Good morning, Ali."), 2,
                 QStringLiteral("Goo")},
        PickCase{"k=6: hello with its space", QStringLiteral("hello world"), 3,
                 QStringLiteral("hell")},
        PickCase{"k=7: morning at the line's end", QStringLiteral("Good morning"), 8,
                 QStringLiteral("morn")},
        PickCase{"k=8: morning with its space", QStringLiteral("Good morning everyone"), 8,
                 QStringLiteral("morni")},
        PickCase{"k=9: evenings with its space", QStringLiteral("Good evenings here"), 9,
                 QStringLiteral("eveni")},
        PickCase{"k=10: beautiful with its space", QStringLiteral("a beautiful day"), 5,
                 QStringLiteral("beauti")}));

INSTANTIATE_TEST_SUITE_P(
    Edges, WordAtCaret,
    ::testing::Values(PickCase{"caret right after a space takes the word before it",
                               QStringLiteral("I am here"), 5, QStringLiteral("am ")},
                      PickCase{"caret after the space behind the first word",
                               QStringLiteral("hello world"), 6, QStringLiteral("hell")},
                      PickCase{"caret at the line's start takes its first word",
                               QStringLiteral("morning has come"), 0, QStringLiteral("morni")},
                      PickCase{"caret after the first letter", QStringLiteral("morning has come"),
                               1, QStringLiteral("morni")},
                      PickCase{"caret at the very end takes the last word without a space",
                               QStringLiteral("Good morning"), 12, QStringLiteral("morn")},
                      PickCase{"middle of a word in the middle of a line",
                               QStringLiteral("Good morning to you"), 9, QStringLiteral("morni")},
                      PickCase{"empty line", QString(), 0, QString()},
                      PickCase{"one-letter word alone on a line", QStringLiteral("I"), 1,
                               QStringLiteral("I")},
                      PickCase{"a line that starts with a space gives that space",
                               QStringLiteral(" abc"), 1, QStringLiteral(" ")},
                      PickCase{"only the plain space ends a word, not a tab",
                               QStringLiteral("one\ttwo three"), 5, QStringLiteral("one\tt")},
                      PickCase{"Turkish letters count as one character each",
                               QStringLiteral("Günaydın, Ayşe."), 3, QStringLiteral("Günayd")},
                      PickCase{"punctuation stays with the word",
                               QStringLiteral("Ali, how are you?"), 14, QStringLiteral("you?")}));

TEST(ShortenSearchWord, KeepsHalfPlusOneFromFiveCharactersOn) {
    const QString word = QStringLiteral("abcdefghijkl");
    const int kept[] = {0, 1, 2, 3, 4, 3, 4, 4, 5, 5, 6, 6, 7};
    for (int k = 0; k <= 12; ++k)
        EXPECT_EQ(shortenSearchWord(word.left(k)).size(), kept[k]) << "length " << k;
    EXPECT_EQ(shortenSearchWord(QStringLiteral("Good ")), QStringLiteral("Goo"));
}

struct TouchCase {
    const char* what;
    QString line;
    int column;
    int start;
    int length;
};

TEST(WordTouching, TakesTheWordAfterTheCaretElseTheOneBefore) {
    const TouchCase cases[] = {
        {"inside a word", QStringLiteral("Good morning, Ali."), 7, 5, 8},
        {"at a word's start after a space", QStringLiteral("Good morning"), 5, 5, 7},
        {"right behind a word, before a space", QStringLiteral("Good morning"), 4, 0, 4},
        {"at the line's end", QStringLiteral("Good morning"), 12, 5, 7},
        {"between two spaces", QStringLiteral("Good  morning"), 5, 0, 0},
        {"punctuation belongs to the word", QStringLiteral("(don't!) go"), 3, 0, 8},
        {"only U+0020 parts words", QStringLiteral("one\ttwo"), 5, 0, 7},
        {"a column past the line", QStringLiteral("abc"), 9, 0, 0},
    };
    for (const TouchCase& c : cases) {
        const WordSpan span = wordTouching(c.line, c.column);
        EXPECT_EQ(span.length, c.length) << c.what;
        if (c.length > 0) {
            EXPECT_EQ(span.start, c.start) << c.what;
        }
    }
}

TEST(BareWord, LosesThePunctuationAroundItOnly) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Hello,"), QStringLiteral("Hello")},
        {QStringLiteral("\"(don't!)\""), QStringLiteral("don't")},
        {QStringLiteral("İstanbul'da?"), QStringLiteral("İstanbul'da")},
        {QStringLiteral("10.15'te"), QStringLiteral("10.15'te")},
        {QStringLiteral("«evde»"), QStringLiteral("evde")},
        {QStringLiteral("—"), QString()},
    };
    for (const auto& [word, bare] : cases)
        EXPECT_EQ(bareWord(word), bare) << word.toStdString();
}

} // namespace
} // namespace peltavo
