// The content compiler on small content folders: what it makes of valid content, and that each
// kind of bad content is reported with the right file and line.
#include "content.h"
#include "contentfolder.h"

#include <gtest/gtest.h>

using peltavo::dbbuild::ContentResult;
using peltavo::dbbuild::Problem;
using peltavo::dbbuild::readContent;
using peltavo::test::ContentFolder;

namespace {

std::string describe(const std::vector<Problem>& problems) {
    std::string text;
    for (const Problem& p : problems)
        text += p.toString().toStdString() + "\n";
    return text;
}

const QString kNine(9, u' ');

// A stored sentence: the text before the gap, nine blanks, the text after it.
QString withGap(const char* before, const char* after) {
    return QString::fromUtf8(before) + kNine + QString::fromUtf8(after);
}

TEST(ContentRead, ValidFolderGivesItsConversationsSetsAndQuestions) {
    ContentFolder folder;
    const ContentResult result = readContent(folder.write());
    ASSERT_TRUE(result.ok()) << describe(result.problems);

    ASSERT_EQ(result.content.conversations.size(), 1u);
    const auto& conversation = result.content.conversations[0];
    EXPECT_EQ(conversation.title, u"Hello");
    EXPECT_EQ(conversation.english, (QStringList{u"Hello, Ali."_qs, u"Hi, Ayşe. How are you?"_qs}));
    EXPECT_EQ(conversation.turkish,
              (QStringList{u"Merhaba, Ali."_qs, u"Selam, Ayşe. Nasılsın?"_qs}));

    ASSERT_EQ(result.content.answerSets.size(), 2u);
    EXPECT_EQ(result.content.answerSets[1].name, u"places");
    EXPECT_EQ(result.content.answerSets[1].words,
              (QStringList{u"in"_qs, u"on"_qs, u"at"_qs, u"next to"_qs}));

    ASSERT_EQ(result.content.questions.size(), 4u);
    EXPECT_EQ(result.content.questions[1].sentence, withGap("", "you ready?"));
    EXPECT_EQ(result.content.questions[1].answers, QStringList{u"Are"_qs});
    EXPECT_EQ(result.content.questions[2].sentence, withGap("The keys are", "the table."));
    EXPECT_EQ(result.content.questions[2].answers, (QStringList{u"on"_qs, u"next to"_qs}));
}

TEST(ContentRead, ToleratesWindowsLineEndsByteOrderMarkAndBlankLinesAroundTheSides) {
    ContentFolder folder;
    folder.set(u"conversations/01-hello.txt"_qs,
               "\xEF\xBB\xBF\r\nHello\r\n\r\nHello, Ali.  \r\nHi.\r\n\r\n-----\r\n\r\n"
               "Merhaba, Ali.\r\nSelam.\r\n\r\n\r\n");
    const ContentResult result = readContent(folder.write());
    ASSERT_TRUE(result.ok()) << describe(result.problems);
    const auto& conversation = result.content.conversations[0];
    EXPECT_EQ(conversation.title, u"Hello");
    EXPECT_EQ(conversation.english, (QStringList{u"Hello, Ali."_qs, u"Hi."_qs}));
    EXPECT_EQ(conversation.turkish, (QStringList{u"Merhaba, Ali."_qs, u"Selam."_qs}));
}

TEST(ContentRead, ConversationsComeInFileNameOrderAndOtherFilesAreIgnored) {
    ContentFolder folder;
    folder.set(u"conversations/10-later.txt"_qs, "Later\nBye.\n---\nHoşça kal.\n");
    folder.set(u"conversations/02-second.txt"_qs, "Second\nYes.\n---\nEvet.\n");
    folder.set(u"conversations/02-second.txt~"_qs, "not a conversation");
    folder.set(u"conversations/notes.md"_qs, "not a conversation either");
    const ContentResult result = readContent(folder.write());
    ASSERT_TRUE(result.ok()) << describe(result.problems);
    ASSERT_EQ(result.content.conversations.size(), 3u);
    EXPECT_EQ(result.content.conversations[0].title, u"Hello");
    EXPECT_EQ(result.content.conversations[1].title, u"Second");
    EXPECT_EQ(result.content.conversations[2].title, u"Later");
}

TEST(ContentRead, QuestionsAreOrderedByNumberWhateverTheirLineOrder) {
    ContentFolder folder;
    folder.set(u"quiz/questions.txt"_qs, "3 | It ___ late. | be | is\n"
                                         "# a comment\n"
                                         "1 | I ___ here. | be | am\n"
                                         "2 | We ___ here. | be | are\n");
    const ContentResult result = readContent(folder.write());
    ASSERT_TRUE(result.ok()) << describe(result.problems);
    ASSERT_EQ(result.content.questions.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(result.content.questions[size_t(i)].number, i + 1);
    EXPECT_EQ(result.content.questions[0].line, 3);
}

struct SentenceCase {
    const char* written;
    QString stored;
};

void PrintTo(const SentenceCase& c, std::ostream* out) {
    *out << c.written;
}

class CompileSentence : public ::testing::TestWithParam<SentenceCase> {};

TEST_P(CompileSentence, GapBecomesNineBlanksWithoutTheBlanksAroundIt) {
    QString error;
    EXPECT_EQ(peltavo::dbbuild::compileSentence(QString::fromUtf8(GetParam().written), &error),
              GetParam().stored);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Gaps, CompileSentence,
    ::testing::Values(SentenceCase{"The book is ___ the table.",
                                   withGap("The book is", "the table.")},
                      SentenceCase{"___ you ready?", withGap("", "you ready?")},
                      SentenceCase{"  ______   you ready?  ", withGap("", "you ready?")},
                      SentenceCase{"This is my ___.", withGap("This is my", ".")},
                      SentenceCase{"It is ___", withGap("It is", "")},
                      SentenceCase{"Ayşe ___ İzmir'de.", withGap("Ayşe", "İzmir'de.")}));

TEST(FoldAsciiCase, FoldsOnlyTheLettersAToZ) {
    using peltavo::dbbuild::foldAsciiCase;
    EXPECT_EQ(foldAsciiCase(u"Between"_qs), u"between");
    EXPECT_EQ(foldAsciiCase(u"İSTANBUL ÇAY"_qs), u"İstanbul Çay");
    EXPECT_EQ(foldAsciiCase(u"are "_qs), u"are ");
}

// One kind of bad content: the file to write, and where the single problem must be reported.
struct BadCase {
    const char* name;
    const char* file;
    const char* bytes;
    const char* reportedFile;
    int line;
    const char* fragment;
};

void PrintTo(const BadCase& bad, std::ostream* out) {
    *out << bad.name;
}

class BadContent : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadContent, IsReportedWithFileAndLine) {
    const BadCase& bad = GetParam();
    ContentFolder folder;
    if (bad.bytes)
        folder.set(QString::fromUtf8(bad.file), QByteArray(bad.bytes));
    else
        folder.remove(QString::fromUtf8(bad.file));
    const ContentResult result = readContent(folder.write());
    ASSERT_EQ(result.problems.size(), 1u) << describe(result.problems);
    const Problem& problem = result.problems[0];
    EXPECT_EQ(problem.file, folder.path(QString::fromUtf8(bad.reportedFile)));
    EXPECT_EQ(problem.line, bad.line) << problem.toString().toStdString();
    EXPECT_TRUE(problem.message.contains(QString::fromUtf8(bad.fragment)))
        << problem.toString().toStdString();
}

constexpr auto kConv = "conversations/01-hello.txt";
constexpr auto kSets = "quiz/answer-sets.txt";
constexpr auto kQuestions = "quiz/questions.txt";
// The sets the questions of the sound folder use, on lines 1 to 4.
#define SOUND_SETS "# level: A1\nbe | am | is | are\n# level: A1\nplaces | in | on | at | next to\n"

INSTANTIATE_TEST_SUITE_P(
    Conversations, BadContent,
    ::testing::Values(
        BadCase{"NoSeparator", kConv, "Hi\nHello.\nHow are you?\n", kConv, 3,
                "Turkish text is missing"},
        BadCase{"NothingAfterSeparator", kConv, "Hi\nHello.\n---\n\n\n", kConv, 3,
                "Turkish text is missing"},
        BadCase{"NothingBeforeSeparator", kConv, "Hi\n\n---\nMerhaba.\n", kConv, 3,
                "English text is missing"},
        BadCase{"EnglishLonger", kConv, "Hi\nA.\nB.\nC.\n---\nX.\nY.\n", kConv, 4,
                "English text has 3 lines but the Turkish text has 2"},
        BadCase{"TurkishLonger", kConv, "Hi\nA.\n---\nX.\nY.\n", kConv, 5,
                "English text has 1 lines but the Turkish text has 2"},
        BadCase{"BlankLineInside", kConv, "Hi\nA.\n\nB.\n---\nX.\nY.\n", kConv, 3,
                "empty line inside the English text"},
        BadCase{"SecondSeparator", kConv, "Hi\nA.\n---\nX.\n---\nY.\n", kConv, 5,
                "second line of dashes"},
        BadCase{"InvalidUtf8", kConv, "Hi\nA.\n---\nG\xFCnayd\xFDn.\n", kConv, 4,
                "not valid UTF-8"},
        BadCase{"EmptyFile", kConv, "\n\n", kConv, 0, "no conversation"},
        BadCase{"TitleTooLong", kConv,
                "This title goes on and on and on and on and on and on and on and on and on and "
                "on and on and on and on\nA.\n---\nX.\n",
                kConv, 1, "longer than 100"},
        BadCase{"NoConversationAtAll", kConv, nullptr, "conversations", 0, "no conversation"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    AnswerSets, BadContent,
    ::testing::Values(
        BadCase{"Apostrophe", kSets, SOUND_SETS "# level: A1\nit's | a | b\n", kSets, 6,
                "apostrophe"},
        BadCase{"OneWord", kSets, SOUND_SETS "# level: A1\nx | a\n", kSets, 6, "has 1 words"},
        BadCase{"TwelveWords", kSets,
                SOUND_SETS "# level: A1\nx | a | b | c | d | e | f | g | h | i | j | k | l\n",
                kSets, 6, "has 12 words"},
        BadCase{"DuplicateName", kSets, SOUND_SETS "# level: A2\nbe | was | were\n", kSets, 6,
                "defined twice (first on line 2)"},
        BadCase{
            "DuplicateWord", kSets,
            "# level: A1\nbe | am | is | are | Is\n# level: A1\nplaces | in | on | at | next to\n",
            kSets, 2, "appears twice"},
        BadCase{"EmptyWord", kSets,
                "# level: A1\nbe | am | is | are |\n# level: A1\nplaces | in | on | at | next to\n",
                kSets, 2, "empty answer word"},
        BadCase{"WordTooLong", kSets,
                SOUND_SETS
                "# level: A1\nlong | a | abcdefghijabcdefghijabcdefghijabcdefghijabcdefghijX\n",
                kSets, 6, "longer than 50"},
        // The comment lines above a set describe it: a level always, the base word if asked for.
        BadCase{"NoLevel", kSets, SOUND_SETS "\n# base word: required\nverbs | go | went\n", kSets,
                7, "answer set \"verbs\" has no level"},
        BadCase{"DescriptionAwayFromItsSet", kSets,
                SOUND_SETS "# base word: required\n\n# level: A1\nverbs | go | went\n", kSets, 5,
                "describes no answer set"},
        BadCase{"UnknownLevel", kSets, SOUND_SETS "# level: A3\nverbs | go | went\n", kSets, 5,
                "unknown level \"A3\""},
        BadCase{"TwoLevels", kSets, SOUND_SETS "# level: A1\n# level: B1\nverbs | go | went\n",
                kSets, 6, "a second level for the same set (the first is on line 5)"},
        BadCase{"BaseWordOptional", kSets,
                SOUND_SETS "# level: A1\n# base word: optional\nverbs | go | went\n", kSets, 6,
                "takes only the value \"required\""},
        BadCase{"MissingFile", kSets, nullptr, kSets, 0, "cannot read"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Questions, BadContent,
    ::testing::Values(
        BadCase{"UnknownSet", kQuestions, "1 | I ___ here. | be | am\n2 | Go ___. | verbs | on\n",
                kQuestions, 2, "answer set \"verbs\" does not exist"},
        BadCase{"NoGap", kQuestions, "1 | I ___ here. | be | am\n2 | I am here. | be | am\n",
                kQuestions, 2, "no gap"},
        BadCase{"TwoGaps", kQuestions, "1 | I ___ here ___. | be | am\n", kQuestions, 1,
                "more than one gap"},
        BadCase{"DoubleBlank", kQuestions, "1 | I ___ here  now. | be | am\n", kQuestions, 1,
                "two blanks in a row"},
        BadCase{"StrayUnderscore", kQuestions, "1 | I ___ here_now. | be | am\n", kQuestions, 1,
                "underscore outside the gap"},
        BadCase{"OnlyGap", kQuestions, "1 | ___ | be | am\n", kQuestions, 1, "nothing but the gap"},
        BadCase{"Exclamation", kQuestions, "1 | !Wow, I ___ here. | be | am\n", kQuestions, 1,
                "begins with \"!\""},
        BadCase{"DuplicateNumber", kQuestions,
                "1 | I ___ here. | be | am\n2 | It ___ late. | be | is\n\n2 | We ___ here. | be | "
                "are\n",
                kQuestions, 4, "number 2 is used twice (first on line 2)"},
        BadCase{"MissingNumber", kQuestions,
                "1 | I ___ here. | be | am\n3 | It ___ late. | be | is\n", kQuestions, 2,
                "number 2 is missing before 3"},
        BadCase{"NotStartingAtOne", kQuestions, "2 | I ___ here. | be | am\n", kQuestions, 1,
                "number 1 is missing"},
        BadCase{"SeveralMissing", kQuestions,
                "1 | I ___ here. | be | am\n5 | It ___ late. | be | is\n", kQuestions, 2,
                "numbers 2 to 4 are missing"},
        BadCase{"BadNumber", kQuestions, "1 | I ___ here. | be | am\nx2 | It ___ late. | be | is\n",
                kQuestions, 2, "not a question number"},
        BadCase{"ZeroNumber", kQuestions, "0 | I ___ here. | be | am\n", kQuestions, 1,
                "not a question number"},
        BadCase{"AnswerNotInSet", kQuestions, "1 | I ___ here. | be | was\n", kQuestions, 1,
                "\"was\" is not a word of answer set \"be\""},
        BadCase{"AlternativeNotInSet", kQuestions, "1 | I ___ here. | be | am | 'm\n", kQuestions,
                1, "\"'m\" is not a word"},
        BadCase{"TooFewFields", kQuestions, "1 | I ___ here. | be\n", kQuestions, 1,
                "expected: number"},
        BadCase{"TooManyAnswers", kQuestions, "1 | I ___ here. | be | am | is | are | am\n",
                kQuestions, 1, "expected: number"},
        BadCase{"SentenceTooLong", kQuestions,
                "1 | I ___ here and this sentence keeps going and going and going and going and "
                "going and going and going and going and going and going and going and going and "
                "going and going and going and going and going and going and going and going and "
                "going and going and going and going on. | be | am\n",
                kQuestions, 1, "longer than 255"},
        BadCase{"ApostropheInQuestionSet", kQuestions, "1 | I ___ here. | b'e | am\n", kQuestions,
                1, "apostrophe"},
        BadCase{"NoQuestions", kQuestions, "# nothing yet\n", kQuestions, 0, "no question"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
