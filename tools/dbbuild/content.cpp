#include "content.h"

#include "dictionary.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <map>

namespace peltavo::dbbuild {

namespace {

struct Line {
    int number = 0; // from 1
    QString text;   // without the line break and trailing white space
};

bool isBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

QString trimEnd(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

// Splits the file into lines (LF or CR LF), checking that each one is valid UTF-8. A byte-order
// mark at the start is dropped.
std::vector<Line> splitLines(const QString& file, QByteArray bytes,
                             std::vector<Problem>& problems) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    std::vector<Line> lines;
    const QList<QByteArray> raw = bytes.split('\n');
    for (qsizetype i = 0; i < raw.size(); ++i) {
        // The text after the last line break is a line only when it holds something.
        if (i == raw.size() - 1 && raw[i].isEmpty())
            break;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(raw[i]);
        const int number = int(i) + 1;
        if (decoder.hasError())
            problems.push_back({file, number, QStringLiteral("the line is not valid UTF-8 text")});
        lines.push_back({number, trimEnd(text)});
    }
    return lines;
}

bool isSeparator(const QString& text) {
    static const QRegularExpression separator(QStringLiteral("^-{3,}$"));
    return separator.match(text.trimmed()).hasMatch();
}

// The lines of one side of a conversation, blank lines at both ends dropped. Blank lines inside
// the side are reported: they would shift the line-for-line translation.
QStringList sideLines(const QString& file, const std::vector<Line>& lines, size_t from, size_t to,
                      const QString& language, std::vector<Problem>& problems,
                      std::vector<int>* numbers) {
    while (from < to && isBlank(lines[from].text))
        ++from;
    while (to > from && isBlank(lines[to - 1].text))
        --to;
    QStringList result;
    for (size_t i = from; i < to; ++i) {
        if (isBlank(lines[i].text)) {
            problems.push_back({file, lines[i].number,
                                QStringLiteral("empty line inside the %1 text; every line must "
                                               "have its translation on the same line")
                                    .arg(language)});
            continue;
        }
        if (lines[i].text.contains(u'\t'))
            problems.push_back({file, lines[i].number,
                                QStringLiteral("the line holds a tab; use blanks instead")});
        if (const qsizetype length = lines[i].text.size(); length > kConversationLineMaxLength)
            problems.push_back(
                {file, lines[i].number,
                 QStringLiteral("the line has %1 characters; a line of more than %2 wraps in the "
                                "program and its translation no longer stands beside it")
                     .arg(length)
                     .arg(kConversationLineMaxLength)});
        result << lines[i].text;
        numbers->push_back(lines[i].number);
    }
    return result;
}

// Splits a line of the quiz files into its fields at "|", each trimmed.
QStringList fields(const QString& text) {
    QStringList parts = text.split(u'|');
    for (QString& part : parts)
        part = part.trimmed();
    return parts;
}

bool isCommentOrBlank(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() || trimmed.startsWith(u'#');
}

// Problems with a test name or an answer word as a text of its own; empty when it is fine.
QString wordProblem(const QString& word, const QString& what) {
    if (word.isEmpty())
        return QStringLiteral("empty %1").arg(what);
    if (word.size() > kWordMaxLength)
        return QStringLiteral("%1 \"%2\" is longer than %3 characters")
            .arg(what, word)
            .arg(kWordMaxLength);
    if (word.contains(u"  "))
        return QStringLiteral("%1 \"%2\" holds two blanks in a row").arg(what, word);
    return {};
}

QString testNameProblem(const QString& name) {
    QString problem = wordProblem(name, QStringLiteral("test name"));
    if (problem.isEmpty() && name.contains(u'\''))
        problem = QStringLiteral("test name \"%1\" holds an apostrophe; the quiz cannot select "
                                 "a test whose name has one")
                      .arg(name);
    return problem;
}

// What the comment lines right above an answer set say about it, and on which lines.
struct SetDescription {
    QString level;
    int levelLine = 0;
    bool baseWordRequired = false;
    int baseWordLine = 0;

