// peltavo-db build CONTENT_DIR -o FILE [--dictd DIR] [--wordlist FILE]...
//
// Compiles the plain-text learning content, checks the quiz against the quiz window's own fonts
// and layout, imports the FreeDict dictionaries and writes the learning database. Bad content is
// listed in full and nothing is written.
#include "commands.h"

#include "content.h"
#include "error.h"
#include "freedict.h"
#include "glossary.h"
#include "jetwriter.h"
#include "quizcheck.h"
#include "speller.h"
#include "tables.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <optional>
#include <tuple>

namespace peltavo::db {

namespace {

constexpr auto kUsage =
    "usage: peltavo-db build CONTENT_DIR -o FILE [--dictd DIR] [--wordlist FILE]...\n";

struct BuildArgs {
    QString contentDir;
    QString output;
    QString dictdDir = QStringLiteral("/usr/share/dictd");
    QStringList wordLists;
};

bool parseArgs(const QStringList& args, BuildArgs* out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == u"-o" && hasValue)
            out->output = args[++i];
        else if (arg == u"--dictd" && hasValue)
            out->dictdDir = args[++i];
        else if (arg == u"--wordlist" && hasValue)
            out->wordLists << args[++i];
        else if (!arg.startsWith(u'-') && out->contentDir.isEmpty())
            out->contentDir = arg;
        else
            return false;
    }
    return !out->contentDir.isEmpty() && !out->output.isEmpty();
}

// The imports promise no order; the database must come out the same on every run.
void sortEntries(std::vector<freedict::Entry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const freedict::Entry& a, const freedict::Entry& b) {
                  return a.headword != b.headword ? a.headword < b.headword : a.meaning < b.meaning;
              });
}

// Checks the quiz against the quiz window's fonts. Measuring text takes the GUI side of Qt;
// nothing is shown, so the offscreen platform does unless another one was asked for.
dbbuild::QuizCheck checkWithQuizFonts(const dbbuild::Content& content) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "peltavo-db";
    char* argv[] = {name, nullptr};
    std::optional<QGuiApplication> app;
    if (!QCoreApplication::instance())
        app.emplace(argc, argv);
    return dbbuild::checkAgainstQuiz(content);
}

} // namespace

int runBuild(const QStringList& args) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    BuildArgs options;
    if (!parseArgs(args, &options)) {
        err << kUsage;
        return 64;
    }
    QElapsedTimer timer;
    timer.start();

    const dbbuild::ContentResult content = dbbuild::readContent(options.contentDir);
    // What the quiz window would show badly is measured on content that reads well.
    const dbbuild::QuizCheck quiz =
        content.ok() ? checkWithQuizFonts(content.content) : dbbuild::QuizCheck{};
    std::vector<dbbuild::Problem> contentProblems = content.problems;
    contentProblems.insert(contentProblems.end(), quiz.problems.begin(), quiz.problems.end());
    const dbbuild::Glossary glossary = dbbuild::readGlossary(options.contentDir, contentProblems);
    if (!contentProblems.empty()) {
        for (const dbbuild::Problem& problem : contentProblems)
            err << problem.toString() << '\n';
        err << "peltavo-db build: " << contentProblems.size()
            << " problem(s) in the content; no database written\n";
        return 2;
    }

    std::vector<freedict::Entry> englishTurkish, turkishEnglish;
    freedict::Report engReport, turReport;
    try {
        // Without word lists named, the system's: wamerican, wbritish, SCOWL and WordNet.
        // And Debian's Turkish spelling dictionary, hunspell-tr.
        const auto turkish = freedict::Speller::loadTurkish();
        const auto words = options.wordLists.isEmpty()
                               ? freedict::EnglishWords::loadSystem()
                               : freedict::EnglishWords::load(options.wordLists);
        freedict::Dictionaries dictionaries = freedict::importDictionaries(
            options.dictdDir, words, &engReport, &turReport, turkish.get());
        englishTurkish = std::move(dictionaries.englishTurkish);
        turkishEnglish = std::move(dictionaries.turkishEnglish);
    } catch (const Error& e) {
        err << "peltavo-db build: cannot import the dictionaries: " << e.message() << '\n'
            << "peltavo-db build: no database written\n";
        return 2;
    }
    freedict::MergeReport engGlossary, turGlossary;
    englishTurkish = freedict::mergeGlossary(std::move(englishTurkish), glossary.englishTurkish,
                                             freedict::Direction::EnglishTurkish, &engGlossary);
    turkishEnglish = freedict::mergeGlossary(std::move(turkishEnglish), glossary.turkishEnglish,
                                             freedict::Direction::TurkishEnglish, &turGlossary);
    sortEntries(englishTurkish);
    sortEntries(turkishEnglish);

    const std::vector<TableData> tables =
        dbbuild::buildTables(content.content, englishTurkish, turkishEnglish);
    const std::vector<dbbuild::Problem> problems = dbbuild::checkTables(tables);
    if (!problems.empty()) {
        for (const dbbuild::Problem& problem : problems)
            err << problem.toString() << '\n';
        err << "peltavo-db build: " << problems.size()
            << " value(s) the program could not read; no database written\n";
        return 2;
    }

    try {
        writeJet4Database(options.output, tables);
    } catch (const Error& e) {
        err << "peltavo-db build: " << e.message() << '\n';
        return 2;
    }

    out << "peltavo-db build: wrote " << options.output << " (" << QFileInfo(options.output).size()
        << " bytes) in " << timer.elapsed() << " ms\n";
    for (const TableData& table : tables)
        out << "  " << table.name.leftJustified(8) << ' ' << table.rows.size() << " rows\n";
    out << "  English-Turkish: " << engReport.headwords << " headwords from " << engReport.articles
        << " articles (" << engReport.merged << " merged, " << engReport.skipped << " skipped)\n";
    out << "  Turkish-English: " << turReport.headwords << " headwords from " << turReport.articles
        << " articles and the reversed English-Turkish entries (" << turReport.merged << " merged, "
        << turReport.skipped << " skipped)\n";
    out << "  quiz: the widest sentence line ends at " << quiz.widestLine << " of "
        << dbbuild::lineRoom() << " pixels (" << quiz.lineFontFamily << ")\n";
    out << "  repairs: " << turReport.repaired << " glued English phrases split, "
        << engReport.labelFixes + turReport.labelFixes << " words rejoined, "
        << engReport.textRepairs << " English-Turkish senses repaired, "
        << engReport.headwordRepairs << " headwords spelt right, " << engReport.splitHeadwords
        << " further spellings and " << engReport.runOnHeadwords << " run-on words as headwords\n";
    for (const auto& [name, count, merge] :
         {std::tuple{"English-Turkish", glossary.englishTurkish.size(), &engGlossary},
          std::tuple{"Turkish-English", glossary.turkishEnglish.size(), &turGlossary}})
        out << "  glossary, " << name << ": " << count << " lines, " << merge->led
            << " entries led, " << merge->added << " added, " << merge->dropped
            << " dictionary senses said by the glossary left out\n";
    for (const QString& example : std::as_const(turReport.repairedExamples))
        out << "    " << example << '\n';
    return 0;
}

} // namespace peltavo::db
