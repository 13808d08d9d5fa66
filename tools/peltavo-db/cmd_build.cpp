// peltavo-db build CONTENT_DIR -o FILE [--hunspell FOLDER] [--spelling LIST]
//
// Compiles the plain-text learning content, the dictionaries included, checks the quiz against
// the quiz window's own fonts and layout, and writes the learning database. Bad content is listed
// in full and nothing is written. Then it counts the dictionaries' words that no Hunspell
// dictionary of FOLDER knows (tr_TR, en_US, en_GB, those that are there), names the commonest and,
// with --spelling, writes them all to LIST, "file:line: word (count)" a line.
#include "commands.h"

#include "content.h"
#include "error.h"
#include "jetwriter.h"
#include "quizcheck.h"
#include "spelling.h"
#include "stemmer.h"
#include "tables.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace peltavo::db {

namespace {

constexpr auto kUsage =
    "usage: peltavo-db build CONTENT_DIR -o FILE [--hunspell FOLDER] [--spelling LIST]\n";

struct BuildArgs {
    QString contentDir;
    QString output;
    QString hunspellFolder = LazyStemmers::defaultFolder();
    QString spellingList;
};

bool parseArgs(const QStringList& args, BuildArgs* out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-o" && i + 1 < args.size())
            out->output = args[++i];
        else if (arg == u"--hunspell" && i + 1 < args.size())
            out->hunspellFolder = args[++i];
        else if (arg == u"--spelling" && i + 1 < args.size())
            out->spellingList = args[++i];
        else if (!arg.startsWith(u'-') && out->contentDir.isEmpty())
            out->contentDir = arg;
        else
            return false;
    }
    return !out->contentDir.isEmpty() && !out->output.isEmpty();
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

// Lists the dictionaries' words that no speller knows; never a reason to refuse the content.
void reportSpelling(const dbbuild::Content& content, const BuildArgs& options, QTextStream& out) {
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<HunspellStemmer>> dictionaries;
    QStringList names;
    const QDir folder(options.hunspellFolder);
    for (const QString& name : {u"tr_TR"_qs, u"en_US"_qs, u"en_GB"_qs}) {
        try {
            dictionaries.push_back(std::make_unique<HunspellStemmer>(
                folder.filePath(name + u".aff"_qs), folder.filePath(name + u".dic"_qs)));
            names << name;
        } catch (const Error&) {
        }
    }
    if (dictionaries.empty()) {
        out << "  spelling: not checked, no Hunspell dictionary in " << folder.path() << '\n';
        return;
    }
    std::vector<dbbuild::Speller> spellers;
    for (const auto& dictionary : dictionaries)
        spellers.push_back([d = dictionary.get()](const QString& w) { return d->spells(w); });
    const dbbuild::SpellingReport report = dbbuild::checkSpelling(content, spellers);
    out << "  spelling: " << report.unknown.size() << " of " << report.words
        << " distinct words known to none of " << names.join(u", ") << " (" << timer.elapsed()
        << " ms)";
    QStringList commonest;
    for (size_t i = 0; i < std::min<size_t>(8, report.unknown.size()); ++i)
        commonest
            << QStringLiteral("%1 (%2)").arg(report.unknown[i].word).arg(report.unknown[i].count);
    if (!commonest.isEmpty())
        out << "; the commonest: " << commonest.join(u", ");
    out << '\n';
    if (options.spellingList.isEmpty())
        return;
    QFile list(options.spellingList);
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        out << "  spelling: cannot write " << options.spellingList << ": " << list.errorString()
            << '\n';
        return;
    }
    QTextStream text(&list);
    for (const dbbuild::UnknownWord& word : report.unknown)
        text << word.file << ':' << word.line << ": " << word.word << " (" << word.count << ")\n";
    out << "  spelling: every one listed in " << options.spellingList << '\n';
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
    if (!contentProblems.empty()) {
        for (const dbbuild::Problem& problem : contentProblems)
            err << problem.toString() << '\n';
        err << "peltavo-db build: " << contentProblems.size()
            << " problem(s) in the content; no database written\n";
        return 2;
    }

    const std::vector<TableData> tables = dbbuild::buildTables(content.content);
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
    for (const auto& [name, entries] :
         {std::pair{"English-Turkish", &content.content.englishTurkish},
          std::pair{"Turkish-English", &content.content.turkishEnglish}}) {
        const auto forms = std::count_if(entries->begin(), entries->end(),
                                         [](const auto& entry) { return !entry.base.isEmpty(); });
        out << "  " << name << ": " << entries->size() << " entries, " << forms
            << " of them forms of another headword\n";
    }
    out << "  quiz: the widest sentence line ends at " << quiz.widestLine << " of "
        << dbbuild::lineRoom() << " pixels (" << quiz.lineFontFamily << ")\n";
    reportSpelling(content.content, options, out);
    return 0;
}

} // namespace peltavo::db