    bool empty() const { return levelLine == 0 && baseWordLine == 0; }
};

// Reads a comment line of answer-sets.txt into `description` when it is one: "# level: A2" or
// "# base word: required". Other comments are left alone; a description with a value the build
// does not know is reported.
void readDescription(const QString& file, const Line& line, SetDescription& description,
                     std::vector<Problem>& problems) {
    static const QRegularExpression key(QStringLiteral("^#\\s*(level|base word)\\s*:\\s*(.*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression level(QStringLiteral("^[ABC][12]$"));
    const QRegularExpressionMatch match = key.match(line.text.trimmed());
    if (!match.hasMatch())
        return;
    auto report = [&](const QString& message) { problems.push_back({file, line.number, message}); };
    const QString value = match.captured(2).trimmed();
    if (match.captured(1).compare(u"level", Qt::CaseInsensitive) == 0) {
        if (description.levelLine > 0)
            report(QStringLiteral("a second level for the same set (the first is on line %1)")
                       .arg(description.levelLine));
        else if (!level.match(value).hasMatch())
            report(QStringLiteral("unknown level \"%1\"; a level is A1, A2, B1, B2, C1 or C2")
                       .arg(value));
        description.level = value;
        description.levelLine = line.number;
        return;
    }
    if (value != u"required")
        report(QStringLiteral("\"# base word:\" takes only the value \"required\", not \"%1\"")
                   .arg(value));
    description.baseWordRequired = value == u"required";
    description.baseWordLine = line.number;
}

// A description followed by a blank line or the end of the file describes no set.
void reportStray(const QString& file, const SetDescription& description,
                 std::vector<Problem>& problems) {
    if (description.empty())
        return;
    problems.push_back(
        {file, description.levelLine > 0 ? description.levelLine : description.baseWordLine,
         QStringLiteral("this comment describes no answer set; it belongs right "
                        "above its set, with no blank line between")});
}

// Whether a stored sentence ends with its base word in brackets: "... (go)".
bool endsWithBaseWord(const QString& sentence) {
    static const QRegularExpression bracket(QStringLiteral("\\(\\s*[^()\\s][^()]*\\)$"));
    return bracket.match(sentence.trimmed()).hasMatch();
}

QByteArray readFile(const QString& path, std::vector<Problem>& problems, bool* found) {
    QFile file(path);
    *found = file.open(QIODevice::ReadOnly);
    if (!*found) {
        problems.push_back(
            {path, 0, QStringLiteral("cannot read the file: %1").arg(file.errorString())});
        return {};
    }
    return file.readAll();
}

} // namespace

QString Problem::toString() const {
    if (line > 0)
        return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message);
    return QStringLiteral("%1: %2").arg(file, message);
}

QString foldAsciiCase(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

Conversation parseConversation(const QString& file, const QByteArray& bytes,
                               std::vector<Problem>& problems) {
    Conversation conversation;
    conversation.file = file;
    const std::vector<Line> lines = splitLines(file, bytes, problems);

    size_t titleAt = 0;
    while (titleAt < lines.size() && isBlank(lines[titleAt].text))
        ++titleAt;
    if (titleAt == lines.size()) {
        problems.push_back({file, 0, QStringLiteral("the file holds no conversation")});
        return conversation;
    }
    const Line& title = lines[titleAt];
    if (isSeparator(title.text)) {
        problems.push_back({file, title.number,
                            QStringLiteral("the title line is missing before the English text")});
        return conversation;
    }
    conversation.title = title.text.trimmed();
    if (conversation.title.size() > kTitleMaxLength)
        problems.push_back(
            {file, title.number,
             QStringLiteral("the title is longer than %1 characters").arg(kTitleMaxLength)});

    std::vector<size_t> separators;
    for (size_t i = titleAt + 1; i < lines.size(); ++i) {
        if (isSeparator(lines[i].text))
            separators.push_back(i);
    }
    if (separators.empty()) {
        problems.push_back({file, lines.back().number,
                            QStringLiteral("the Turkish text is missing: no line of dashes "
                                           "(---) follows the English text")});
        return conversation;
    }
    for (size_t k = 1; k < separators.size(); ++k)
        problems.push_back({file, lines[separators[k]].number,
                            QStringLiteral("a second line of dashes; a file holds one "
                                           "conversation with one separator")});
    const size_t separator = separators.front();
    const size_t turkishEnd = separators.size() > 1 ? separators[1] : lines.size();
    const int separatorLine = lines[separator].number;

    std::vector<int> englishNumbers, turkishNumbers;
    conversation.english = sideLines(file, lines, titleAt + 1, separator, QStringLiteral("English"),
                                     problems, &englishNumbers);
    conversation.turkish = sideLines(file, lines, separator + 1, turkishEnd,
                                     QStringLiteral("Turkish"), problems, &turkishNumbers);
    if (conversation.english.isEmpty()) {
        problems.push_back({file, separatorLine,
                            QStringLiteral("the English text is missing before the line of "
                                           "dashes")});
        return conversation;
    }
    if (conversation.turkish.isEmpty()) {
        problems.push_back(
            {file, separatorLine,
             QStringLiteral("the Turkish text is missing after the line of dashes")});
        return conversation;
    }
    const qsizetype en = conversation.english.size();
    const qsizetype tr = conversation.turkish.size();
    if (en != tr) {
        // Point at the first line that has no partner on the other side.
        const int where = en > tr ? englishNumbers[size_t(tr)] : turkishNumbers[size_t(en)];
        problems.push_back(
            {file, where,
             QStringLiteral("the English text has %1 lines but the Turkish text has %2; line n "
                            "of the Turkish must translate line n of the English")
                 .arg(en)
                 .arg(tr)});
    }
    return conversation;
}

std::vector<AnswerSet> parseAnswerSets(const QString& file, const QByteArray& bytes,
                                       std::vector<Problem>& problems) {
    std::vector<AnswerSet> sets;
    std::map<QString, int> lineOfName;
    SetDescription description; // of the comment lines since the last set or blank line
    for (const Line& line : splitLines(file, bytes, problems)) {
        if (isBlank(line.text)) {
            reportStray(file, description, problems);
            description = {};
            continue;
        }
        if (line.text.trimmed().startsWith(u'#')) {
            readDescription(file, line, description, problems);
            continue;
        }
        const QStringList parts = fields(line.text);
        AnswerSet set{parts.front(), parts.mid(1), line.number, description.level,
                      description.baseWordRequired};
        description = {};
        auto report = [&](const QString& message) {
            problems.push_back({file, line.number, message});
        };
        if (set.level.isEmpty())
            report(QStringLiteral("answer set \"%1\" has no level; put the comment line "
                                  "\"# level: A1\" (A1 to C2) right above it")
                       .arg(set.name));
        if (const QString problem = testNameProblem(set.name); !problem.isEmpty())
            report(problem);
        if (const auto [it, fresh] = lineOfName.emplace(set.name, line.number); !fresh)
            report(QStringLiteral("answer set \"%1\" is defined twice (first on line %2)")
                       .arg(set.name)
                       .arg(it->second));
        if (set.words.size() < kMinSetWords || set.words.size() > kMaxSetWords)
            report(QStringLiteral("answer set \"%1\" has %2 words; a set has %3 to %4")
                       .arg(set.name)
                       .arg(set.words.size())
                       .arg(kMinSetWords)
                       .arg(kMaxSetWords));
        QStringList seen;
        for (const QString& word : set.words) {
            if (const QString problem = wordProblem(word, QStringLiteral("answer word"));
                !problem.isEmpty()) {
                report(problem);
                continue;
            }
            if (seen.contains(foldAsciiCase(word)))
                report(QStringLiteral("the word \"%1\" appears twice in answer set \"%2\"")
                           .arg(word, set.name));
            seen << foldAsciiCase(word);
        }
        sets.push_back(std::move(set));
    }
    reportStray(file, description, problems);
    if (sets.empty())
        problems.push_back({file, 0, QStringLiteral("the file holds no answer set")});
    return sets;
}

QString compileSentence(const QString& written, QString* error) {
    static const QRegularExpression gapMarker(QStringLiteral("_{3,}"));
    const QString text = written.trimmed();
    auto fail = [&](const QString& message) {
        *error = message;
        return QString();
    };
    QRegularExpressionMatchIterator it = gapMarker.globalMatch(text);
    if (!it.hasNext())
        return fail(QStringLiteral("the sentence has no gap; mark it with ___"));
    const QRegularExpressionMatch gap = it.next();
    if (it.hasNext())
        return fail(QStringLiteral("the sentence has more than one gap"));
    const QString before = trimEnd(text.left(gap.capturedStart()));
    const QString after = text.mid(gap.capturedEnd()).trimmed();
    if (before.contains(u'_') || after.contains(u'_'))
        return fail(QStringLiteral("an underscore outside the gap; the gap is written as ___"));
    if (before.contains(u"  ") || after.contains(u"  "))
        return fail(QStringLiteral("two blanks in a row outside the gap; the quiz would take "
                                   "them for the gap"));
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == QChar(0x7f))
            return fail(QStringLiteral("the sentence holds a tab or another control character"));
    }
    if (before.isEmpty() && after.isEmpty())
        return fail(QStringLiteral("the sentence has nothing but the gap"));
    if (before.startsWith(u'!'))
        return fail(QStringLiteral("the sentence begins with \"!\", which the quiz cannot lay "
                                   "out"));
    const QString sentence = before + QString(kGapWidth, u' ') + after;
    if (sentence.size() > kSentenceMaxLength)
        return fail(QStringLiteral("the sentence is longer than %1 characters with its gap")
                        .arg(kSentenceMaxLength));
    error->clear();
    return sentence;
}

std::vector<Question> parseQuestions(const QString& file, const QByteArray& bytes,
                                     std::vector<Problem>& problems) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    std::vector<Question> questions;
    std::map<int, int> lineOfNumber;
    bool anyLine = false;
    for (const Line& line : splitLines(file, bytes, problems)) {
        if (isCommentOrBlank(line.text))
            continue;
        anyLine = true;
        auto report = [&](const QString& message) {
            problems.push_back({file, line.number, message});
        };
        const QStringList parts = fields(line.text);
        if (parts.size() < 4 || parts.size() > 6) {
            report(QStringLiteral("expected: number | sentence | answer set | answer, and up to "
                                  "two more answers that also count as right"));
            continue;
        }
        Question question;
        question.line = line.number;
        if (!digits.match(parts[0]).hasMatch() || parts[0].toInt() < 1) {
            report(QStringLiteral("\"%1\" is not a question number (1, 2, 3, ...)").arg(parts[0]));
            continue;
        }
        question.number = parts[0].toInt();
        if (const auto [it, fresh] = lineOfNumber.emplace(question.number, line.number); !fresh)
            report(QStringLiteral("question number %1 is used twice (first on line %2)")
                       .arg(question.number)
                       .arg(it->second));
        QString error;
        question.sentence = compileSentence(parts[1], &error);
        if (!error.isEmpty())
            report(error);
        question.answerSet = parts[2];
        if (const QString problem = testNameProblem(question.answerSet); !problem.isEmpty())
            report(problem);
        question.answers = parts.mid(3);
        for (const QString& answer : std::as_const(question.answers)) {
            if (const QString problem = wordProblem(answer, QStringLiteral("answer"));
                !problem.isEmpty())
                report(problem);
        }
        questions.push_back(std::move(question));
    }
    if (!anyLine)
        problems.push_back({file, 0, QStringLiteral("the file holds no question")});
    return questions;
}

