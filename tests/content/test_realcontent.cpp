// The learning content bundled with the program: complete, consistent and usable by the quiz.
#include "content.h"
#include "tables.h"
#include "testpaths.h"

#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

using namespace peltavo;
using namespace peltavo::dbbuild;

namespace {

class RealContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        result_ = new ContentResult(readContent(test::sourcePath(QStringLiteral("content"))));
    }
    static void TearDownTestSuite() {
        delete result_;
        result_ = nullptr;
    }
    static const Content& content() { return result_->content; }

    static ContentResult* result_;
};

ContentResult* RealContent::result_ = nullptr;

TEST_F(RealContent, HasNoProblems) {
    for (const Problem& problem : result_->problems)
        ADD_FAILURE() << problem.toString().toStdString();
}

TEST_F(RealContent, ConversationsAreEnoughAndTranslatedLineForLine) {
    ASSERT_GE(content().conversations.size(), 30u);
    std::set<QString> titles;
    for (const Conversation& c : content().conversations) {
        SCOPED_TRACE(c.file.toStdString());
        EXPECT_GE(c.english.size(), 6);
        EXPECT_LE(c.english.size(), 20);
        EXPECT_EQ(c.english.size(), c.turkish.size());
        EXPECT_FALSE(c.title.isEmpty());
        EXPECT_TRUE(titles.insert(c.title).second) << "title used twice";
        for (const QString& line : c.english + c.turkish)
            EXPECT_EQ(line, line.trimmed());
    }
}

// The conversation memo is 775 pixels wide and writes in Arial at 13 pixels. A line that wraps
// there would no longer stand beside its translation; the 110 characters the build allows keep
// every line of both sides on one display line.
TEST_F(RealContent, NoLineWrapsInTheConversationMemo) {
    int argc = 1;
    char name[] = "test_content";
    char* argv[] = {name, nullptr};
    const std::unique_ptr<QGuiApplication> app(
        QGuiApplication::instance() ? nullptr : new QGuiApplication(argc, argv));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(13);
    const QFontMetrics metrics(arial);
    int widest = 0;
    for (const Conversation& c : content().conversations) {
        for (const QString& line : c.english + c.turkish) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
            EXPECT_LE(metrics.horizontalAdvance(line), 775)
                << c.file.toStdString() << ": " << line.toStdString();
        }
    }
    // Lines near the limit are there, so the bound is not trivially met.
    EXPECT_GE(widest, 600) << QFontInfo(arial).family().toStdString();
}

// The quiz reaches A2-B1: at least 45 % of the questions belong to A2 or B1 sets (the build sees
// that every set has its level).
TEST_F(RealContent, QuizHasEnoughSetsQuestionsAndLevels) {
    EXPECT_GE(content().answerSets.size(), 35u);
    std::map<QString, QString> levels;
    for (const AnswerSet& set : content().answerSets)
        levels[set.name] = set.level;

    ASSERT_GE(content().questions.size(), 400u);
    int upper = 0;
    for (const Question& q : content().questions)
        upper += levels[q.answerSet] == u"A2" || levels[q.answerSet] == u"B1";
    EXPECT_GE(100 * upper, 45 * int(content().questions.size()))
        << upper << " of " << content().questions.size();
}

TEST_F(RealContent, TurkishSideUsesEveryTurkishLetter) {
    QString turkish;
    for (const Conversation& c : content().conversations)
        turkish += c.turkish.join(u'\n');
    for (const QChar letter : QStringLiteral("çğıİöşüÇÖŞÜ"))
        EXPECT_TRUE(turkish.contains(letter)) << QString(letter).toStdString();
}

TEST_F(RealContent, QuestionsAreNumberedFromOneWithoutGaps) {
    const auto& questions = content().questions;
    ASSERT_GE(questions.size(), 200u);
    for (size_t i = 0; i < questions.size(); ++i)
        ASSERT_EQ(questions[i].number, int(i) + 1);
}

