#pragma once

#include "error.h"
#include "fakeplatform.h"
#include "lineedit.h"
#include "memo.h"
#include "programstate.h"
#include "tanaekr.h"
#include "tsozlukekr.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace peltavo::test {

// The main window and the dictionary detail window on a copy of `database` placed next to the
// program as peltavo.MDB.
class SessionWindows {
public:
    explicit SessionWindows(const QString& database) {
        EXPECT_TRUE(QFile::copy(database, dir.filePath(QStringLiteral("peltavo.MDB"))));
        platform.folder = dir.path();
        main = std::make_unique<Tanaekr>(state, platform);
        state.anaekr = main.get();
        main->FormCreate();
        detail = std::make_unique<Tsozlukekr>(state, main->dictionaryTables(), main.get());
        state.sozlukekr = detail.get();
    }
    ~SessionWindows() { state.sozlukekr = nullptr; }

    QString databasePath() const { return dir.filePath(QStringLiteral("peltavo.MDB")); }

    QTemporaryDir dir;
    FakePlatform platform;
    ProgramState state;
    std::unique_ptr<Tanaekr> main;
    std::unique_ptr<Tsozlukekr> detail;
};

// One thing a learner does: a handler call, with what sets it up (a typed search text, a caret).
struct SessionStep {
    const char* name;
    std::function<void(SessionWindows&)> run;
};

// The handlers a session presses, in a round that browses, searches, opens and pages the detail
// window, translates, speaks and switches the direction. The quiz window's presses join this
// table once the quiz window is built (its FormShow, the answer buttons and the next-question
// button).
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
    };
}

// The direction switch, which reads the three tables of the main window again.
inline SessionStep switchDirection() {
    return {"switch the direction", [](SessionWindows& w) { w.main->turbClick(); }};
}

// Runs a step as the event loop does: a peltavo::Error is shown to the learner and the program
// goes on. Returns whether the step raised one.
inline bool press(SessionWindows& w, const SessionStep& step) {
    try {
        step.run(w);
    } catch (const Error& e) {
        EXPECT_FALSE(e.message().isEmpty()) << step.name;
        return true;
    }
    return false;
}

} // namespace peltavo::test
