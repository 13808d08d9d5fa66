// The quiz window on the sample database (offscreen): its controls, the questions it asks, the
// answers it judges, its auxiliary buttons and its notes pane with the pane's own find.
#include "childtest.h"
#include "lineedit.h"
#include "quizfonts.h"
#include "quizlogic.h"
#include "tablehandle.h"
#include "tsorcevekr.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace peltavo {
namespace {

using namespace Qt::StringLiterals;

using test::FakePlatform;
using test::ProgramFolder;

const QString kNullError =
    QStringLiteral("Could not convert variant of type (Null) into type (String)");
const QString kNineBlanks = QStringLiteral("         ");
constexpr int kLoadTimeoutMs = 60000;

// Makes `path` the working directory while it lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& path) : previous_(QDir::currentPath()) {
        QDir::setCurrent(path);
    }
    ~CurrentFolder() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};

// The quiz window built in a working directory that holds the lesson notes page (or not), its
// creation handler run on the sample database (or on no database at all).
class QuizWindow {
public:
    explicit QuizWindow(bool withNotes = true, bool withDatabase = true,
                        ProgramState* shared = nullptr, FakePlatform* sharedPlatform = nullptr)
        : folder(withDatabase), platform_(sharedPlatform ? sharedPlatform : &ownPlatform),
          state_(shared ? shared : &ownState) {
        if (withNotes) {
            EXPECT_TRUE(QFile::copy(test::runtimeDir() + QStringLiteral("/ingcev.mht"),
                                    work.filePath(QStringLiteral("ingcev.mht"))));
        }
        platform_->folder = folder.path();
        {
            CurrentFolder here(work.path());
            window = std::make_unique<Tsorcevekr>(*state_, *platform_);
        }
        state_->sorcevekr = window.get();
        window->FormCreate();
    }
    ~QuizWindow() { state_->sorcevekr = nullptr; }

    Tsorcevekr& operator*() { return *window; }
    Tsorcevekr* operator->() { return window.get(); }
    FakePlatform& platform() { return *platform_; }

    // Shows the window and waits until it is on the screen and its notes pane has been made.
    void show() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(waitForPane(*window));
    }

    static bool waitForPane(const Tsorcevekr& w) {
        return QTest::qWaitFor([&] { return w.web != nullptr; }, kLoadTimeoutMs);
    }

    // Asks questions until the one numbered `number` comes (the draw is random).
    bool ask(int number) {
        for (int i = 0; i < 2000; ++i) {
            window->sorusor();
            if (window->ADO->fieldAsString(QStringLiteral("Number")) == QString::number(number))
                return true;
        }
        return false;
    }

    ProgramFolder folder;
    QTemporaryDir work;
    FakePlatform ownPlatform;
    ProgramState ownState;
    FakePlatform* platform_;
    ProgramState* state_;
    std::unique_ptr<Tsorcevekr> window;
};

QPushButton* button(Tsorcevekr& w, int k) {
    return w.cb[k - 1];
}

// Whether `widget` is shown within its window, whether or not the window itself is.
bool shown(const QWidget* widget) {
    return widget->isVisibleTo(widget->window());
}

// The control that Tab moves to from `widget` (all controls shown).
QWidget* nextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

int fittedWidth(const QLabel* label) {
    return label->text().isEmpty() ? 0 : label->sizeHint().width();
}

// ---------------------------------------------------------------------------------------------
// The window as built.

struct Placed {
    const char* name;
    QRect geometry;
    QString text;
    bool visible;
    QString font;
    int pixels;
    bool bold;
};

void PrintTo(const Placed& p, std::ostream* os) {
    *os << p.name;
}

const QString kArial = QStringLiteral("Arial");
const QString kSans = QStringLiteral("MS Sans Serif");

const Placed kLayout[] = {
    {"ilke", {10, 10, 228, 24}, {}, true, kArial, 21, true},
    {"bose", {220, 10, 60, 24}, {}, true, kArial, 21, true},
    {"ikie", {440, 10, 228, 24}, {}, true, kArial, 21, true},
    {"cb1", {10, 45, 100, 25}, {}, true, kArial, 13, true},
    {"cb2", {120, 45, 100, 25}, {}, true, kArial, 13, true},
    {"cb3", {240, 45, 100, 25}, {}, true, kArial, 13, true},
    {"cb4", {360, 45, 100, 25}, {}, true, kArial, 13, true},
    {"cb5", {480, 45, 100, 25}, {}, true, kArial, 13, true},
    {"cb6", {10, 75, 100, 25}, {}, true, kArial, 13, true},
    {"cb7", {120, 75, 100, 25}, {}, true, kArial, 13, true},
    {"cb8", {240, 75, 100, 25}, {}, true, kArial, 13, true},
    {"cb9", {360, 75, 100, 25}, {}, true, kArial, 13, true},
    {"cb10", {480, 75, 100, 25}, {}, true, kArial, 13, true},
    {"cb11", {600, 75, 100, 25}, {}, true, kArial, 13, true},
    {"nextb", {672, 45, 110, 25}, QStringLiteral("Sonraki soru"), false, kArial, 11, true},
    {"cikb", {713, 75, 75, 25}, QStringLiteral("Çıkış"), true, kSans, 11, false},
    {"Label1", {0, 132, 40, 13}, QStringLiteral("Doğru:"), true, kArial, 11, true},
    {"Label2", {0, 153, 40, 13}, QStringLiteral("Yanlış:"), true, kArial, 11, true},
    {"pb1", {40, 130, 650, 17}, {}, true, kSans, 11, false},
    {"pb2", {40, 153, 650, 17}, {}, true, kSans, 11, false},
    {"cumle", {5, 180, 500, 21}, {}, true, kSans, 11, false},
    {"secb", {520, 178, 75, 25}, QStringLiteral("Tümünü Seç"), true, kSans, 11, false},
    {"kopyab", {610, 178, 75, 25}, QStringLiteral("Kopyala"), true, kSans, 11, false},
    {"sesb", {695, 178, 25, 25}, {}, true, kSans, 11, false},
    {"Label3",
     {150, 205, 505, 13},
     QStringLiteral("Aşağıdaki bilgilere tıkladıktan sonra CTRL+F tuş bileşimine basarak kelime "
                    "arayabilirsiniz."),
     true,
     kSans,
     11,
     true},
    {"sb", {0, 497, 792, 19}, {}, true, kSans, 11, false},
};

