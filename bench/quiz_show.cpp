// Time from the main window's quiz button to the quiz window on the screen with its lesson notes
// page loaded and painted, for the first showing (the web engine starts then) and for a later one.
//
//   quiz_show [--runs N] DATABASE
//
// Runs itself N times (default 5) from the folder that holds DATABASE, where the notes page
// ingcev.mht is looked for, and prints each run's figures and the medians. Run it under the
// display to be measured, e.g. xvfb-run -a -s "-screen 0 1024x768x24".
#include "application.h"
#include "error.h"
#include "notesbrowser.h"
#include "platform.h"
#include "programstate.h"
#include "startup.h"
#include "tanaekr.h"
#include "tsorcevekr.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

class FolderPlatform : public peltavo::platform::Platform {
public:
    explicit FolderPlatform(QString folder) : folder_(std::move(folder)) {}
    peltavo::platform::Dialogs& dialogs() override { return dialogs_; }
    QString programFolder() const override { return folder_; }
    std::unique_ptr<peltavo::platform::Voice> createVoice() override {
        throw peltavo::Error(QStringLiteral("No speech while timing"));
    }
    void openDocument(const QString&) override {}

private:
    peltavo::platform::QtDialogs dialogs_;
    QString folder_;
};

// Reports once the notes page has finished loading and something inside the pane has been
// painted after that.
class NotesPainted : public QObject {
    Q_OBJECT

public:
    explicit NotesPainted(std::function<void(bool)> done) : done_(std::move(done)) {}

    void watch(QWidget* pane) {
        loaded_ = reported_ = false;
        if (pane_ != pane) {
            pane_ = pane;
            connect(pane, SIGNAL(loadFinished(bool)), this, SLOT(loaded(bool)));
            follow(pane);
        }
    }

public slots:
    void loaded(bool ok) {
        loaded_ = true;
        ok_ = ok;
        pane_->update();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ChildAdded)
            follow(static_cast<QChildEvent*>(event)->child());
        if ((event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) && loaded_ &&
            !reported_) {
            reported_ = true;
            QTimer::singleShot(0, this, [this] { done_(ok_); });
        }
        return false;
    }

private:
    void follow(QObject* object) {
        object->installEventFilter(this);
        for (QObject* child : object->children())
            follow(child);
    }

    std::function<void(bool)> done_;
    QWidget* pane_ = nullptr;
    bool loaded_ = false;
    bool ok_ = false;
    bool reported_ = false;
};

double ms(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

// One run: the quiz button twice, with the window closed in between.
int runOnce(int argc, char** argv, const QString& folder) {
    QDir::setCurrent(folder); // the notes page is looked for in the working directory
    FolderPlatform platform(folder);
    peltavo::PeltavoApplication app(argc, argv, platform);
    peltavo::quiz::setNotesModuleFolder(QStringLiteral(PELTAVO_RUNTIME_DIR));
    peltavo::ProgramState state;
    peltavo::WindowSet windows = peltavo::createWindowSet(state, platform);
    windows.anaekr->show();
    peltavo::Tsorcevekr* quiz = windows.sorcevekr.get();

    QElapsedTimer clock;
    int showing = 0;
    NotesPainted painted([&](bool ok) {
        std::printf("showing %d %.1f %s\n", showing, ms(clock), ok ? "loaded" : "error-page");
        std::fflush(stdout);
        if (showing == 2) {
            QCoreApplication::quit();
            return;
        }
        quiz->close();
        QTimer::singleShot(200, [&] {
            showing = 2;
            clock.restart();
            windows.anaekr->boslukbClick();
            painted.watch(quiz->web);
        });
    });
    QTimer::singleShot(300, [&] {
        showing = 1;
        clock.start();
        windows.anaekr->boslukbClick();
        if (!quiz->web) {
            std::printf("no notes pane\n");
            QCoreApplication::exit(1);
            return;
        }
        painted.watch(quiz->web);
    });
    QTimer::singleShot(60000, [] { QCoreApplication::exit(2); });
    return QApplication::exec();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int measure(const char* self, const QString& database, int runs) {
    const QString folder = QFileInfo(database).absolutePath();
    std::vector<double> first, later;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QString::fromLocal8Bit(self), {QStringLiteral("--once"), folder});
        double times[3] = {-1, -1, -1};
        QByteArray how;
        while (times[2] < 0 && child.waitForReadyRead(60000)) {
            while (child.canReadLine()) {
                const QList<QByteArray> words = child.readLine().trimmed().split(' ');
                if (words.size() == 4 && words[0] == "showing") {
                    times[words[1].toInt()] = words[2].toDouble();
                    how = words[3];
                }
            }
        }
        child.waitForFinished(30000);
        if (times[1] < 0 || times[2] < 0) {
            std::fprintf(stderr, "run %d: the quiz window's notes were not painted\n", i + 1);
            return 1;
        }
        first.push_back(times[1]);
        later.push_back(times[2]);
        std::printf("run %d: first showing %.1f ms, later showing %.1f ms (%s)\n", i + 1, times[1],
                    times[2], how.constData());
    }
    std::printf("median of %d runs: first showing %.1f ms, later showing %.1f ms\n", runs,
                median(first), median(later));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--once") == 0)
        return runOnce(argc, argv, QString::fromLocal8Bit(argv[2]));
    int runs = 5;
    int arg = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: quiz_show [--runs N] DATABASE\n");
        return 64;
    }
    return measure(argv[0], QString::fromLocal8Bit(argv[arg]), runs);
}

#include "quiz_show.moc"
