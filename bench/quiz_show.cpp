// Time from the main window's quiz button to the quiz window on the screen with its question, and
// to its lesson notes page loaded and painted, for the first showing (the web engine starts then)
// and for a later one.
//
//   quiz_show [--runs N] DATABASE
//   quiz_show --once question|notes FOLDER
//
// Runs itself N times (default 5) from the folder that holds DATABASE, where the notes page
// ingcev.mht is looked for, and prints each run's figures and the medians. --once is one fresh
// process in FOLDER (which holds peltavo.MDB and ingcev.mht) that presses the quiz button once the
// main window is up and ends at once after the moment named: the first frame of the quiz window
// ("question") or the notes page painted in it after a close and a second press ("notes"). It
// prints "question MS", then "notes MS" and "later MS" for the first and second showing. Run it
// under the display to be measured, e.g. xvfb-run -a -s "-screen 0 1024x768x24".
#include "application.h"
#include "error.h"
#include "notesbrowser.h"
#include "platform.h"
#include "programstate.h"
#include "startup.h"
#include "tanaekr.h"
#include "tsorcevekr.h"

#include <QChildEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

namespace {

// No engine speaks while timing.
class NoSpeech : public peltavo::platform::SpeechEngines {
public:
    std::unique_ptr<peltavo::platform::SpeechEngine> openDesktopService() override {
        return nullptr;
    }
    std::unique_ptr<peltavo::platform::SpeechEngine> openEspeak() override {
        throw peltavo::Error(QStringLiteral("No speech while timing"));
    }
};

class FolderPlatform : public peltavo::platform::Platform {
public:
    explicit FolderPlatform(QString folder) : folder_(std::move(folder)) {}
    peltavo::platform::Dialogs& dialogs() override { return dialogs_; }
    QString programFolder() const override { return folder_; }
    peltavo::platform::Speaker& speaker() override { return speaker_; }
    void endSpeech() override {}
    void openDocument(const QString&) override {}

private:
    peltavo::platform::QtDialogs dialogs_;
    peltavo::platform::Speaker speaker_{std::make_unique<NoSpeech>()};
    QString folder_;
};

// Calls `then` once the watched window's first paint has been handled and put on the screen.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(std::function<void()> then) : then_(std::move(then)) {}

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

// Reports once the notes pane (the quiz window's child named "web", made whenever the window
// makes it) has finished loading its page and something inside it has been painted after that.
class NotesPainted : public QObject {
    Q_OBJECT

public:
    explicit NotesPainted(std::function<void(bool)> done) : done_(std::move(done)) {}

    // Watches `window` for its pane, which may not exist yet.
    void watch(QWidget* window) {
        loaded_ = reported_ = false;
        window_ = window;
        window->installEventFilter(this);
        if (auto* pane = window->findChild<QWidget*>(QStringLiteral("web")); pane && !pane_)
            paneFound(pane);
    }

public slots:
    void loaded(bool ok) {
        loaded_ = true;
        ok_ = ok;
        pane_->update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_) {
            // The pane gets its name once it is in place: look for it whenever something happens.
            if (!pane_)
                if (auto* pane = window_->findChild<QWidget*>(QStringLiteral("web")))
                    paneFound(pane);
            return false;
        }
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
    void paneFound(QWidget* pane) {
        pane_ = pane;
        connect(pane, SIGNAL(loadFinished(bool)), this, SLOT(loaded(bool)));
        follow(pane);
    }

    void follow(QObject* object) {
        object->installEventFilter(this);
        for (QObject* child : object->children())
            follow(child);
    }

    std::function<void(bool)> done_;
    QWidget* window_ = nullptr;
    QWidget* pane_ = nullptr;
    bool loaded_ = false;
    bool ok_ = false;
    bool reported_ = false;
};

double ms(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

void report(const char* what, double value) {
    std::printf("%s %.1f\n", what, value);
    std::fflush(stdout);
}

// One fresh process: the quiz button pressed once the main window has been up for a moment.
int runOnce(int argc, char** argv, const QString& until, const QString& folder) {
    QDir::setCurrent(folder); // the notes page is looked for in the working directory
    FolderPlatform platform(folder);
    peltavo::PeltavoApplication app(argc, argv, platform);
    peltavo::quiz::setNotesModuleFolder(QStringLiteral(PELTAVO_RUNTIME_DIR));
    peltavo::ProgramState state;
    peltavo::WindowSet windows = peltavo::createWindowSet(state, platform);
    windows.anaekr->show();
    peltavo::Tsorcevekr* quiz = windows.sorcevekr.get();

    QElapsedTimer clock;
    FirstFrame question([&] {
        report("question", ms(clock));
        if (until == u"question")
            std::_Exit(0);
    });
    int showing = 1;
    NotesPainted painted([&](bool ok) {
        report(showing == 1 ? "notes" : "later", ms(clock));
        if (!ok)
            std::fprintf(stderr, "the notes page was not found: the browser's error page\n");
        if (showing == 2)
            std::_Exit(0);
        quiz->close();
        QTimer::singleShot(200, [&] {
            showing = 2;
            clock.restart();
            windows.anaekr->boslukbClick();
            painted.watch(quiz);
        });
    });
    QTimer::singleShot(300, [&] {
        quiz->installEventFilter(&question);
        painted.watch(quiz);
        clock.start();
        windows.anaekr->boslukbClick();
    });
    QTimer::singleShot(60000, [] { std::_Exit(2); });
    return QApplication::exec();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int measure(const char* self, const QString& database, int runs) {
    const QString folder = QFileInfo(database).absolutePath();
    std::map<QByteArray, std::vector<double>> figures;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QString::fromLocal8Bit(self),
                    {QStringLiteral("--once"), QStringLiteral("notes"), folder});
        std::map<QByteArray, double> run;
        while (!run.count("later") && child.waitForReadyRead(60000)) {
            while (child.canReadLine()) {
                const QList<QByteArray> words = child.readLine().trimmed().split(' ');
                if (words.size() == 2)
                    run[words[0]] = words[1].toDouble();
            }
        }
        child.waitForFinished(30000);
        if (!run.count("question") || !run.count("notes") || !run.count("later")) {
            std::fprintf(stderr, "run %d: the quiz window or its notes were not painted\n", i + 1);
            return 1;
        }
        for (const auto& [what, value] : run)
            figures[what].push_back(value);
        std::printf("run %d: question shown %.1f ms, notes painted %.1f ms, later showing's notes "
                    "%.1f ms\n",
                    i + 1, run["question"], run["notes"], run["later"]);
    }
    std::printf("median of %d runs: question shown %.1f ms, notes painted %.1f ms, later "
                "showing's notes %.1f ms\n",
                runs, median(figures["question"]), median(figures["notes"]),
                median(figures["later"]));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0)
        return runOnce(argc, argv, QString::fromLocal8Bit(argv[2]),
                       QString::fromLocal8Bit(argv[3]));
    int runs = 5;
    int arg = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
        arg = 3;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: quiz_show [--runs N] DATABASE\n"
                             "       quiz_show --once question|notes FOLDER\n");
        return 64;
    }
    return measure(argv[0], QString::fromLocal8Bit(argv[arg]), runs);
}

#include "quiz_show.moc"