void checkQuestions(const QString& file, std::vector<Question>& questions,
                    const std::vector<AnswerSet>& sets, std::vector<Problem>& problems) {
    std::map<QString, const AnswerSet*> byName;
    for (const AnswerSet& set : sets)
        byName.emplace(set.name, &set);
    for (const Question& question : questions) {
        if (!testNameProblem(question.answerSet).isEmpty())
            continue; // reported with the question already
        const auto set = byName.find(question.answerSet);
        if (set == byName.end()) {
            problems.push_back(
                {file, question.line,
                 QStringLiteral("answer set \"%1\" does not exist").arg(question.answerSet)});
            continue;
        }
        if (set->second->baseWordRequired && !endsWithBaseWord(question.sentence))
            problems.push_back(
                {file, question.line,
                 QStringLiteral("answer set \"%1\" requires the base word: end the sentence with "
                                "the word whose form goes in the gap, in brackets, as in \"(go)\"")
                     .arg(question.answerSet)});
        QStringList words;
        for (const QString& word : set->second->words)
            words << foldAsciiCase(word);
        for (const QString& answer : question.answers) {
            if (!answer.isEmpty() && !words.contains(foldAsciiCase(answer)))
                problems.push_back({file, question.line,
                                    QStringLiteral("the answer \"%1\" is not a word of answer "
                                                   "set \"%2\"; no button could be right")
                                        .arg(answer, question.answerSet)});
        }
    }

    std::stable_sort(questions.begin(), questions.end(),
                     [](const Question& a, const Question& b) { return a.number < b.number; });
    // The quiz asks for every number from 1 up, so each one must be there.
    int expected = 1;
    for (const Question& question : questions) {
        if (question.number < expected)
            continue; // a duplicate, already reported
        if (question.number > expected) {
            const QString missing =
                question.number == expected + 1
                    ? QString::number(expected)
                    : QStringLiteral("%1 to %2").arg(expected).arg(question.number - 1);
            problems.push_back({file, question.line,
                                QStringLiteral("question numbers must run from 1 without gaps; "
                                               "%1 missing before %2")
                                    .arg(question.number == expected + 1
                                             ? QStringLiteral("number %1 is").arg(missing)
                                             : QStringLiteral("numbers %1 are").arg(missing))
                                    .arg(question.number)});
        }
        expected = question.number + 1;
    }
}

