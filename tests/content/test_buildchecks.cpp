// peltavo-db build refuses content that the program would show badly or never show, naming the
// file and the line: one bad snippet at a time, on a small content folder that builds otherwise.
#include "contentfolder.h"
#include "peltavodb.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using peltavo::test::ContentFolder;
using peltavo::test::runPeltavoDb;

namespace {

constexpr auto kConv = "conversations/01-hello.txt";
constexpr auto kSets = "quiz/answer-sets.txt";
constexpr auto kQuestions = "quiz/questions.txt";
constexpr auto kEnglish = "dictionary/en-tr/h.txt";
constexpr auto kTurkish = "dictionary/tr-en/m.txt";

const std::string kSetsWithAdverbs = "# level: A1\n"
                                     "be | am | is | are\n"
                                     "# level: A1\n"
                                     "places | in | on | at | next to\n"
                                     "# level: A1\n"
                                     "how-often | often | occasionally\n";

// The sets of the sound folder and a set whose questions must give their base word.
const std::string kSetsWithBaseWord = "# level: A1\n"
                                      "be | am | is | are\n"
                                      "# level: A1\n"
                                      "places | in | on | at | next to\n"
                                      "# level: B1\n"
                                      "# base word: required\n"
                                      "gerund | to swim | swimming\n";

// A questions file: `lines` numbered from 1 on, then a spare that repeats the first (which the
// cases keep sound).
std::string questions(const std::vector<std::string>& lines) {
    std::string text;
    int number = 0;
    for (const std::string& line : lines)
        text += std::to_string(++number) + " | " + line + "\n";
    return text + std::to_string(number + 1) + " | " + lines.front() + "\n";
}

// 679 questions: 677 is asked by no draw (678 comes in its place) and repeats nothing.
std::string questionsWith677Alone() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 678; ++n)
        lines.push_back("Question " + std::to_string(n) + " ___ here. | be | is");
    return questions(lines);
}

// The content files a case writes over the sound folder; the problem is reported in the last one.
struct RefusedCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files; // relative path, content
    std::string problem;                                    // ":LINE: " and how its message begins
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
    *out << c.name;
}

