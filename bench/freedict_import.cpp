// Times the two FreeDict imports and prints what they produced.
//
//   freedict_import [DICTD_DIR] [--dump eng-tur|tur-eng]
//
// DICTD_DIR defaults to /usr/share/dictd. With --dump the entries of one import are written to
// stdout as "headword TAB meaning" (line breaks inside the meaning shown as " | ").

#include "error.h"
#include "freedict.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

using namespace peltavo::freedict;

namespace {

void dump(const std::vector<Entry>& entries, QTextStream& out) {
    for (const Entry& e : entries) {
        QString meaning = e.meaning;
        meaning.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
        out << e.headword << '\t' << meaning << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    QString dir = QStringLiteral("/usr/share/dictd");
    QString dumpWhich;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--dump") && i + 1 < argc) {
            dumpWhich = QString::fromLocal8Bit(argv[++i]);
        } else {
            dir = arg;
        }
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        QElapsedTimer timer;
        timer.start();
        const EnglishWords words = EnglishWords::loadSystem();
        const qint64 wordsMs = timer.restart();
        Report engReport;
        const auto engTur = importEngTur(dir, words, &engReport);
        const qint64 engMs = timer.restart();
        Report turReport;
        const auto turEng = importTurEng(dir, words, &turReport);
        const qint64 turMs = timer.elapsed();

        if (dumpWhich == QLatin1String("eng-tur")) {
            dump(engTur, out);
        } else if (dumpWhich == QLatin1String("tur-eng")) {
            dump(turEng, out);
        }
        err << "eng-tur: " << engReport.headwords << " headwords from " << engReport.articles
            << " articles (" << engReport.merged << " merged, " << engReport.skipped << " skipped, "
            << engReport.labelFixes << " words rejoined) in " << engMs << " ms\n";
        err << "word lists: " << words.size() << " words in " << wordsMs << " ms\n";
        err << "tur-eng: " << turReport.headwords << " headwords from " << turReport.articles
            << " articles (" << turReport.merged << " merged, " << turReport.skipped << " skipped, "
            << turReport.repaired << " glued phrases repaired; " << turReport.reversed
            << " headwords added and " << turReport.extended
            << " extended from the English-Turkish dictionary) in " << turMs << " ms\n";
        for (const QString& example : turReport.repairedExamples) {
            err << "  " << example << '\n';
        }
    } catch (const peltavo::Error& e) {
        err << e.message() << '\n';
        return 2;
    }
    return 0;
}
