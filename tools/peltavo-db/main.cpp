// peltavo-db: a command-line tool for people who keep learning databases.
#include "commands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstring>
#include <functional>
#include <map>
#include <optional>

namespace {

constexpr auto kUsage = R"(usage:
  peltavo-db tables FILE
  peltavo-db dump FILE TABLE [--sort FIELD] [--filter EXPR] [--json]
  peltavo-db build CONTENT_DIR -o FILE
  peltavo-db synth --rows N -o FILE
  peltavo-db search FILE it|ti [--rows N] [--clicks]   (texts on stdin, one JSON string a line)
)";

} // namespace

int main(int argc, char** argv) {
    // The build makes the application object it needs itself: a QGuiApplication, once it measures
    // the quiz with the quiz window's fonts.
    const bool build = argc > 1 && std::strcmp(argv[1], "build") == 0;
    std::optional<QCoreApplication> app;
    if (!build)
        app.emplace(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const std::map<QString, std::function<int(const QStringList&)>> commands{
        {QStringLiteral("tables"), peltavo::db::runTables},
        {QStringLiteral("dump"), peltavo::db::runDump},
        {QStringLiteral("build"), peltavo::db::runBuild},
        {QStringLiteral("synth"), peltavo::db::runSynth},
        {QStringLiteral("search"), peltavo::db::runSearch},
    };
    const auto command = args.isEmpty() ? commands.end() : commands.find(args.first());
    if (command == commands.end()) {
        QTextStream(stderr) << kUsage;
        return 64;
    }
    return command->second(args.mid(1));
}
