#include "directorylist.h"
#include "displaylines.h"
#include "error.h"
#include "lineedit.h"
#include "memo.h"
#include "tablehandle.h"
#include "translation.h"
#include "windowfixture.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace peltavo {
namespace {

using test::MainWindowOnSample;

TEST(StoredLines, DisplayLinesMapToTheStoredLineThatHoldsThem) {
    const QString text = QStringLiteral("one two three four\nfive\n\nsix seven");
    // Wrapped narrowly, the first stored line takes several display lines.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    const platform::DisplayLines lines(text, font, 45);
    ASSERT_GT(lines.count(), 5);
    int last = -1;
    for (int line = 0; line < lines.count(); ++line) {
        const int stored = storedLineOf(lines, line);
        EXPECT_GE(stored, last);
        EXPECT_TRUE(storedLine(text, stored).contains(lines.lineText(line))) << line;
        last = stored;
    }
    EXPECT_EQ(last, 3);
    EXPECT_EQ(storedLineOf(lines, lines.count()), -1);

    const QString translation = QStringLiteral("bir\r\niki\r\n\r\nüç");
    const struct {
        int index;
        const char* line;
    } cases[] = {{0, "bir"}, {1, "iki"}, {2, ""}, {3, "üç"}, {4, ""}, {-1, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(storedLine(translation, c.index), QString::fromUtf8(c.line)) << c.index;
}

class Panes : public ::testing::Test {
protected:
    void goTo(int n) {
        while (w->Table->currentIndex() < n - 1)
            w->ileribClick();
    }
    // Clicks into display line `line` of prog and asks for its translation.
    void translateDisplayLine(int line) {
        w->prog->select(w->prog->displayLines().lineStart(line) + 1, 0);
        w->progClick();
        w->cumlebClick();
    }

    MainWindowOnSample w;
};

TEST_F(Panes, SentenceTranslationTakesTheMatchingStoredLineAfterAWrappedLine) {
    goTo(2);                                       // its first English line wraps in prog
    ASSERT_EQ(w->prog->displayLines().count(), 6); // five stored lines, the first in two
    const struct {
        int displayLine;
        const char* translation;
    } cases[] = {
        {0, "Affedersiniz, Ankara treni ne zaman kalkıyor? Akşamki toplantımdan önce orada "
            "olmalıyım."},
        {1, "Affedersiniz, Ankara treni ne zaman kalkıyor? Akşamki toplantımdan önce orada "
            "olmalıyım."},
        {2, "Saat dört buçukta ikinci perondan kalkıyor."},
        {3, "Bir bilet ne kadar?"},
        {5, "Çok teşekkür ederim."},
    };
    for (const auto& c : cases) {
        translateDisplayLine(c.displayLine);
        EXPECT_EQ(w->cumle->text(), QString::fromUtf8(c.translation)) << c.displayLine;
        EXPECT_EQ(w.state.CaretLine, c.displayLine);
        EXPECT_TRUE(w->cumleb->isVisibleTo(w.window.get()));
        EXPECT_EQ(w->cumle->cursorPosition(), 0); // a long line shows its beginning
    }
}

TEST_F(Panes, PastTheEndOfAShorterTranslationTheBoxIsEmpty) {
    goTo(4); // five English lines, four Turkish
    translateDisplayLine(3);
    EXPECT_EQ(w->cumle->text(), QStringLiteral("Başka bir şey?"));
    translateDisplayLine(4);
    EXPECT_TRUE(w->cumle->text().isEmpty());
}

TEST_F(Panes, SentenceTranslationPicksTheWordAgainOverWhatWasTyped) {
    translateDisplayLine(0);
    const QString picked = w->ara->text();
    ASSERT_FALSE(picked.isEmpty());
    w->ara->setText(QStringLiteral("typed"));
    w->cumlebClick();
    EXPECT_EQ(w->ara->text(), picked);
}

TEST_F(Panes, WholeTextButtonTogglesThePaneAndWithdrawsTheSentence) {
    const char* captions[] = {"Tercüme Metin Gizle", "Metin Tercüme Et", "Tercüme Metin Gizle"};
    bool shown = false;
    for (const char* caption : captions) {
        w->cumle->setText(QStringLiteral("a line"));
        w->cumleb->show();
        w->metinbClick();
        shown = !shown;
        EXPECT_EQ(w->metinb->text(), QString::fromUtf8(caption));
        EXPECT_EQ(w->kullandb->isVisibleTo(w.window.get()), shown);
        EXPECT_TRUE(w->cumle->text().isEmpty());
        EXPECT_TRUE(w->cumleb->isHidden());
    }
}

TEST_F(Panes, SpeechSpeaksTheEnglishDisplayLineOfEitherDirection) {
    goTo(2);
    translateDisplayLine(2);
    w->sesbClick();
    const QString english = QStringLiteral("It leaves at half past four from platform two.");
    EXPECT_EQ(w->cumle->text(), english);
    EXPECT_TRUE(w->cumleb->isVisibleTo(w.window.get())); // left as it was

    w->turbClick(); // the English text is now in the hidden translation pane
    ASSERT_TRUE(w->kullandb->isHidden());
    w.state.CaretLine = 0;
    w->sesbClick();
    EXPECT_EQ(w->cumle->text(), QStringLiteral("Good morning, Ali."));

    w.state.CaretLine = 999;
    w->sesbClick();
    EXPECT_TRUE(w->cumle->text().isEmpty());

    EXPECT_EQ(w.platform.speech.spoken,
              QStringList({english, QStringLiteral("Good morning, Ali."), QString()}));
    // One voice, chosen at the first press and kept for the next.
    EXPECT_EQ(w.platform.speech.opened, 1);
    EXPECT_EQ(w.platform.speech.released, 0);
}

// A wrapped English line is spoken whole, and in "ti" the English line is the one that translates
// the Turkish line of the caret, however the English wraps in the translation pane.
TEST_F(Panes, SpeechSpeaksTheWholeStoredLineOfTheCaretInEitherDirection) {
    const QString first =
        QStringLiteral("Excuse me, could you tell me when the next train leaves? "
                       "I need to be there before my meeting starts this evening, "
                       "and I would like to know if there is a later train too.");
    const QString second = QStringLiteral("It leaves at half past four from platform two.");
    // Display line of prog, in "it" and then in "ti", and the line spoken.
    const std::pair<int, const QString&> cases[] = {
        {0, first}, {1, first}, {2, second}, {0, first}, {1, second}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [line, spoken] = cases[i];
        if (i == 3)
            w->turbClick();
        w->Table->close(); // the English wraps where it is shown: prog in "it", kullandb in "ti"
        w->Table->open(
            TableData{QStringLiteral("konus"),
                      {{QStringLiteral("ikonus")}, {QStringLiteral("tkonus")}},
                      {{first + u'\n' + second, QStringLiteral("Affedersiniz?\nSaat dört.")}}});
        ASSERT_EQ(std::max(w->prog->displayLines().count(), w->kullandb->displayLines().count()),
                  3);
        translateDisplayLine(line);
        w->sesbClick();
        EXPECT_EQ(w->cumle->text(), spoken) << w.state.DirectionMode.toStdString() << line;
        EXPECT_EQ(w.platform.speech.spoken.last(), spoken);
    }
}

TEST_F(Panes, SpeechFailuresReachTheErrorBox) {
    test::FakeSpeech& speech = w.platform.speech;
    w->cumle->setText(QStringLiteral("before"));
    speech.espeakError = QStringLiteral("no engine"); // and no speech service either
    try {
        w->sesbClick();
        ADD_FAILURE() << "a missing engine must be reported";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(), QStringLiteral("no engine"));
    }
    EXPECT_EQ(w->cumle->text(), QStringLiteral("before")); // not touched

    speech.espeakError.clear();
    speech.speakError = QStringLiteral("no sound device");
    EXPECT_THROW(w->sesbClick(), Error);
    EXPECT_EQ(w->cumle->text(), QStringLiteral("Good morning, Ali.")); // already shown
    EXPECT_EQ(speech.opened, 1);

    speech.speakError.clear();
    w.state.DirectionMode.clear(); // after a start that failed: nothing shown or spoken
    w->cumle->clear();
    w->sesbClick();
    EXPECT_TRUE(w->cumle->text().isEmpty());
    EXPECT_EQ(speech.spoken.size(), 1);
    EXPECT_EQ(speech.released, 0);
}

// The window is built and shown without anything of speech: the engine is chosen at the first
// press, the desktop's service where it runs.
TEST_F(Panes, TheVoiceIsChosenAtTheFirstPressAndTheServiceSpeaksWhereItRuns) {
    test::FakeSpeech& speech = w.platform.speech;
    speech.serviceRuns = true;
    EXPECT_EQ(speech.serviceAsked + speech.espeakAsked, 0);
    EXPECT_EQ(w.platform.madeSpeaker, nullptr);
    w->sesbClick();
    w->sesbClick();
    EXPECT_EQ(speech.engines, QStringList({QStringLiteral("service"), QStringLiteral("service")}));
    EXPECT_EQ(speech.serviceAsked, 1);
    EXPECT_EQ(speech.espeakAsked, 0);
}

TEST(Help, OpensTheHelpFileOfTheFolderCurrentWhenTheWindowWasBuilt) {
    const QString before = QDir::currentPath();
    QTemporaryDir started, later;
    test::ProgramFolder folder;
    test::FakePlatform platform;
    platform.folder = folder.path();
    ProgramState state;
    ASSERT_TRUE(QDir::setCurrent(started.path()));
    Tanaekr window(state, platform);
    ASSERT_TRUE(QDir::setCurrent(later.path()));
    window.FormCreate();
    window.yadimbClick();
    QDir::setCurrent(before);
    EXPECT_EQ(platform.openedDocuments,
              QStringList(QDir(started.path()).canonicalPath() + QStringLiteral("/peltchm.chm")));
}

} // namespace
} // namespace peltavo