class QuizLayout : public testing::TestWithParam<Placed> {
protected:
    static inline std::unique_ptr<QuizWindow> quiz;
    static void SetUpTestSuite() { quiz = std::make_unique<QuizWindow>(); }
    static void TearDownTestSuite() { quiz.reset(); }
};

TEST_P(QuizLayout, ControlStandsAtItsPlaceWithItsCaptionAndFont) {
    const Placed& p = GetParam();
    auto* widget = (*quiz)->findChild<QWidget*>(QLatin1String(p.name));
    ASSERT_TRUE(widget);
    EXPECT_EQ(widget->geometry(), p.geometry);
    EXPECT_EQ(shown(widget), p.visible);
    if (const auto* b = qobject_cast<QPushButton*>(widget)) {
        EXPECT_EQ(b->text(), p.text);
    }
    if (const auto* l = qobject_cast<QLabel*>(widget)) {
        EXPECT_EQ(l->text(), p.text);
    }
    EXPECT_EQ(widget->font().family(), p.font);
    EXPECT_EQ(widget->font().pixelSize(), p.pixels);
    EXPECT_EQ(widget->font().bold(), p.bold);
}

INSTANTIATE_TEST_SUITE_P(Controls, QuizLayout, testing::ValuesIn(kLayout),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuizWindowBuilt, WindowColoursBarsPicturesTabOrderAndNames) {
    QuizWindow quiz;
    Tsorcevekr& w = *quiz;
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.windowTitle().isEmpty());
    EXPECT_EQ(w.pos(), QPoint(192, 114));
    EXPECT_EQ(w.size(), QSize(792, 516));
    EXPECT_EQ(w.palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::ToolTipBase));
    EXPECT_EQ(w.ilke->palette().color(QPalette::Window), QColor(166, 202, 240));
    EXPECT_EQ(w.bose->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(w.bose->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Highlight));
    EXPECT_EQ(w.bose->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(w.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(w.Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(w.Label3->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(w.nextb->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    EXPECT_EQ(w.cb[0]->palette().color(QPalette::ButtonText), QColor(Qt::black));
    for (QProgressBar* bar : {w.pb1, w.pb2}) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->value(), 0);
    }
    for (QPushButton* b : {w.nextb, w.cikb, w.sesb})
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    EXPECT_EQ(w.sesb->toolTip(), QStringLiteral("İngilizce Cümleyi Seslendir"));
    EXPECT_TRUE(w.sesb->text().isEmpty());
    EXPECT_FALSE(w.cumle->isReadOnly());
    EXPECT_EQ(w.web, nullptr); // the web engine waits for the first showing

    const QList<QWidget*> order{w.cb[0],  w.cb[1], w.cb[3], w.cb[4],  w.cb[5], w.cb[6],
                                w.nextb,  w.cikb,  w.cb[2], w.cb[7],  w.cb[8], w.cb[9],
                                w.cb[10], w.cumle, w.secb,  w.kopyab, w.sesb};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(nextTabStop(order[i]), order[i + 1])
            << order[i]->objectName().toStdString() << " then "
            << nextTabStop(order[i])->objectName().toStdString();

    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.sesb)->text(QAccessible::Name),
              QStringLiteral("sesb"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.sesb)->text(QAccessible::Description),
              QStringLiteral("İngilizce Cümleyi Seslendir"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.cumle)->text(QAccessible::Name),
              QStringLiteral("cumle"));
    EXPECT_EQ(w.notesPath(), quiz.work.path() + QStringLiteral("/ingcev.mht"));
}

// ---------------------------------------------------------------------------------------------
// Asking questions.

TEST(QuizShowing, FirstShowingLoadsTheNotesAndAsksAQuestion) {
    QuizWindow quiz;
    Tsorcevekr& w = *quiz;
    quiz.show();
    ASSERT_TRUE(w.web);
    EXPECT_EQ(w.web->objectName(), QStringLiteral("web"));
    EXPECT_EQ(w.web->geometry(), QRect(5, 220, 780, 250));
    EXPECT_TRUE(w.web->isVisible());
    EXPECT_EQ(w.size(), QSize(792, 516));

    const QString number = w.ADO->fieldAsString(QStringLiteral("Number"));
    EXPECT_TRUE(w.ADO->filtered());
    EXPECT_EQ(w.ADO->filter(), QStringLiteral("Number = ") + number);
    EXPECT_GE(number.toInt(), 1);
    EXPECT_LE(number.toInt(), 11); // 12 questions: the last is never asked
    EXPECT_EQ(w.cumle->text(), w.ADO->fieldAsString(QStringLiteral("soru")));
    EXPECT_EQ(w.ADOCEV->filter(),
              QStringLiteral("testad = '%1'").arg(w.ADO->fieldAsString(QStringLiteral("testad"))));
    EXPECT_EQ(w.ADOCEV->fieldAsString(QStringLiteral("testad")),
              w.ADO->fieldAsString(QStringLiteral("testad")));
    EXPECT_EQ(w.bose->text(), kNineBlanks);
    EXPECT_FALSE(w.boseAutoSize());
    EXPECT_FALSE(shown(w.nextb));
    EXPECT_EQ(w.cb[0]->text(), w.ADOCEV->fieldAsString(QStringLiteral("cev1")));
    EXPECT_EQ(w.cb[1]->text(), w.ADOCEV->fieldAsString(QStringLiteral("cev2")));
    for (int k = 3; k <= 11; ++k) {
        const FieldValue value = w.ADOCEV->fieldValue(QStringLiteral("cev%1").arg(k));
        EXPECT_EQ(shown(button(w, k)), value.has_value()) << k;
        EXPECT_EQ(button(w, k)->text(), value.value_or(QString())) << k;
    }

    QSignalSpy loaded(w.web, SIGNAL(loadFinished(bool)));
    ASSERT_TRUE(loaded.wait(kLoadTimeoutMs));
    EXPECT_TRUE(loaded.takeFirst().at(0).toBool());
}

