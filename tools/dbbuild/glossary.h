#pragma once

#include "content.h"
#include "merge.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Reading the core glossary that leads the dictionaries (see content/glossary/README.md):
//
//   glossary/en-tr/*.txt   English headwords with Turkish senses (table isozluk)
//   glossary/tr-en/*.txt   Turkish headwords with English senses (table tsozluk)
//
// One entry per line, "headword | sense | sense ..." or "form = base | sense ...", "#" starts a
// comment. Like the rest of the content, nothing here throws for bad text: every problem is
// returned with its file and line.
namespace peltavo::dbbuild {

// The labels a sense may start with.
const QStringList& glossaryLabels();

inline constexpr int kGlossaryLineMaxLength = 400;
inline constexpr int kHeadwordMaxLength = 255; // the dictionaries' headword column

struct GlossaryLine {
    freedict::GlossaryEntry entry;
    QString file;
    int line = 0;
};

// The lines of one file, in order; problems of the line itself (format, labels, empty senses,
// lengths, valid UTF-8) are reported here.
std::vector<GlossaryLine> parseGlossaryFile(const QString& file, const QByteArray& bytes,
                                            std::vector<Problem>& problems);

// Checks one folder's lines together: a headword given twice, a base without its own line.
void checkGlossaryFolder(const QString& folder, const std::vector<GlossaryLine>& lines,
                         std::vector<Problem>& problems);

struct Glossary {
    std::vector<freedict::GlossaryEntry> englishTurkish;
    std::vector<freedict::GlossaryEntry> turkishEnglish;
};

// Reads contentDir/glossary/en-tr and tr-en, every *.txt file in the byte order of the names.
// A missing folder gives no entries and no problem: the dictionaries are then as imported.
Glossary readGlossary(const QString& contentDir, std::vector<Problem>& problems);

} // namespace peltavo::dbbuild