// The quiz finds the gap as the run between the first and the last pair of adjacent blanks, and
// a gap at the start by three leading blanks; each stored sentence must hold exactly one run.
TEST_F(RealContent, EverySentenceHasOneGapTheQuizCanFind) {
    static const QRegularExpression runs(QStringLiteral(" {2,}"));
    int leading = 0;
    for (const Question& q : content().questions) {
        SCOPED_TRACE(q.number);
        std::vector<qsizetype> lengths;
        for (auto it = runs.globalMatch(q.sentence); it.hasNext();)
            lengths.push_back(it.next().capturedLength());
        EXPECT_EQ(lengths, std::vector<qsizetype>{kGapWidth}) << q.sentence.toStdString();
        if (q.sentence.startsWith(QStringLiteral("   ")))
            ++leading;
        else
            EXPECT_GT(q.sentence.at(0).unicode(), u'!');
        EXPECT_LE(q.sentence.size(), 255);
    }
    EXPECT_GE(leading, 10);
}

TEST_F(RealContent, AnswerSetsAreEnoughAndEachHoldsTwoToElevenWords) {
    ASSERT_GE(content().answerSets.size(), 15u);
    for (const AnswerSet& set : content().answerSets) {
        SCOPED_TRACE(set.name.toStdString());
        EXPECT_GE(set.words.size(), 2);
        EXPECT_LE(set.words.size(), 11);
        EXPECT_FALSE(set.name.contains(u'\''));
    }
}

// Read back from the tables as the quiz reads them: the row of cevap that the question's testad
// selects, and dc1 to dc3 each equal, with A-Z folded, to one of its cev fields.
TEST_F(RealContent, EveryCorrectAnswerIsOnAButtonOfItsSet) {
    const std::vector<TableData> tables = buildTables(content());
    const TableData& sorubos = tables[3];
    const TableData& cevap = tables[4];
    ASSERT_EQ(sorubos.name, u"sorubos");
    ASSERT_EQ(cevap.name, u"cevap");
    int withAlternatives = 0;
    std::set<QString> usedSets;
    for (const auto& question : sorubos.rows) {
        const QString testad = *question[2];
        usedSets.insert(testad);
        const auto set = std::find_if(cevap.rows.begin(), cevap.rows.end(),
                                      [&](const auto& row) { return *row[0] == testad; });
        ASSERT_NE(set, cevap.rows.end()) << testad.toStdString();
        QStringList buttons;
        for (size_t k = 1; k <= 11; ++k) {
            if ((*set)[k])
                buttons << foldAsciiCase(*(*set)[k]);
        }
        ASSERT_TRUE(question[3].has_value());
        withAlternatives += question[4].has_value();
        for (size_t dc = 3; dc <= 5; ++dc) {
            if (question[dc]) {
                EXPECT_TRUE(buttons.contains(foldAsciiCase(*question[dc])))
                    << "question " << question[0]->toStdString() << ": "
                    << question[dc]->toStdString();
            }
        }
    }
    EXPECT_GE(withAlternatives, 10);
    EXPECT_EQ(usedSets.size(), content().answerSets.size()) << "an answer set no question uses";
}

// The build of peltavo.MDB depends on the content files listed in tools/dbbuild/CMakeLists.txt;
// a file missing from that list would not trigger a rebuild when it changes.
TEST_F(RealContent, EveryContentFileIsListedForTheBuild) {
    const QStringList listed = QStringLiteral(PELTAVO_CONTENT_FILES).split(u',');
    const QDir root(test::sourcePath(QStringLiteral("content")));
    QStringList present;
    for (const QString& folder : {QStringLiteral("conversations"), QStringLiteral("quiz")}) {
        for (const QString& name :
             QDir(root.filePath(folder)).entryList({QStringLiteral("*.txt")}, QDir::Files))
            present << folder + u'/' + name;
    }
    for (const QString& file : present)
        EXPECT_TRUE(listed.contains(file)) << file.toStdString() << " is not listed";
    for (const QString& file : listed)
        EXPECT_TRUE(present.contains(file)) << file.toStdString() << " is listed but missing";
}

} // namespace