struct LineCase {
    int question;
    const char* ilke;
    const char* ikie; // nullptr: hidden
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << "question " << c.question;
}

class QuizLine : public testing::TestWithParam<LineCase> {
protected:
    static inline std::unique_ptr<QuizWindow> quiz;
    static void SetUpTestSuite() { quiz = std::make_unique<QuizWindow>(false); }
    static void TearDownTestSuite() { quiz.reset(); }
};

TEST_P(QuizLine, SentenceIsSplitAroundTheGapAndPlacedByTheMeasuredWidths) {
    const LineCase& c = GetParam();
    Tsorcevekr& w = **quiz;
    ASSERT_TRUE(quiz->ask(c.question));
    EXPECT_EQ(w.ilke->text(), QString::fromUtf8(c.ilke));
    EXPECT_EQ(w.ilke->width(), fittedWidth(w.ilke));
    for (const QLabel* label : {w.ilke, w.bose, w.ikie})
        EXPECT_EQ(label->y(), 10);
    if (!c.ikie) {
        // A leading gap: the gap label first, 60 wide, the rest 10 pixels right of it.
        EXPECT_FALSE(shown(w.ikie));
        EXPECT_EQ(w.bose->geometry(), QRect(10, 10, 60, 24));
        EXPECT_EQ(w.ilke->x(), 80);
        return;
    }
    EXPECT_TRUE(shown(w.ikie));
    EXPECT_EQ(w.ikie->text(), QString::fromUtf8(c.ikie));
    EXPECT_EQ(w.ikie->width(), fittedWidth(w.ikie));
    EXPECT_EQ(w.ilke->x(), 10);
    EXPECT_EQ(w.bose->x(), 10 + w.ilke->width() + 10);
    EXPECT_EQ(w.ikie->x(), 10 + w.ilke->width() + w.bose->width() + 20);
}

INSTANTIATE_TEST_SUITE_P(SampleQuestions, QuizLine,
                         testing::Values(LineCase{1, "This is my ", "."},
                                         LineCase{2, "  is my book.", nullptr},
                                         LineCase{7, "This is ", ""},
                                         LineCase{8, "He has ", "pears."},
                                         LineCase{11, "I am ", "to see you."}));

// What the three labels show and where.
struct LineState {
    QString ilke, bose, ikie;
    QRect ilkeAt, boseAt, ikieAt;
    bool ikieShown;
    bool operator==(const LineState&) const = default;
};

LineState lineOf(const Tsorcevekr& w) {
    return {w.ilke->text(),     w.bose->text(),     w.ikie->text(), w.ilke->geometry(),
            w.bose->geometry(), w.ikie->geometry(), shown(w.ikie)};
}

TEST(QuizQuestions, ASingleLeadingBlankLeavesTheLabelsAsTheyWere) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    // Until question 9 has come after a question of each layout (leading and inner gap).
    bool afterLeading = false;
    bool afterInner = false;
    for (int i = 0; i < 5000 && !(afterLeading && afterInner); ++i) {
        const LineState before = lineOf(w);
        const bool leading = !before.ikieShown;
        w.sorusor();
        if (w.ADO->fieldAsString(QStringLiteral("Number")) != QStringLiteral("9") ||
            before.ilke.isEmpty())
            continue;
        EXPECT_EQ(w.cumle->text(), QStringLiteral(" single leading blank then a word"));
        EXPECT_TRUE(lineOf(w) == before) << before.ilke.toStdString();
        (leading ? afterLeading : afterInner) = true;
    }
    EXPECT_TRUE(afterLeading && afterInner);
}

struct ButtonsCase {
    int question;
    const char* captions[11]; // nullptr: hidden
};

void PrintTo(const ButtonsCase& c, std::ostream* os) {
    *os << "question " << c.question;
}

class QuizButtons : public testing::TestWithParam<ButtonsCase> {
protected:
    static inline std::unique_ptr<QuizWindow> quiz;
    static void SetUpTestSuite() { quiz = std::make_unique<QuizWindow>(false); }
    static void TearDownTestSuite() { quiz.reset(); }
};

TEST_P(QuizButtons, EmptyFieldsHideTheirButtonsAndZeroLengthTextShowsOne) {
    const ButtonsCase& c = GetParam();
    Tsorcevekr& w = **quiz;
    ASSERT_TRUE(quiz->ask(3)); // all eleven shown first, so that hiding is seen
    ASSERT_TRUE(quiz->ask(c.question));
    for (int k = 1; k <= 11; ++k) {
        const char* caption = c.captions[k - 1];
        EXPECT_EQ(shown(button(w, k)), caption != nullptr) << "cb" << k;
        EXPECT_EQ(button(w, k)->text(), QString::fromUtf8(caption ? caption : "")) << "cb" << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AnswerSets, QuizButtons,
    testing::Values(
        // t1: four answers.
        ButtonsCase{1, {"book", "This", "good", "pen"}},
        // t3: cev5 null leaves a hole in the row; cev7 of length zero gives a blank button.
        ButtonsCase{4, {"taller", "happy", "glad", "sad", nullptr, "shorter", "", "Between"}},
        // t2: all eleven.
        ButtonsCase{6,
                    {"library", "go", "walk", "run", "school", "park", "market", "station", "bank",
                     "cinema", "museum"}}));

// ---------------------------------------------------------------------------------------------
// Judging answers.

TEST(QuizAnswers, RightAndWrongPressesAreCountedAndTheAnswerIsRevealed) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    quiz.show();
    // "The cat is          the boxes.": dc1 "between", dc2 "among"; set t4 offers "Between".
    ASSERT_TRUE(quiz.ask(5));
    const int right = w.pb1->value();
    const int wrong = w.pb2->value();

    QTest::mouseClick(button(w, 1), Qt::LeftButton); // "Between"
    EXPECT_EQ(w.bose->text(), QStringLiteral("between"));
    EXPECT_TRUE(w.boseAutoSize());
    EXPECT_EQ(w.bose->width(), fittedWidth(w.bose));
    EXPECT_EQ(w.ikie->x(), w.ilke->x() + w.ilke->width() + w.bose->width() + 20);
    EXPECT_EQ(w.pb1->value(), right + 1);
    EXPECT_EQ(w.pb2->value(), wrong);
    EXPECT_TRUE(w.nextb->isVisible());

    QTest::mouseClick(button(w, 3), Qt::LeftButton); // "under": wrong after right
    EXPECT_EQ(w.pb2->value(), wrong + 1);
    EXPECT_EQ(w.bose->text(), QStringLiteral("between"));
    EXPECT_TRUE(w.nextb->isVisible());

    QTest::mouseClick(button(w, 2), Qt::LeftButton); // "among", the second correct answer
    EXPECT_EQ(w.bose->text(), QStringLiteral("among"));
    QTest::mouseClick(button(w, 1), Qt::LeftButton);
    EXPECT_EQ(w.pb1->value(), right + 3); // three right presses
    EXPECT_EQ(w.cumle->text(), QStringLiteral("The cat is          the boxes."));

    QTest::mouseClick(w.nextb, Qt::LeftButton);
    EXPECT_FALSE(w.nextb->isVisible());
    EXPECT_EQ(w.bose->text(), kNineBlanks);
}

