#pragma once

#include "content.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Reading the two dictionaries that teachers keep as text (see content/dictionary/README.md):
//
//   dictionary/en-tr/*.txt   English headwords with Turkish senses (table isozluk)
//   dictionary/tr-en/*.txt   Turkish headwords with English senses (table tsozluk)
//
// An entry is one line, "headword | sense | sense ...", or a block: the headword alone on its
// line and one indented sense a line after it. "form = base" names the word a form belongs to;
// "#" starts a comment. Like the rest of the content, nothing here throws for bad text: every
// problem is returned with its file and line, and a dictionary is only fit to be written when none
// was reported.
namespace peltavo::dbbuild {

// Which way a dictionary translates: its headwords are in the first language.
enum class DictionaryDirection { EnglishTurkish, TurkishEnglish };

inline constexpr int kHeadwordMaxLength = 255; // the dictionaries' headword column

// The labels a sense may carry, with their parentheses: "(i.)", "(k. dili)", "(bot.)".
const QStringList& dictionaryLabels();

// What is mechanically wrong with one sense as written, each as a message: empty, brackets that
// do not pair, a label that is not one of dictionaryLabels() (an abbreviation in parentheses where
// a label stands, or an English label), two labels with a comma between them, a stress mark, and,
// in the English-Turkish dictionary, a phrase whose colon stands before its last word ("rank and:
// file"). Empty when the sense is sound.
QStringList senseProblems(const QString& sense, DictionaryDirection direction);

// The entries of one file, in order; the problems of the lines themselves are reported here.
std::vector<DictionaryEntry> parseDictionaryFile(const QString& file, const QByteArray& bytes,
                                                 DictionaryDirection direction,
                                                 std::vector<Problem>& problems);

// Checks one dictionary's entries together: a headword given twice, a base without an entry.
void checkDictionary(const std::vector<DictionaryEntry>& entries, std::vector<Problem>& problems);

// Reads every *.txt file of a dictionary's folder, in the byte order of the names, and checks
// them together. A missing folder or one without a file is a problem.
std::vector<DictionaryEntry> readDictionary(const QString& folder, DictionaryDirection direction,
                                            std::vector<Problem>& problems);

// The meaning column of an entry: its senses numbered "1. ", "2. "... when there are several,
// joined with CR LF; a form's first sense ends with its base: "gitti (→ go)".
QString meaningOf(const DictionaryEntry& entry);

} // namespace peltavo::dbbuild
