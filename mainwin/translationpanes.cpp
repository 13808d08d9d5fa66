// The main window's translation panes, speech and help.
#include "busycursor.h"
#include "directorylist.h"
#include "lineedit.h"
#include "memo.h"
#include "platform.h"
#include "programstate.h"
#include "tanaekr.h"
#include "translation.h"

#include <QPushButton>

namespace peltavo {

namespace {

const QString kShowTranslation = QStringLiteral("Metin Tercüme Et");
const QString kHideTranslation = QStringLiteral("Tercüme Metin Gizle");

} // namespace

QString Tanaekr::lineAtCaret(const platform::Memo& of) const {
    // Line n of one language translates line n of the other: the caret's line is the stored line
    // of the same index in either pane. Display lines would drift apart after any line that wraps,
    // and would cut a wrapped sentence.
    return storedLineFor(prog->displayLines(), state_.CaretLine, of.text());
}

void Tanaekr::cumlebClick() {
    TakeWordUnderCaret();
    cumle->setText(lineAtCaret(*kullandb));
    cumle->setCursorPosition(0);
}

void Tanaekr::metinbClick() {
    cumle->clear();
    cumleb->hide();
    if (metinb->text() == kShowTranslation) {
        kullandb->show();
        metinb->setText(kHideTranslation);
    } else {
        kullandb->hide();
        metinb->setText(kShowTranslation);
    }
}

void Tanaekr::sesbClick() {
    // The voice is chosen before the sentence box is touched: where nothing can speak, the press
    // ends with the error and leaves the box as it was. The line is spoken in the background.
    platform::Speaker& speaker = platform_.speaker();
    {
        // The first press connects to the speech service, which takes a moment.
        const platform::BusyCursor busy(Qt::BusyCursor);
        speaker.prepare();
    }
    const DirectionBindings* bindings = bindingsOf(state_.DirectionMode);
    if (!bindings)
        return;
    // The English text is in the conversation pane in "it" and in the translation pane in "ti".
    const platform::Memo* english = bindings->englishToTurkish ? prog : kullandb;
    const QString line = lineAtCaret(*english);
    cumle->setText(line);
    cumle->setCursorPosition(0);
    speaker.say(line);
}

void Tanaekr::yadimbClick() {
    platform_.openDocument(dizin->directory() + QStringLiteral("/peltchm.chm"));
}

} // namespace peltavo