const std::vector<RefusedCase> kCases{
    // A conversation line of more than 110 characters, on either side.
    {"EnglishLineOver110",
     {{kConv, "Hello\nHello, Ali.\n" + std::string(111, 'a') + "\n---\nMerhaba, Ali.\nA.\n"}},
     ":3: the line has 111 characters; a line of more than 110 wraps"},
    {"TurkishLineOver110",
     {{kConv, "Hello\nHello, Ali.\n---\nMerhaba, Ali. " + std::string(97, 'c') + "ç\n"}},
     ":4: the line has 112 characters"},
    {"LineOf110IsFine",
     {{kConv, "Hello\n" + std::string(110, 'a') + "\n---\nMerhaba.\n"},
      {kQuestions, questions({"She ___ here. | be | is", "I ___ here. | be | was"})}},
     ":2: the answer \"was\" is not a word of answer set \"be\""},
    // Sentences that run off the quiz window: when asked, with an answer in the gap, and with the
    // gap at the start.
    {"TooWideWhenAsked",
     {{kQuestions, questions({"She ___ here. | be | is",
                              "They ___ at the little café next to the old railway station "
                              "every Saturday morning. | be | are"})}},
     ":2: the sentence runs off the quiz window: when it is asked"},
    {"TooWideWithTheAnswerRevealed",
     {{kSets, kSetsWithAdverbs},
      {kQuestions, questions({"She ___ here. | be | is",
                              "My grandmother and my grandfather ___ visit us here in the "
                              "summer. | how-often | often | occasionally"})}},
     ":2: the sentence runs off the quiz window: with \"occasionally\" in the gap"},
    {"LeadingGapTooWide",
     {{kQuestions, questions({"She ___ here. | be | is",
                              "___ you sure that you want to leave the party before the cake "
                              "and the presents? | be | Are"})}},
     ":2: the sentence runs off the quiz window: when it is asked"},
    {"AnswerWordWiderThanItsButton",
     {{kSets, "# level: A1\nbe | am | is | are\n# level: A1\nplaces | in | on | at | next to | "
              "extraordinarily\n"}},
     ":4: the word \"extraordinarily\" is"},
    // A set whose buttons are forms of one word needs that word in every question.
    {"BaseWordMissing",
     {{kSets, kSetsWithBaseWord},
      {kQuestions, questions({"She ___ here. | be | is",
                              "I enjoy ___ in the sea. (swim) | gerund | "
                              "swimming",
                              "It's too cold ___ today. | gerund | to swim"})}},
     ":3: answer set \"gerund\" requires the base word"},
    {"BaseWordEmpty",
     {{kSets, kSetsWithBaseWord},
      {kQuestions, questions({"She ___ here. | be | is", "It's too cold ___ today. () | gerund | "
                                                         "to swim"})}},
     ":2: answer set \"gerund\" requires the base word"},
    // Questions the quiz never draws must repeat an earlier one.
    {"LastQuestionNoSpare",
     {{kQuestions, "1 | She ___ here. | be | is\n2 | We ___ here. | be | are\n"}},
     ":2: the quiz never draws the question with the highest number, so nobody would see \"We ___ "
     "here.\""},
    {"SpareWithOtherAnswers",
     {{kQuestions, "1 | She ___ here. | be | is\n2 | She ___ here. | be | are\n"}},
     ":2: the quiz never draws the question with the highest number"},
    {"Question677Alone",
     {{kQuestions, questionsWith677Alone()}},
     ":677: the quiz never draws question 677 (it asks 678 in its place), so nobody would see "
     "\"Question 677 ___ here.\""},
    // The dictionaries: what a rule can see in a line.
    {"DictionaryBracketNotClosed",
     {{kEnglish, "hello | merhaba\nhi | (ünlem selam\n"}},
     ":2: sense 1 of \"hi\" opens a parenthesis that it does not close"},
    {"DictionaryBracketNeverOpened",
     {{kEnglish, "hello | merhaba | )selam\n"}},
     ":1: sense 2 of \"hello\" closes a parenthesis that it never opened"},
    {"DictionaryLabelNotOfTheList",
     {{kEnglish, "hello | merhaba\nhi\n    (ünl.) selam\n"}},
     ":3: sense 1 of \"hi\" carries \"(ünl.)\", which is no label of the list"},
    {"DictionaryLabelAfterAPhrase",
     {{kEnglish, "hello | merhaba | say hello: (ünlem) (selm.) selam vermek\n"}},
     ":1: sense 2 of \"hello\" carries \"(selm.)\""},
    {"DictionaryEnglishLabel",
     {{kTurkish, "merhaba | (colloq.) hi\n"}},
     ":1: sense 1 of \"merhaba\" carries the English label \"(colloq.)\""},
    {"DictionaryColonInsideAPhrase",
     {{kEnglish, "hello | merhaba\nrank | rütbe | rank and: file fertler\n"}},
     ":2: sense 2 of \"rank\" has its colon inside the phrase, after \"rank and\""},
    {"DictionaryLabelsWithAComma",
     {{kEnglish, "hello | merhaba | (A.B.D.), (k. dili) selam\n"}},
     ":1: sense 2 of \"hello\" writes the labels \"(A.B.D.), (k. dili)\" with a comma"},
    {"DictionaryStressMark",
     {{kEnglish, "hello | merhaba | hel\u00b4lo there: merhaba\n"}},
     ":1: sense 2 of \"hello\" holds a stress mark"},
    {"DictionaryHeadwordTwice",
     {{kEnglish, "hello | merhaba\nhi = hello | selam\nhello | selam\n"}},
     ":3: the headword \"hello\" is given twice"},
    {"DictionaryEmptySense",
     {{kEnglish, "hello | merhaba |  | selam\n"}},
     ":1: sense 2 of \"hello\" is empty"},
    {"DictionaryBlockWithoutSense",
     {{kEnglish, "hello\n\nhi = hello | selam\n"}},
     ":1: \"hello\" has no sense"},
    {"DictionaryBaseWithoutEntry",
     {{kEnglish, "hi = hello | selam\n"}},
     ":1: the base \"hello\" has no entry of its own"},
    {"DictionarySenseWithoutHeadword",
     {{kEnglish, "    merhaba\nhello | merhaba\n"}},
     ":1: an indented sense line without its headword above it"},
};

class BuildRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(BuildRefuses, TheSnippetWithFileAndLineAndWritesNothing) {
    const RefusedCase& c = GetParam();
    ContentFolder folder;
    for (const auto& [file, bytes] : c.files)
        folder.set(QString::fromStdString(file), QByteArray::fromStdString(bytes));
    const QString root = folder.write();
    ASSERT_FALSE(root.isEmpty());
    QTemporaryDir out;
    const QString database = out.filePath(QStringLiteral("peltavo.MDB"));

    const peltavo::test::ToolRun run =
        runPeltavoDb({QStringLiteral("build"), root, QStringLiteral("-o"), database});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_FALSE(QFile::exists(database));
    const QString expected = folder.path(QString::fromStdString(c.files.back().first)) +
                             QString::fromStdString(c.problem);
    EXPECT_TRUE(run.err.contains(expected)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("build: 1 problem(s) in the content")))
        << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Snippets, BuildRefuses, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

} // namespace