TEST(QuizAnswers, AWrongPressOnALeadingGapFitsTheGapAndMovesTheSentence) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    ASSERT_TRUE(quiz.ask(2)); // "   is my book.", set t1
    ASSERT_EQ(w.bose->width(), 60);
    w.cevkont(button(w, 3)); // "good"
    EXPECT_EQ(w.bose->text(), kNineBlanks);
    EXPECT_EQ(w.bose->width(), fittedWidth(w.bose));
    EXPECT_NE(w.bose->width(), 60);
    EXPECT_EQ(w.bose->x(), 10);
    EXPECT_EQ(w.ilke->x(), 10 + w.bose->width() + 10);
    EXPECT_EQ(w.pb2->value(), 1);
    EXPECT_FALSE(shown(w.nextb));
}

TEST(QuizAnswers, BarsStopAtOneHundred) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    ASSERT_TRUE(quiz.ask(5));
    for (int i = 0; i < 105; ++i)
        w.cevkont(button(w, 1));
    EXPECT_EQ(w.pb1->value(), 100);
    w.cevkont(button(w, 4));
    EXPECT_EQ(w.pb1->value(), 100);
    EXPECT_EQ(w.pb2->value(), 1);
}

// ---------------------------------------------------------------------------------------------
// Showing, hiding and the auxiliary buttons.

TEST(QuizShowing, ReopeningKeepsTheBarsResetsTheSizeAndAsksAgain) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    quiz.show();
    ASSERT_TRUE(quiz.ask(5));
    w.cevkont(button(w, 1));
    w.cevkont(button(w, 4));
    ASSERT_TRUE(shown(w.nextb));
    w.resize(600, 400);
    w.move(300, 200);
    const QPoint place = w.pos();

    QTest::mouseClick(w.cikb, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.bose->text(), QStringLiteral("between")); // closing resets nothing
    EXPECT_EQ(w.size(), QSize(600, 400));

    quiz.show();
    EXPECT_EQ(w.size(), QSize(792, 516));
    EXPECT_EQ(w.pos(), place);
    EXPECT_EQ(w.sb->geometry(), QRect(0, 497, 792, 19));
    EXPECT_EQ(w.pb1->value(), 1);
    EXPECT_EQ(w.pb2->value(), 1);
    EXPECT_FALSE(shown(w.nextb)); // a new question
    EXPECT_EQ(w.bose->text(), kNineBlanks);
}

TEST(QuizShowing, TheMainWindowsButtonOnlyRaisesAnOpenQuiz) {
    test::MainWindowOnSample main;
    QuizWindow quiz(false, true, &main.state, &main.platform);
    Tsorcevekr& w = *quiz;
    main->boslukbClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QuizWindow::waitForPane(w));
    EXPECT_EQ(w.focusWidget(), w.cb[0]); // the window that opens has the focus on its first stop
    ASSERT_TRUE(quiz.ask(5));
    w.cevkont(button(w, 1));
    QWidget* pane = w.web;

    main->boslukbClick();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.ADO->filter(), QStringLiteral("Number = 5"));
    EXPECT_EQ(w.bose->text(), QStringLiteral("between"));
    EXPECT_TRUE(w.nextb->isVisible());
    EXPECT_EQ(w.web, pane);

    w.close();
    main->boslukbClick();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.nextb->isVisible());
    EXPECT_EQ(w.web, pane); // one pane for the whole run
}

TEST(QuizButtonsAux, CopyTakesOnlyTheSelectionAndSelectAllKeepsItShown) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    quiz.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(quiz.ask(1));
    QClipboard* clipboard = QGuiApplication::clipboard();

    clipboard->setText(QStringLiteral("before"));
    w.cumle->deselect();
    QTest::mouseClick(w.kopyab, Qt::LeftButton);
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));

    // A part selected by the learner survives the press on the copy button, hidden meanwhile.
    w.cumle->setFocus();
    w.cumle->setSelection(0, 4);
    QTest::mouseClick(w.kopyab, Qt::LeftButton);
    EXPECT_FALSE(w.cumle->hasFocus());
    EXPECT_FALSE(w.cumle->showsSelection());
    EXPECT_EQ(clipboard->text(), QStringLiteral("This"));

    QTest::mouseClick(w.secb, Qt::LeftButton);
    EXPECT_TRUE(w.cumle->showsSelection());
    QTest::mouseClick(w.kopyab, Qt::LeftButton);
    EXPECT_EQ(clipboard->text(), QStringLiteral("This is my          ."));

    // From then on the selection stays shown without the focus.
    w.cumle->setFocus();
    w.cumle->setSelection(5, 2);
    w.secb->setFocus();
    EXPECT_TRUE(w.cumle->showsSelection());
    EXPECT_EQ(w.cumle->selectedText(), QStringLiteral("is"));
}

