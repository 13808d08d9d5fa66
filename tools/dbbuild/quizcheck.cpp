#include "quizcheck.h"

#include "quizfonts.h"
#include "quizlogic.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

namespace peltavo::dbbuild {

namespace {

bool sameQuestion(const Question& a, const Question& b) {
    return a.sentence == b.sentence && a.answerSet == b.answerSet && a.answers == b.answers;
}

// The sentence as written in the file, for messages: the gap back as ___.
QString written(const QString& sentence) {
    return QString(sentence).replace(QString(kGapWidth, u' '), QStringLiteral(" ___ ")).trimmed();
}

} // namespace

int lineRoom() {
    return quiz::kClientSize.width() - quiz::kLineLeft;
}

QuizCheck checkAgainstQuiz(const Content& content) {
    QuizCheck check;
    const QFont lineFont = quiz::lineFont();
    check.lineFontFamily = QFontInfo(lineFont).family();
    const QFontMetrics line(lineFont);
    const auto labelWidth = [&line](const QString& text) {
        return quiz::fittedLabelWidth(line, text);
    };

    for (const Question& question : content.questions) {
        const std::optional<quiz::LineEnd> end =
            quiz::furthestLineEnd(question.sentence, question.answers, labelWidth);
        if (!end)
            continue; // compileSentence refuses such a sentence
        check.widestLine = std::max(check.widestLine, end->right);
        if (end->right <= lineRoom())
            continue;
        const QString when = end->gapText == quiz::kGapBlanks
                                 ? QStringLiteral("when it is asked")
                                 : QStringLiteral("with \"%1\" in the gap").arg(end->gapText);
        check.problems.push_back(
            {content.questionsFile, question.line,
             QStringLiteral("the sentence runs off the quiz window: %1 its line ends %2 pixels "
                            "from the left, but the window has room up to %3 (%4 bold %5 px); "
                            "shorten it")
                 .arg(when)
                 .arg(end->right)
                 .arg(lineRoom())
                 .arg(check.lineFontFamily)
                 .arg(quiz::kLinePixels)});
    }

    const QFontMetrics answer(quiz::answerFont());
    for (const AnswerSet& set : content.answerSets) {
        for (const QString& word : set.words) {
            const int width = answer.horizontalAdvance(word);
            if (width > quiz::kAnswerCaptionRoom)
                check.problems.push_back(
                    {content.answerSetsFile, set.line,
                     QStringLiteral("the word \"%1\" is %2 pixels wide, but an answer button "
                                    "shows %3 at most; choose a shorter word")
                         .arg(word)
                         .arg(width)
                         .arg(quiz::kAnswerCaptionRoom)});
        }
    }

    const int count = int(content.questions.size());
    for (const Question& question : content.questions) {
        if (quiz::canBeDrawn(question.number, count))
            continue;
        const bool repeated =
            std::any_of(content.questions.begin(), content.questions.end(), [&](const Question& q) {
                return q.number < question.number && sameQuestion(q, question);
            });
        if (repeated)
            continue;
        const QString sentence = written(question.sentence);
        const QString message =
            question.number == content.questions.back().number
                ? QStringLiteral("the quiz never draws the question with the highest number, so "
                                 "nobody would see \"%1\"; end with a spare: a question that "
                                 "repeats an earlier one (sentence, answer set and answers) under "
                                 "the highest number")
                      .arg(sentence)
                : QStringLiteral("the quiz never draws question %1 (it asks %2 in its place), so "
                                 "nobody would see \"%3\"; make %1 a spare that repeats an "
                                 "earlier question (sentence, answer set and answers)")
                      .arg(question.number)
                      .arg(question.number + 1)
                      .arg(sentence);
        check.problems.push_back({content.questionsFile, question.line, message});
    }
    return check;
}

} // namespace peltavo::dbbuild
