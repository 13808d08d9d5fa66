// Time from start to the main window's first paint and to the grid's first headword, with the
// window set built as the program builds it (both windows open the learning database).
//
//   startup_paint [--runs N] DATABASE
//   startup_paint --once painted|headword FOLDER
//
// Copies DATABASE as peltavo.MDB into a temporary program folder, starts itself N times (default
// 9) and prints, for each run, the time from main() to the end of the main window's first paint
// and to the grid's first paint with its rows, and the time from launching the process to the
// latter, then the medians. --once is one such start in FOLDER, ending the process at once after
// the moment named. Run it under the display to be measured, e.g.
// xvfb-run -a -s "-screen 0 1024x768x24".
#include "application.h"
#include "platform.h"
#include "programfolder.h"
#include "programstate.h"
#include "startup.h"
#include "tanaekr.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// Calls `then` once the first paint of the watched widget has been handled and put on the screen.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(std::function<void()> then) : then_(std::move(then)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, then_);
        }
        return false;
    }

private:
    std::function<void()> then_;
    bool seen_ = false;
};

void report(const char* what, const QElapsedTimer& clock) {
    std::printf("%s %.1f\n", what, double(clock.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
}

// One start, as the program starts: the main window is shown and painted as soon as it has its
// conversation (when the rest of the start will show nothing, as with a sound database), then the
// dictionaries are opened. Prints the time from main() to that first paint
// ("painted") and to the grid's first paint with its rows ("headword"). The process ends at once
// after the moment `until` names; what the program does at its end is not part of the start.
int runOnce(int argc, char** argv, const QString& until, const QString& folder) {
    QElapsedTimer clock;
    clock.start();
    peltavo::bench::FolderPlatform platform(folder);
    peltavo::PeltavoApplication app(argc, argv, platform);
    peltavo::ProgramState state;
    const bool onlyPainted = until == u"painted";
    peltavo::WindowSet windows =
        peltavo::createWindowSet(state, platform, [&](peltavo::Tanaekr& main) {
            // As the program decides it (startWindows): early only when nothing more will be said.
            if (!peltavo::restOfStartIsSilent(main, platform))
                return;
            peltavo::paintFirstFrame(main);
            report("painted", clock);
            if (onlyPainted)
                std::_Exit(0);
            peltavo::giveWindowsTheProgramsIcon();
        });
    FirstPaint watch([&] {
        report("headword", clock);
        std::_Exit(0);
    });
    windows.anaekr->sozluk->viewport()->installEventFilter(&watch);
    windows.anaekr->show();
    windows.anaekr->sozluk->viewport()->update();
    return QApplication::exec();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int measure(const char* self, const QString& database, int runs) {
    QTemporaryDir folder;
    if (!QFile::copy(database, folder.filePath(QStringLiteral("peltavo.MDB")))) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(database));
        return 1;
    }
    std::vector<double> painted, headword, launch;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        child.start(QString::fromLocal8Bit(self),
                    {QStringLiteral("--once"), QStringLiteral("headword"), folder.path()});
        double first = -1;
        double rows = -1;
        double fromLaunch = -1;
        while (rows < 0 && child.waitForReadyRead(60000)) {
            while (child.canReadLine()) {
                const QByteArray line = child.readLine().trimmed();
                if (line.startsWith("painted "))
                    first = line.mid(8).toDouble();
                if (line.startsWith("headword ")) {
                    fromLaunch = double(clock.nsecsElapsed()) / 1e6;
                    rows = line.mid(9).toDouble();
                }
            }
        }
        child.waitForFinished(30000);
        if (first < 0 || rows < 0) {
            std::fprintf(stderr, "run %d: the main window was not painted\n", i + 1);
            return 1;
        }
        painted.push_back(first);
        headword.push_back(rows);
        launch.push_back(fromLaunch);
        std::printf("run %d: painted %.1f ms, first headword %.1f ms from main(); %.1f ms from "
                    "launch\n",
                    i + 1, first, rows, fromLaunch);
    }
    std::printf("median of %d runs: painted %.1f ms, first headword %.1f ms from main(); %.1f ms "
                "from launch\n",
                runs, median(painted), median(headword), median(launch));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0)
        return runOnce(argc, argv, QString::fromLocal8Bit(argv[2]),
                       QString::fromLocal8Bit(argv[3]));
    int runs = 9;
    int arg = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: startup_paint [--runs N] DATABASE\n"
                             "       startup_paint --once painted|headword FOLDER\n");
        return 64;
    }
    return measure(argv[0], QString::fromLocal8Bit(argv[arg]), runs);
}
