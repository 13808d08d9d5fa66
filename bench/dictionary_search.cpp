// The dictionary search button's latency: sarabClick (filter, move) on the main window, with and
// without the grid's repaint, next to a plain scan of the same rows testing each headword, as a
// client-side filter does.
//
//   dictionary_search [--presses N] DATABASE
//
// Opens DATABASE (e.g. one made by `peltavo-db synth --rows 1000000`) in the main window, shown
// on the platform in use (offscreen or a display), then presses "Sözlükte Ara" N times (default
// 2000) with headwords drawn from the dictionary itself and prints the median and the 99th
// percentile of each figure.
#include "dictionarygridmodel.h"
#include "fieldlink.h"
#include "lineedit.h"
#include "mainwindow.h"
#include "tablehandle.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

// In microseconds, the unit of a press.
void print(const char* what, peltavo::bench::Timings& timings) {
    std::printf("%-34s median %9.1f us   p99 %9.1f us   (%zu)\n", what, timings.at(0.5) * 1e3,
                timings.at(0.99) * 1e3, timings.size());
}

} // namespace

int main(int argc, char** argv) {
    int presses = 2000;
    int arg = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--presses") == 0) {
        presses = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: dictionary_search [--presses N] DATABASE\n");
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    if (!peltavo::bench::linkDatabase(folder, argv[arg]))
        return 1;
    peltavo::bench::MainWindowOn run(argc, argv, folder);
    peltavo::Tanaekr& window = run.window;
    peltavo::TableHandle& table = *window.Tablei;
    const int rows = table.recordCount();
    std::printf("isozluk: %d headwords\n", rows);

    std::mt19937 random(7);
    std::vector<QString> words;
    for (int i = 0; i < presses; ++i) {
        table.moveTo(int(random() % unsigned(rows)));
        words.push_back(table.fieldAsString(QStringLiteral("ikelime")));
    }

    peltavo::bench::Timings bare, painted, scan;
    for (const QString& word : words) {
        window.ara->setText(word);
        QElapsedTimer clock;
        clock.start();
        window.sarabClick();
        bare.add(clock);
        window.sozluk->viewport()->repaint();
        painted.add(clock);
    }
    // What a client-side filter does: test every headword against the text.
    QCollator collator{QLocale(QLocale::English)};
    table.setFiltered(false);
    std::vector<QString> headwords;
    headwords.reserve(std::size_t(rows));
    for (int i = 0; i < rows; ++i)
        headwords.push_back(table.valueAt(i, QStringLiteral("ikelime")).value_or(QString()));
    for (std::size_t i = 0; i < std::min<std::size_t>(words.size(), 50); ++i) {
        QElapsedTimer clock;
        clock.start();
        int passing = 0;
        for (const QString& headword : headwords)
            passing += collator.compare(headword, words[i]) >= 0;
        scan.add(clock);
        if (passing < 0)
            return 2;
    }
    print("sarabClick (filter and move)", bare);
    print("sarabClick and the grid's repaint", painted);
    print("plain scan of every headword", scan);
    std::printf("scan / sarabClick with repaint: %.0fx (medians)\n",
                scan.at(0.5) / painted.at(0.5));
    return 0;
}
