// peltavo-db build CONTENT_DIR -o FILE
//
// Compiles the plain-text learning content, the dictionaries included, checks the quiz against
// the quiz window's own fonts and layout, and writes the learning database. Bad content is listed
// in full and nothing is written.
#include "commands.h"

#include "content.h"
#include "error.h"
#include "jetwriter.h"
#include "quizcheck.h"
#include "tables.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace peltavo::db {

namespace {

constexpr auto kUsage = "usage: peltavo-db build CONTENT_DIR -o FILE\n";

struct BuildArgs {
    QString contentDir;
    QString output;
};

bool parseArgs(const QStringList& args, BuildArgs* out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"-o" && i + 1 < args.size())
            out->output = args[++i];
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
    return 0;
}

} // namespace peltavo::db