TEST(QuizButtonsAux, SpeechSaysWhatTheEditBoxHoldsWithTheProgramsVoice) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    ASSERT_TRUE(quiz.ask(1));
    w.cumle->setText(QStringLiteral("This is my own  book."));
    w.sesbClick();
    w.sesbClick();
    FakePlatform& p = quiz.platform();
    EXPECT_EQ(p.speech.spoken, QStringList({QStringLiteral("This is my own  book."),
                                            QStringLiteral("This is my own  book.")}));
    EXPECT_EQ(p.speech.opened, 1); // the one voice of the program, kept
    EXPECT_EQ(p.speech.released, 0);

    p.speech.speakError = QStringLiteral("no sound device");
    try {
        w.sesbClick();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(), QStringLiteral("no sound device"));
    }
}

// ---------------------------------------------------------------------------------------------
// The notes pane.

// Opens the pane's find bar with Ctrl+F from inside the pane and searches for `text`; the
// number of matches, or -1 when the search did not answer.
int findInNotes(Tsorcevekr& w, const QString& text) {
    w.web->setFocus();
    QWidget* inside = QApplication::focusWidget();
    if (!inside || !w.web->isAncestorOf(inside))
        return -1;
    QTest::keyClick(inside, Qt::Key_F, Qt::ControlModifier);
    auto* bar = w.web->findChild<QWidget*>(QStringLiteral("webFind"));
    auto* edit = w.web->findChild<QLineEdit*>(QStringLiteral("webFindText"));
    auto* count = w.web->findChild<QLabel*>(QStringLiteral("webFindCount"));
    if (!bar || !edit || !count || !bar->isVisible() || !edit->hasFocus())
        return -1;
    QSignalSpy found(w.web, SIGNAL(found(int)));
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
    if (!found.wait(10000) && found.isEmpty())
        return -1;
    QTest::qWait(200); // the last key's answer
    const int matches = found.last().at(0).toInt();
    EXPECT_EQ(count->text().section(QLatin1Char('/'), 1).toInt(), matches);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    return matches;
}

TEST(QuizNotes, CtrlFInThePaneFindsWordsOfTheNotes) {
    QuizWindow quiz;
    Tsorcevekr& w = *quiz;
    quiz.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QSignalSpy loaded(w.web, SIGNAL(loadFinished(bool)));
    ASSERT_TRUE(loaded.wait(kLoadTimeoutMs));
    ASSERT_TRUE(loaded.first().at(0).toBool());
    EXPECT_GT(findInNotes(w, QStringLiteral("geçmiş")), 0);
    EXPECT_EQ(findInNotes(w, QStringLiteral("xqzvqx")), 0);
}

TEST(QuizNotes, AMissingNotesPageShowsTheErrorPageAndTheQuizStillWorks) {
    QuizWindow quiz(false);
    Tsorcevekr& w = *quiz;
    quiz.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QSignalSpy loaded(w.web, SIGNAL(loadFinished(bool)));
    ASSERT_TRUE(loaded.wait(kLoadTimeoutMs));
    EXPECT_FALSE(loaded.first().at(0).toBool());
    QTest::qWait(500); // the error page replaces the failed load
    EXPECT_GT(findInNotes(w, QStringLiteral("ERR_FILE_NOT_FOUND")), 0);

    EXPECT_FALSE(w.cb[0]->text().isEmpty());
    const int presses = w.pb1->value() + w.pb2->value();
    QTest::mouseClick(w.cb[0], Qt::LeftButton);
    EXPECT_EQ(w.pb1->value() + w.pb2->value(), presses + 1);
}

// What the quiz window shows of its notes: the pane made or not, the line in its place, the cursor.
QString notesState(const Tsorcevekr& w) {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return QStringLiteral("%1|%2|%3|%4")
        .arg(w.web ? u"pane" : u"")
        .arg(w.webNote->isVisible() ? w.webNote->text() : QString())
        .arg(cursor && cursor->shape() == Qt::BusyCursor ? u"busy" : u"")
        .arg(w.cb[0]->text().isEmpty() ? u"" : u"question");
}

// The first showing: the window with its question and buttons on the screen first, a line in the
// pane's place and the busy cursor while the web engine starts; then the notes, the line gone.
TEST(QuizNotes, TheQuestionComesFirstThenTheNotesUnderTheBusyCursor) {
    QuizWindow quiz;
    Tsorcevekr& w = *quiz;
    struct FirstFrame : QObject {
        QString seen;
        bool eventFilter(QObject* window, QEvent* event) override {
            if (event->type() == QEvent::Paint && seen.isEmpty())
                seen = notesState(*static_cast<Tsorcevekr*>(window));
            return false;
        }
    } first;
    w.installEventFilter(&first);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first.seen.isEmpty(); }, kLoadTimeoutMs));
    w.removeEventFilter(&first);
    EXPECT_EQ(first.seen, QStringLiteral("|Ders notları açılıyor, lütfen bekleyin…|busy|question"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.webNote->isHidden(); }, kLoadTimeoutMs));
    EXPECT_EQ(notesState(w), QStringLiteral("pane|||question"));
    w.hide();
}

