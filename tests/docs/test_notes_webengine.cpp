// The built lesson notes page ingcev.mht as the quiz window shows it: loaded from its file path
// into a Qt WebEngine view (offscreen), with its stylesheet part applied, its topics readable
// and searchable with the browser's own find (which needs a view, not a bare page).

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int timeoutMs = 60000;

// Runs the event loop until done() is called or the time is up; false on time-out.
template <typename Start> bool waitFor(Start start) {
    QEventLoop loop;
    bool finished = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    start([&] {
        finished = true;
        loop.quit();
    });
    if (!finished) {
        timer.start(timeoutMs);
        loop.exec();
    }
    return finished;
}

class NotesPage : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // Chromium's sandbox cannot run as root or in most containers, and there is no GPU.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        flags += " --no-sandbox --disable-gpu";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        static int argc = 1;
        static char name[] = "test_notes_webengine";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        view = std::make_unique<QWebEngineView>();
        view->resize(780, 250); // the pane's size in the quiz window
        view->show();
        page = view->page();
        loaded = waitFor([](auto done) {
            QObject::connect(page, &QWebEnginePage::loadFinished, [done](bool ok) {
                loadOk = ok;
                done();
            });
            page->load(QUrl::fromLocalFile(QStringLiteral(PELTAVO_RUNTIME_DIR "/ingcev.mht")));
        });
    }

    static void TearDownTestSuite() {
        page = nullptr;
        view.reset();
        app.reset();
    }

    void SetUp() override {
        ASSERT_TRUE(loaded) << "the page did not finish loading in time";
        ASSERT_TRUE(loadOk) << "the page failed to load";
    }

    static QString plainText() {
        QString text;
        EXPECT_TRUE(waitFor([&](auto done) {
            page->toPlainText([&text, done](const QString& t) {
                text = t;
                done();
            });
        }));
        return text;
    }

    // Scripts are off in saved pages; the application's own world may still read the document.
    static QVariant evaluate(const QString& script) {
        QVariant value;
        EXPECT_TRUE(waitFor([&](auto done) {
            page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                [&value, done](const QVariant& v) {
                                    value = v;
                                    done();
                                });
        }));
        return value;
    }

    static int matches(const QString& text) {
        int count = -1;
        EXPECT_TRUE(waitFor([&](auto done) {
            page->findText(text, {}, [&count, done](const QWebEngineFindTextResult& r) {
                count = r.numberOfMatches();
                done();
            });
        }));
        return count;
    }

    static inline std::unique_ptr<QApplication> app;
    static inline std::unique_ptr<QWebEngineView> view;
    static inline QWebEnginePage* page = nullptr; // owned by view
    static inline bool loaded = false;
    static inline bool loadOk = false;
};

} // namespace

TEST_F(NotesPage, ShowsTheTopicHeadingsInTurkish) {
    const QString text = plainText();
    for (const char* heading :
         {"İngilizce Ders Notları", "3. Geniş Zaman (Present Simple)",
          "7. Geçmişte Süren Eylemler (Past Continuous)", "9. Geçmişten Bugüne (Present Perfect)",
          "12. Koşul Cümleleri (First / Second Conditional)", "17. Artikeller (a / an / the)",
          "19. Zaman Edatları (in / on / at)", "22. Soru Kalıpları ve Yardımcı Fiiller",
          "33. Türkçe Konuşanların Sık Yaptığı Hatalar"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
}

TEST_F(NotesPage, StylesheetPartIsAppliedAndTopicsCount) {
    EXPECT_EQ(evaluate(QStringLiteral("document.styleSheets.length")).toInt(), 1);
    EXPECT_EQ(
        evaluate(QStringLiteral("getComputedStyle(document.querySelector('h1')).color")).toString(),
        QStringLiteral("rgb(128, 0, 128)"));
    EXPECT_GE(evaluate(QStringLiteral("document.querySelectorAll('h2').length")).toInt(), 10);
}

TEST_F(NotesPage, ContentsLinksReachTheirTopics) {
    const QString missing =
        evaluate(QStringLiteral("Array.from(document.querySelectorAll('a[href^=\"#\"]'))"
                                ".map(a => a.getAttribute('href').slice(1))"
                                ".filter(id => !document.getElementById(id)).join(',')"))
            .toString();
    EXPECT_TRUE(missing.isEmpty()) << missing.toStdString();
}

TEST_F(NotesPage, BrowserFindFindsTurkishAndEnglishWords) {
    EXPECT_GT(matches(QStringLiteral("geçmiş")), 0);
    EXPECT_GT(matches(QStringLiteral("present perfect")), 0);
    EXPECT_EQ(matches(QStringLiteral("xqzvqx")), 0);
}
