#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Reading the learning content that teachers write as plain UTF-8 text (see content/README.md):
//
//   conversations/*.txt     one conversation per file: a title line, the English lines, a line of
//                           three or more dashes, the Turkish lines (line n translates line n)
//   quiz/answer-sets.txt    one answer set per line: name | word | word | ...
//   quiz/questions.txt      one question per line: number | sentence with ___ | set | answer ...
//   dictionary/en-tr, tr-en the two dictionaries, one entry per line or block (dictionary.h)
//
// Nothing here throws for bad content: every problem found is returned with the file and line
// it belongs to, and the caller decides. A Content is only fit to be written when no problem was
// reported; parts of it may be missing or partial otherwise.
namespace peltavo::dbbuild {

// One thing wrong with the content. `line` counts from 1; 0 means the file as a whole.
struct Problem {
    QString file;
    int line = 0;
    QString message;

    // "file:line: message", or "file: message" when line is 0.
    QString toString() const;
};

struct Conversation {
    QString file;
    QString title;
    QStringList english; // one entry per line, never empty, no line breaks
    QStringList turkish; // as many lines as `english` in valid content
};

// A set is described by the comment lines right above it (no blank line between): "# level: A2"
// (A1 to C2) is required, and "# base word: required" makes every question of the set end with
// the word whose form goes in the gap, in brackets: "(go)".
struct AnswerSet {
    QString name;
    QStringList words; // 2 to 11 in valid content, in button order
    int line = 0;
    QString level;                 // "A1" to "C2"; empty when the set has none (a problem)
    bool baseWordRequired = false; // its questions end with "(word)"
};

struct Question {
    int number = 0;
    // The sentence as the quiz reads it: the gap is a run of exactly nine blanks, words are
    // separated by single blanks; a gap at the start is the nine leading blanks.
    QString sentence;
    QString answerSet;
    QStringList answers; // 1 to 3: the correct answer, then the others that count as right
    int line = 0;
};

// One entry of a dictionary (see dictionary.h).
struct DictionaryEntry {
    QString headword;
    QString base;       // set for a form of another headword ("went = go")
    QStringList senses; // as written, runs of blanks made one, the learner's first
    QString file;
    int line = 0; // of the headword
};

struct Content {
    std::vector<Conversation> conversations; // in file-name order (byte order of the names)
    std::vector<AnswerSet> answerSets;       // in file order
    std::vector<Question> questions;         // ascending by number
    QString answerSetsFile;                  // the files they were read from, for problems
    QString questionsFile;
    std::vector<DictionaryEntry> englishTurkish; // in file order
    std::vector<DictionaryEntry> turkishEnglish;
};

struct ContentResult {
    Content content;
    std::vector<Problem> problems; // in the order found: file by file, line by line

    bool ok() const { return problems.empty(); }
};

// Width of the gap in a quiz sentence, in blanks.
inline constexpr int kGapWidth = 9;
// Longest text that a Text field of the learning database takes for a sentence, and for a test
// name or an answer word.
inline constexpr int kSentenceMaxLength = 255;
inline constexpr int kWordMaxLength = 50;
inline constexpr int kTitleMaxLength = 100;
// Longest line of a conversation, in characters: a longer one wraps in the program's text box, and
// the two sides of the translation then no longer line up.
inline constexpr int kConversationLineMaxLength = 110;
inline constexpr int kMinSetWords = 2;
inline constexpr int kMaxSetWords = 11;

// The quiz's own comparison: only the letters A to Z are folded to lower case; everything else,
// Turkish letters included, stays as it is.
QString foldAsciiCase(const QString& text);

// Parsers for one file's bytes; `file` is only used to name the file in problems.
Conversation parseConversation(const QString& file, const QByteArray& bytes,
                               std::vector<Problem>& problems);
std::vector<AnswerSet> parseAnswerSets(const QString& file, const QByteArray& bytes,
                                       std::vector<Problem>& problems);
// Questions in file order; duplicate numbers are reported here, gaps in the numbering and
// answer sets by checkQuestions.
std::vector<Question> parseQuestions(const QString& file, const QByteArray& bytes,
                                     std::vector<Problem>& problems);

// Turns the sentence as written (gap marked by three or more underscores) into the stored form.
// Returns an empty string and sets `error` when the sentence cannot be used by the quiz.
QString compileSentence(const QString& written, QString* error);

// Cross-checks questions against the answer sets (the answers are words of the set, the base word
// is there where the set requires it) and the numbering 1..N; sorts `questions` by number.
void checkQuestions(const QString& file, std::vector<Question>& questions,
                    const std::vector<AnswerSet>& sets, std::vector<Problem>& problems);

// Reads a whole content folder. A missing folder or file is a problem like any other.
ContentResult readContent(const QString& contentDir);

} // namespace peltavo::dbbuild
