// peltavo-docbuild: builds the documents that lie beside the program.
//
//   peltavo-docbuild mht SRC_DIR -o FILE                 lesson notes page (MHTML) from a folder
//   peltavo-docbuild chm PROJECT.hhp -o FILE [--chmcmd PATH]   help file compiled by chmcmd
//
// Exit code 0 on success, 1 when building fails (the reason goes to standard error), 64 on
// wrong usage. The output file is replaced only when the build succeeded.

#include "chm.h"
#include "error.h"
#include "mhtml.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 64;

int usage() {
    std::fputs("usage: peltavo-docbuild mht SRC_DIR -o FILE\n"
               "       peltavo-docbuild chm PROJECT.hhp -o FILE [--chmcmd PATH]\n",
               stderr);
    return exitUsage;
}

void writeOutput(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw peltavo::Error(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return usage();
    const QString command = args.takeFirst();
    const QString input = args.takeFirst();
    QString output;
    QString chmcmd = QStringLiteral("chmcmd");
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (args.isEmpty())
            return usage();
        if (option == QLatin1String("-o"))
            output = args.takeFirst();
        else if (option == QLatin1String("--chmcmd") && command == QLatin1String("chm"))
            chmcmd = args.takeFirst();
        else
            return usage();
    }
    if (output.isEmpty())
        return usage();

    try {
        if (command == QLatin1String("mht"))
            writeOutput(output, peltavo::docbuild::buildMhtmlFromFolder(input));
        else if (command == QLatin1String("chm"))
            writeOutput(output, peltavo::docbuild::compileChm(input, chmcmd));
        else
            return usage();
    } catch (const peltavo::Error& e) {
        std::fprintf(stderr, "peltavo-docbuild: %s\n", e.what());
        return exitFailure;
    }
    return 0;
}
