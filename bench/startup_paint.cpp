// Time from start to the main window's first paint, with the window set built as the program
// builds it (both windows open the learning database).
//
//   startup_paint [--runs N] DATABASE
//
// Copies DATABASE as peltavo.MDB into a temporary program folder, starts itself N times (default
// 9) and prints, for each run, the time from main() to the end of the first paint of the main
// window and the time from launching the process to that moment, then the medians. Run it under
// the display to be measured, e.g. xvfb-run -a -s "-screen 0 1024x768x24".
#include "application.h"
#include "error.h"
#include "platform.h"
#include "programstate.h"
#include "startup.h"
#include "tanaekr.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The real services, with the program folder given rather than the executable's.
class FolderPlatform : public peltavo::platform::SystemPlatform {
public:
    explicit FolderPlatform(QString folder) : folder_(std::move(folder)) {}
    QString programFolder() const override { return folder_; }
    // Nothing is spoken or opened while the start is timed.
    std::unique_ptr<peltavo::platform::Voice> createVoice() override {
        throw peltavo::Error(QStringLiteral("No speech while timing the start"));
    }
    void openDocument(const QString&) override {}

private:
    QString folder_;
};

// Reports the time once the first paint of the watched window has been handled.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [this] {
                std::printf("painted %.1f\n", double(clock_.nsecsElapsed()) / 1e6);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    const QElapsedTimer& clock_;
    bool seen_ = false;
};

int runOnce(int argc, char** argv, const QString& folder) {
    QElapsedTimer clock;
    clock.start();
    FolderPlatform platform(folder);
    peltavo::PeltavoApplication app(argc, argv, platform);
    peltavo::ProgramState state;
    peltavo::WindowSet windows = peltavo::createWindowSet(state, platform);
    FirstPaint watch(clock);
    windows.anaekr->installEventFilter(&watch);
    windows.anaekr->show();
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
    std::vector<double> inside, launch;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        child.start(QString::fromLocal8Bit(self), {QStringLiteral("--once"), folder.path()});
        double fromMain = -1;
        double fromLaunch = -1;
        while (child.waitForReadyRead(30000)) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("painted ")) {
                fromLaunch = double(clock.nsecsElapsed()) / 1e6;
                fromMain = line.mid(8).toDouble();
                break;
            }
        }
        child.waitForFinished(30000);
        if (fromMain < 0) {
            std::fprintf(stderr, "run %d: the main window was not painted\n", i + 1);
            return 1;
        }
        inside.push_back(fromMain);
        launch.push_back(fromLaunch);
        std::printf("run %d: %.1f ms from main(), %.1f ms from launch\n", i + 1, fromMain,
                    fromLaunch);
    }
    std::printf("median of %d runs: %.1f ms from main(), %.1f ms from launch\n", runs,
                median(inside), median(launch));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--once") == 0)
        return runOnce(argc, argv, QString::fromLocal8Bit(argv[2]));
    int runs = 9;
    int arg = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: startup_paint [--runs N] DATABASE\n");
        return 64;
    }
    return measure(argv[0], QString::fromLocal8Bit(argv[arg]), runs);
}