ContentResult readContent(const QString& contentDir) {
    ContentResult result;
    std::vector<Problem>& problems = result.problems;
    const QDir dir(contentDir);
    if (!dir.exists()) {
        problems.push_back({contentDir, 0, QStringLiteral("the content folder does not exist")});
        return result;
    }

    const QDir conversations(dir.filePath(QStringLiteral("conversations")));
    QStringList names = conversations.entryList({QStringLiteral("*.txt")}, QDir::Files);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    if (names.isEmpty())
        problems.push_back(
            {conversations.path(), 0, QStringLiteral("no conversation (*.txt) in the folder")});
    for (const QString& name : std::as_const(names)) {
        const QString path = conversations.filePath(name);
        bool found = false;
        const QByteArray bytes = readFile(path, problems, &found);
        if (found)
            result.content.conversations.push_back(parseConversation(path, bytes, problems));
    }

    const QString setsPath = dir.filePath(QStringLiteral("quiz/answer-sets.txt"));
    const QString questionsPath = dir.filePath(QStringLiteral("quiz/questions.txt"));
    result.content.answerSetsFile = setsPath;
    result.content.questionsFile = questionsPath;
    bool setsFound = false, questionsFound = false;
    const QByteArray setBytes = readFile(setsPath, problems, &setsFound);
    if (setsFound)
        result.content.answerSets = parseAnswerSets(setsPath, setBytes, problems);
    const QByteArray questionBytes = readFile(questionsPath, problems, &questionsFound);
    if (questionsFound) {
        result.content.questions = parseQuestions(questionsPath, questionBytes, problems);
        if (setsFound)
            checkQuestions(questionsPath, result.content.questions, result.content.answerSets,
                           problems);
    }

    result.content.englishTurkish = readDictionary(dir.filePath(QStringLiteral("dictionary/en-tr")),
                                                   DictionaryDirection::EnglishTurkish, problems);
    result.content.turkishEnglish = readDictionary(dir.filePath(QStringLiteral("dictionary/tr-en")),
                                                   DictionaryDirection::TurkishEnglish, problems);
    return result;
}

} // namespace peltavo::dbbuild
