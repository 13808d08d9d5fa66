// The conversation find with the accessibility bridge on and off: bulFind from the first
// conversation to a match deep in a long one, the memo repainted, on the display in use.
//
//   find_accessibility [--runs N] DATABASE TEXT
//
// Run it twice under Xvfb and a D-Bus session (bench/find_accessibility.sh does both): once as a
// program that nobody listens to, once with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and a screen
// reader's listener on the bus, so that every event the find raises is sent. Prints the median
// and the slowest run in milliseconds, and where the match was.
#include "finddialog.h"
#include "mainwindow.h"
#include "memo.h"
#include "tablehandle.h"
#include "tanaekr.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    int runs = 20;
    int arg = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (arg + 2 != argc) {
        std::fprintf(stderr, "usage: find_accessibility [--runs N] DATABASE TEXT\n");
        return 64;
    }
    QTemporaryDir folder;
    if (!peltavo::bench::linkDatabase(folder, argv[arg]))
        return 1;
    peltavo::bench::MainWindowOn run(argc, argv, folder);
    peltavo::Tanaekr& window = run.window;
    window.bul->setFindText(QString::fromLocal8Bit(argv[arg + 1]));

    std::vector<double> millis;
    qsizetype found = -1;
    int record = -1;
    for (int i = 0; i < runs; ++i) {
        window.Table->moveTo(0);
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        window.bulFind();
        window.prog->repaint();
        QCoreApplication::processEvents();
        millis.push_back(double(clock.nsecsElapsed()) / 1e6);
        found = window.prog->textCursor().selectionStart();
        record = window.Table->currentIndex();
    }
    std::sort(millis.begin(), millis.end());
    std::printf("accessibility %s: bulFind to character %lld of conversation %d: median %.2f ms, "
                "slowest %.2f ms (%d runs)\n",
                QAccessible::isActive() ? "on" : "off", static_cast<long long>(found), record + 1,
                millis[millis.size() / 2], millis.back(), runs);
    return 0;
}