// Without the notes module the pane's place says why it is empty; no box, and the quiz goes on.
// Run in a copy of this program in a folder of its own, with no module beside it.
TEST(QuizNotes, WithoutTheNotesModuleThePaneSaysWhyAndNoBoxComes) {
    if (qEnvironmentVariableIsEmpty("PELTAVO_TEST_WITHOUT_NOTES_MODULE"))
        return test::expectPassesInChild(
            "QuizNotes.WithoutTheNotesModuleThePaneSaysWhyAndNoBoxComes",
            "PELTAVO_TEST_WITHOUT_NOTES_MODULE", u"1"_s, true);
    QuizWindow quiz;
    Tsorcevekr& w = *quiz;
    for (int showing = 0; showing < 2; ++showing) { // the later showing says the same
        w.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !notesState(w).contains(u"busy"); }, 10000));
        EXPECT_TRUE(notesState(w).startsWith(u"|Ders notları gösterilemiyor."_s)) << showing;
        EXPECT_TRUE(w.webNote->text().contains(u"peltavo-notes.so"_s));
        QTest::mouseClick(w.cb[0], Qt::LeftButton);
        EXPECT_EQ(w.pb1->value() + w.pb2->value(), showing + 1);
        w.close();
    }
    EXPECT_TRUE(quiz.platform().fakeDialogs.log.isEmpty());
    EXPECT_TRUE(test::applicationPlatform().fakeDialogs.log.isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Failures.

TEST(QuizFailures, ClosedTablesAreReportedAndNoPressIsCounted) {
    QuizWindow quiz(false, false);
    Tsorcevekr& w = *quiz;
    FakePlatform& p = quiz.platform();
    ASSERT_EQ(p.fakeDialogs.log.size(), 2); // the file dialog, then "No Database Selected"
    quiz.show();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(p.fakeDialogs.log.size(), 3);
    EXPECT_EQ(p.fakeDialogs.log.last(),
              QStringLiteral("Peltavo: ADO: Cannot perform this operation on a closed dataset"));

    test::FakePlatform& loop = test::applicationPlatform();
    const qsizetype before = loop.fakeDialogs.log.size();
    QTest::mouseClick(w.cb[0], Qt::LeftButton);
    ASSERT_EQ(loop.fakeDialogs.log.size(), before + 1);
    EXPECT_EQ(loop.fakeDialogs.log.last(), QStringLiteral("Peltavo: ADO: Field 'dc1' not found"));
    EXPECT_EQ(w.pb1->value() + w.pb2->value(), 0);
}

TableData questionTable(std::vector<std::vector<FieldValue>> rows) {
    TableData table;
    table.name = QStringLiteral("sorubos");
    table.columns = {{QStringLiteral("Number"), ColumnType::Integer},
                     {QStringLiteral("soru")},
                     {QStringLiteral("testad")},
                     {QStringLiteral("dc1")},
                     {QStringLiteral("dc2")},
                     {QStringLiteral("dc3")}};
    table.rows = std::move(rows);
    return table;
}

TableData answerTable(std::vector<std::vector<FieldValue>> rows) {
    TableData table;
    table.name = QStringLiteral("cevap");
    table.columns = {{QStringLiteral("testad")}};
    for (int k = 1; k <= 11; ++k)
        table.columns.push_back({QStringLiteral("cev%1").arg(k)});
    for (auto& row : rows)
        row.resize(12);
    table.rows = std::move(rows);
    return table;
}

const FieldValue kNull = std::nullopt;

// The quiz window on tables held in memory: one question, so that the draw always gives 1.
class QuizOnTables : public testing::Test {
protected:
    void open(std::vector<FieldValue> question, std::vector<std::vector<FieldValue>> answers) {
        w().ADO->close();
        w().ADOCEV->close();
        w().ADO->setTableName(QStringLiteral("sorubos"));
        w().ADO->open(questionTable({std::move(question)}));
        w().ADOCEV->setTableName(QStringLiteral("cevap"));
        w().ADOCEV->open(answerTable(std::move(answers)));
    }
    Tsorcevekr& w() { return *quiz; }
    // Runs sorusor and gives the message of the error it raised (empty when none).
    QString askFails() {
        try {
            w().sorusor();
        } catch (const Error& error) {
            return error.message();
        }
        return {};
    }
    // Marks the controls so that a step that did not run is seen.
    void mark() {
        w().cumle->setText(QStringLiteral("before"));
        w().nextb->show();
        for (QPushButton* b : w().cb)
            b->setText(QStringLiteral("old"));
        w().bose->setText(QStringLiteral("old"));
    }

    QuizWindow quiz{false, false};
};

// Right of the gap only the words after it are coloured: a gap that ends the sentence leaves
// nothing there, also when the label after the gap has never shown a word (the first question).
TEST_F(QuizOnTables, NothingIsColouredRightOfAGapThatEndsTheSentence) {
    const struct {
        const char* sentence;
        bool wordsAfter;
    } cases[] = {{"This is          ", false}, {"He has          pears.", true}};
    for (const auto& c : cases) {
        open({QStringLiteral("1"), QString::fromUtf8(c.sentence), QStringLiteral("t"),
              QStringLiteral("b"), kNull, kNull},
             {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
        w().sorusor();
        const QImage shot = w().grab().toImage();
        const QRect gap = w().bose->geometry();
        int coloured = 0;
        for (int x = gap.right() + 1; x < shot.width(); ++x)
            coloured += shot.pixelColor(x, gap.center().y()) == QColor(166, 202, 240);
        EXPECT_EQ(coloured > 0, c.wordsAfter) << c.sentence;
    }
}

TEST_F(QuizOnTables, NoRowForTheDrawnNumberStopsAtTheSentence) {
    open({QStringLiteral("5"), QStringLiteral("A  b"), QStringLiteral("t"), QStringLiteral("b"),
          kNull, kNull},
         {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
    mark();
    EXPECT_EQ(askFails(), kNullError);
    EXPECT_EQ(w().ADO->filter(), QStringLiteral("Number = 1"));
    EXPECT_EQ(w().bose->text(), kNineBlanks); // done before the failure
    EXPECT_EQ(w().cumle->text(), QStringLiteral("before"));
    EXPECT_TRUE(shown(w().nextb)); // kept, so that the learner can draw again
}

TEST_F(QuizOnTables, NullSentenceOrTestNameLeavesTheEditBox) {
    for (int nullField : {1, 2}) {
        std::vector<FieldValue> row{QStringLiteral("1"),
                                    QStringLiteral("A  b"),
                                    QStringLiteral("t"),
                                    QStringLiteral("b"),
                                    kNull,
                                    kNull};
        row[nullField] = kNull;
        open(row, {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
        mark();
        EXPECT_EQ(askFails(), kNullError) << nullField;
        EXPECT_EQ(w().cumle->text(), QStringLiteral("before")) << nullField;
        EXPECT_EQ(w().cb[0]->text(), QStringLiteral("old")) << nullField;
    }
}

TEST_F(QuizOnTables, MissingAnswerSetOrNullFirstAnswerStopsAtTheCaptions) {
    const std::vector<FieldValue> question{QStringLiteral("1"),
                                           QStringLiteral("A  b"),
                                           QStringLiteral("t"),
                                           QStringLiteral("b"),
                                           kNull,
                                           kNull};
    // No set named "t": every button but the first two hidden, their captions cleared.
    open(question, {{QStringLiteral("other"), QStringLiteral("b"), QStringLiteral("c"),
                     QStringLiteral("d")}});
    mark();
    EXPECT_EQ(askFails(), kNullError);
    EXPECT_EQ(w().cumle->text(), QStringLiteral("A  b"));
    EXPECT_EQ(w().ilke->text(), QStringLiteral("A "));
    EXPECT_EQ(w().ikie->text(), QStringLiteral("b"));
    EXPECT_FALSE(shown(w().cb[2]));
    EXPECT_TRUE(w().cb[0]->text().isEmpty());
    EXPECT_TRUE(shown(w().nextb));

    // A null cev1: the buttons of the filled fields are shown, none captioned.
    open(question, {{QStringLiteral("t"), kNull, QStringLiteral("c"), QStringLiteral("d")}});
    mark();
    EXPECT_EQ(askFails(), kNullError);
    EXPECT_TRUE(shown(w().cb[2]));
    EXPECT_FALSE(shown(w().cb[3]));
    EXPECT_TRUE(w().cb[2]->text().isEmpty());
}

TEST_F(QuizOnTables, AQuoteInTheTestNameBreaksTheFilterAfterTheLayout) {
    open({QStringLiteral("1"), QStringLiteral("A  b"), QStringLiteral("t'x"), QStringLiteral("b"),
          kNull, kNull},
         {{QStringLiteral("t'x"), QStringLiteral("b"), QStringLiteral("c")}});
    mark();
    EXPECT_FALSE(askFails().isEmpty());
    EXPECT_EQ(w().cumle->text(), QStringLiteral("A  b"));
    EXPECT_EQ(w().ilke->text(), QStringLiteral("A "));
    EXPECT_EQ(w().cb[0]->text(), QStringLiteral("old"));
    EXPECT_TRUE(shown(w().nextb));
}

TEST_F(QuizOnTables, ANullFirstCorrectAnswerIsReportedAndNotCounted) {
    open({QStringLiteral("1"), QStringLiteral("   b"), QStringLiteral("t"), kNull,
          QStringLiteral("b"), kNull},
         {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
    ASSERT_TRUE(askFails().isEmpty());
    ASSERT_EQ(w().bose->width(), 60);
    try {
        w().cevkont(w().cb[0]);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(), kNullError);
    }
    EXPECT_EQ(w().pb1->value() + w().pb2->value(), 0);
    EXPECT_EQ(w().bose->width(), 60); // not laid out again
    EXPECT_FALSE(w().boseAutoSize());
}

// The same failures as the learner meets them, in the window: the message box that the quiz
// window (its showing) or the event loop (a button) shows, and what stays on the screen.
class QuizWindowOnTables : public QuizOnTables {
protected:
    // What the event loop showed since the last call.
    QStringList loopMessages() {
        test::FakePlatform& loop = test::applicationPlatform();
        const QStringList shown = loop.fakeDialogs.log.mid(loopSeen_);
        loopSeen_ = loop.fakeDialogs.log.size();
        return shown;
    }
    void SetUp() override { loopMessages(); }
    void TearDown() override { w().hide(); }

private:
    qsizetype loopSeen_ = 0;
};

const QString kNullMessage = QStringLiteral("Peltavo: ") + kNullError;

TEST_F(QuizWindowOnTables, NoRowForTheDrawnNumberIsShownAtTheShowingAndAtTheNextQuestion) {
    // One question, numbered 5: the draw always gives 1, which no row carries.
    open({QStringLiteral("5"), QStringLiteral("A  b"), QStringLiteral("t"), QStringLiteral("b"),
          kNull, kNull},
         {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
    FakePlatform& p = quiz.platform();
    const qsizetype before = p.fakeDialogs.log.size();
    mark();
    quiz.show();
    EXPECT_TRUE(w().isVisible()); // the window still appears
    ASSERT_EQ(p.fakeDialogs.log.size(), before + 1);
    EXPECT_EQ(p.fakeDialogs.log.last(), kNullMessage);
    EXPECT_EQ(p.fakeDialogs.messages.back().icon, platform::Message::Icon::Error);
    EXPECT_EQ(w().bose->text(), kNineBlanks);
    EXPECT_EQ(w().cumle->text(), QStringLiteral("before"));

    // The next-question button, kept visible, draws again and fails the same way.
    ASSERT_TRUE(shown(w().nextb));
    QTest::mouseClick(w().nextb, Qt::LeftButton);
    EXPECT_EQ(loopMessages(), QStringList{kNullMessage});
    EXPECT_TRUE(shown(w().nextb));
    EXPECT_EQ(w().cumle->text(), QStringLiteral("before"));
    EXPECT_EQ(w().pb1->value() + w().pb2->value(), 0);
    EXPECT_TRUE(w().isVisible());
}

TEST_F(QuizWindowOnTables, ANullFirstCorrectAnswerPressedIsShownAndNotCounted) {
    open({QStringLiteral("1"), QStringLiteral("This is  ."), QStringLiteral("t"), kNull,
          QStringLiteral("b"), kNull},
         {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
    quiz.show();
    ASSERT_EQ(w().cb[0]->text(), QStringLiteral("b"));
    QTest::mouseClick(w().cb[0], Qt::LeftButton);
    EXPECT_EQ(loopMessages(), QStringList{kNullMessage});
    EXPECT_EQ(w().pb1->value() + w().pb2->value(), 0);
    EXPECT_EQ(w().bose->text(), kNineBlanks);
    EXPECT_FALSE(shown(w().nextb));
}

TEST_F(QuizWindowOnTables, AQuoteInTheTestNameIsShownByTheNextQuestionButton) {
    open({QStringLiteral("1"), QStringLiteral("A  b"), QStringLiteral("t'x"), QStringLiteral("b"),
          kNull, kNull},
         {{QStringLiteral("t'x"), QStringLiteral("b"), QStringLiteral("c")}});
    FakePlatform& p = quiz.platform();
    const qsizetype before = p.fakeDialogs.log.size();
    quiz.show();
    ASSERT_EQ(p.fakeDialogs.log.size(), before + 1); // the showing's question fails at the filter
    EXPECT_TRUE(p.fakeDialogs.log.last().startsWith(QStringLiteral("Peltavo: ")));
    mark();
    QTest::mouseClick(w().nextb, Qt::LeftButton);
    const QStringList shownByLoop = loopMessages();
    ASSERT_EQ(shownByLoop.size(), 1);
    EXPECT_EQ(shownByLoop[0], p.fakeDialogs.log.last());  // the same error of the database layer
    EXPECT_EQ(w().cumle->text(), QStringLiteral("A  b")); // done before the filter
    EXPECT_EQ(w().cb[0]->text(), QStringLiteral("old"));  // not reached
}

TEST_F(QuizWindowOnTables, ASpeechFailureIsShownAndChangesNothing) {
    open({QStringLiteral("1"), QStringLiteral("This is  ."), QStringLiteral("t"),
          QStringLiteral("b"), kNull, kNull},
         {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
    quiz.show();
    FakePlatform& p = quiz.platform();
    p.speech.speakError = QStringLiteral("no sound device");
    QTest::mouseClick(w().sesb, Qt::LeftButton);
    EXPECT_EQ(loopMessages(), QStringList{QStringLiteral("Peltavo: no sound device")});
    EXPECT_EQ(w().cumle->text(), QStringLiteral("This is  ."));
    EXPECT_EQ(w().pb1->value() + w().pb2->value(), 0);
    EXPECT_EQ(p.speech.spoken, QStringList{QStringLiteral("This is  .")}); // handed on, refused
}

TEST_F(QuizOnTables, ASentenceWithoutAGapShowsWholeAndTheQuizGoesOn) {
    for (const char* sentence : {"No gap in this sentence.", ""}) {
        open({QStringLiteral("1"), QString::fromUtf8(sentence), QStringLiteral("t"),
              QStringLiteral("b"), kNull, kNull},
             {{QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("c")}});
        ASSERT_TRUE(askFails().isEmpty()) << sentence;
        EXPECT_EQ(w().ilke->text(), QString::fromUtf8(sentence));
        EXPECT_EQ(w().bose->text(), kNineBlanks);
        EXPECT_EQ(w().bose->geometry(), QRect(10, 10, 60, 24));
        EXPECT_EQ(w().ilke->x(), 80);
        EXPECT_FALSE(shown(w().ikie));
        w().cevkont(w().cb[0]);
        EXPECT_EQ(w().bose->text(), QStringLiteral("b"));
        EXPECT_EQ(w().ilke->x(), 10 + w().bose->width() + 10);
    }
}

// The content build measures a sentence's line with the window's fonts and the layout it shares
// with the window; on the window itself the labels end exactly there, when the question is asked
// and once the answer is revealed.
TEST_F(QuizOnTables, TheLabelsEndWhereTheContentBuildMeasuresTheLine) {
    const QFontMetrics metrics(quiz::lineFont());
    const quiz::LabelWidth width = [&metrics](const QString& text) {
        return quiz::fittedLabelWidth(metrics, text);
    };
    const auto lineEnd = [this] {
        int right = w().bose->x() + w().bose->width();
        for (const QLabel* label : {w().ilke, w().ikie}) {
            if (shown(label) && !label->text().isEmpty())
                right = std::max(right, label->x() + label->width());
        }
        return right;
    };
    const std::pair<QString, QString> cases[] = {
        {u"In this photo my father is"_qs + kNineBlanks + u"me, looking over my shoulder."_qs,
         u"behind"_qs},
        {kNineBlanks + u"are the new student, aren't you?"_qs, u"You"_qs},
        {u"Can I have"_qs + kNineBlanks, u"a little"_qs},
        {u"We've lived in İzmir"_qs + kNineBlanks + u"2015."_qs, u"since"_qs},
    };
    for (const auto& [sentence, answer] : cases) {
        SCOPED_TRACE(sentence.toStdString());
        open({QStringLiteral("1"), sentence, QStringLiteral("t"), answer, kNull, kNull},
             {{QStringLiteral("t"), QStringLiteral("x"), answer}});
        ASSERT_TRUE(askFails().isEmpty());
        const quiz::SentenceSplit split = quiz::splitSentence(sentence);
        if (split.kind == quiz::GapKind::Inner) {
            EXPECT_EQ(w().bose->width(), width(quiz::kGapBlanks));
        }
        EXPECT_EQ(lineEnd(), quiz::lineEndAsked(split, width, w().bose->width()));
        w().cevkont(w().cb[1]);
        ASSERT_EQ(w().bose->text(), answer);
        EXPECT_EQ(lineEnd(), quiz::lineEndAfterPress(split, width, answer));
    }
}

// The content build lets an answer word be kAnswerCaptionRoom pixels wide; a caption that wide
// still fits on its button.
TEST(QuizWindowBuilt, AnAnswerAsWideAsTheBuildAllowsFitsOnItsButton) {
    QuizWindow quiz(false, false);
    QPushButton* button = quiz->cb[0];
    const QFontMetrics metrics(button->font());
    QString caption;
    while (metrics.horizontalAdvance(caption + u'm') <= quiz::kAnswerCaptionRoom)
        caption += u'm';
    button->setText(caption);
    EXPECT_LE(button->sizeHint().width(), button->width()) << caption.size();
}

} // namespace
} // namespace peltavo
