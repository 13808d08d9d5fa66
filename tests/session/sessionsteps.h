#pragma once

#include "error.h"
#include "fakeplatform.h"
#include "lineedit.h"
#include "memo.h"
#include "programstate.h"
#include "tablehandle.h"
#include "tanaekr.h"
#include "testpaths.h"
#include "tsorcevekr.h"
#include "tsozlukekr.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace peltavo::test {

// The three windows of the program, built in the order of the start-up (main window, detail
// window, quiz window), on a copy of `database` placed next to the program as peltavo.MDB. The
// quiz window is built in a working directory of its own that holds the lesson notes page, as
// the program's folder does.
class SessionWindows {
public:
    explicit SessionWindows(const QString& database) {
        EXPECT_TRUE(QFile::copy(database, dir.filePath(QStringLiteral("peltavo.MDB"))));
        EXPECT_TRUE(QFile::copy(runtimeDir() + QStringLiteral("/ingcev.mht"),
                                notes.filePath(QStringLiteral("ingcev.mht"))));
        platform.folder = dir.path();
        main = std::make_unique<Tanaekr>(state, platform);
        state.anaekr = main.get();
        main->FormCreate();
        detail = std::make_unique<Tsozlukekr>(state, main->dictionaryTables(), main.get());
        state.sozlukekr = detail.get();
        const QString current = QDir::currentPath();
        QDir::setCurrent(notes.path());
        quiz = std::make_unique<Tsorcevekr>(state, platform);
        QDir::setCurrent(current);
        state.sorcevekr = quiz.get();
        quiz->FormCreate();
    }
    ~SessionWindows() {
        state.sorcevekr = nullptr;
        state.sozlukekr = nullptr;
    }

    QString databasePath() const { return dir.filePath(QStringLiteral("peltavo.MDB")); }

    QTemporaryDir dir;
    QTemporaryDir notes;
    FakePlatform platform;
    ProgramState state;
    std::unique_ptr<Tanaekr> main;
    std::unique_ptr<Tsozlukekr> detail;
    std::unique_ptr<Tsorcevekr> quiz;
};

// The answer button of the quiz window whose caption is (or is not) a correct answer of the
// question on screen; null when there is none.
inline QPushButton* answerButton(SessionWindows& w, bool right) {
    QStringList correct;
    for (const char* field : {"dc1", "dc2", "dc3"}) {
        if (const auto value = w.quiz->ADO->fieldValue(QString::fromLatin1(field)))
            correct << value->toLower();
    }
    for (QPushButton* button : w.quiz->cb) {
        if (button->isVisibleTo(w.quiz.get()) &&
            correct.contains(button->text().toLower()) == right)
            return button;
    }
    return nullptr;
}

// One thing a learner does: a handler call, with what sets it up (a typed search text, a caret).
struct SessionStep {
    const char* name;
    std::function<void(SessionWindows&)> run;
};

// The handlers a session presses, in a round that browses, searches, opens and pages the detail
// window, translates, speaks, opens the quiz window from the main window's quiz button (its
// FormShow asks a question), answers wrong and right, asks the next question, selects, copies
// and speaks the sentence and leaves the quiz by its exit button; switchDirection() adds the
// direction switch.
inline std::vector<SessionStep> sessionRound() {
    auto search = [](const char* text) {
        return [text](SessionWindows& w) {
            w.main->ara->setText(QString::fromUtf8(text));
            w.main->sarabClick();
        };
    };
    auto caretAt = [](int position) {
        return [position](SessionWindows& w) {
            QTextCursor cursor = w.main->prog->textCursor();
            cursor.setPosition(std::min(position, int(w.main->prog->toPlainText().size())));
            w.main->prog->setTextCursor(cursor);
            w.main->progClick();
        };
    };
    auto answer = [](bool right) {
        return [right](SessionWindows& w) {
            if (QPushButton* button = answerButton(w, right))
                w.quiz->cevkont(button);
        };
    };
    return {
        {"next conversation", [](SessionWindows& w) { w.main->ileribClick(); }},
        {"click a word", caretAt(7)},
        {"translate the line", [](SessionWindows& w) { w.main->cumlebClick(); }},
        {"show the whole translation", [](SessionWindows& w) { w.main->metinbClick(); }},
        {"speak the line", [](SessionWindows& w) { w.main->sesbClick(); }},
        {"search 'boo'", search("boo")},
        {"open the detail", [](SessionWindows& w) { w.main->sozlukbClick(); }},
        {"detail next", [](SessionWindows& w) { w.detail->sonrabClick(); }},
        {"detail next", [](SessionWindows& w) { w.detail->sonrabClick(); }},
        {"detail back", [](SessionWindows& w) { w.detail->oncebClick(); }},
        {"previous conversation", [](SessionWindows& w) { w.main->geri1Click(); }},
        {"search 'zzz'", search("zzz")},
        {"search with an apostrophe", search("it's")},
        {"hide the whole translation", [](SessionWindows& w) { w.main->metinbClick(); }},
        {"search 'a'", search("a")},
        {"detail on 'a'", [](SessionWindows& w) { w.main->sozlukbClick(); }},
        {"open the quiz", [](SessionWindows& w) { w.main->boslukbClick(); }},
        {"quiz: a wrong answer", answer(false)},
        {"quiz: the right answer", answer(true)},
        {"quiz: next question", [](SessionWindows& w) { w.quiz->sorusor(); }},
        {"quiz: the right answer", answer(true)},
        {"quiz: select the sentence", [](SessionWindows& w) { w.quiz->secbClick(); }},
        {"quiz: copy it", [](SessionWindows& w) { w.quiz->kopyabClick(); }},
        {"quiz: speak it", [](SessionWindows& w) { w.quiz->sesbClick(); }},
        {"quiz: next question", [](SessionWindows& w) { w.quiz->sorusor(); }},
        {"leave the quiz", [](SessionWindows& w) { w.quiz->cikbClick(); }},
    };
}

// The direction switch, which reads the three tables of the main window again.
inline SessionStep switchDirection() {
    return {"switch the direction", [](SessionWindows& w) { w.main->turbClick(); }};
}

// Runs a step as the event loop does: a peltavo::Error is shown to the learner and the program
// goes on. Returns whether the step raised one. Then the events that the step posted (the
// showing and hiding of a window, layout and update requests, objects deleted later) are
// delivered, as the event loop does before the learner's next press; left undelivered, they pile
// up in Qt's queue of posted events.
inline bool press(SessionWindows& w, const SessionStep& step) {
    bool failed = false;
    try {
        step.run(w);
    } catch (const Error& e) {
        EXPECT_FALSE(e.message().isEmpty()) << step.name;
        failed = true;
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return failed;
}

} // namespace peltavo::test
