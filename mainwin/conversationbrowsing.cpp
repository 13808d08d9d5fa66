// The main window's conversation browsing: record moves, the word pick under the caret, the
// double-click's look-up of the word's base form and the find through the conversation texts.
#include "busycursor.h"
#include "conversationfind.h"
#include "creation.h"
#include "datasource.h"
#include "dialogs.h"
#include "finddialog.h"
#include "lineedit.h"
#include "memo.h"
#include "platform.h"
#include "programstate.h"
#include "stemmer.h"
#include "tablehandle.h"
#include "tanaekr.h"
#include "wordpick.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace peltavo {

namespace {

// The conversations as `prog` shows them, moved through `Table`.
class ProgWalk : public ConversationWalk {
public:
    explicit ProgWalk(Tanaekr& window) : window_(window) {}

    QString currentText() const override { return window_.prog->text(); }
    bool atEnd() const override { return window_.Table->eof(); }
    void moveNext() override {
        window_.Table->next();
        window_.prog->setFocus();
    }
    // The texts ahead are read from the table `prog` shows, without moving it.
    int conversationsAhead() const override {
        const TableHandle& table = *window_.Table;
        if (!followsTable() || !table.isOpen() || table.currentIndex() < 0)
            return -1;
        return table.recordCount() - 1 - table.currentIndex();
    }
    bool aheadHolds(int k, const QString& needle) const override {
        const TableHandle& table = *window_.Table;
        const QString field = window_.prog->dataField();
        if (field.isEmpty() || !table.hasField(field))
            return needle.isEmpty();
        return platform::shownTextHolds(table.textAt(table.currentIndex() + k, field), needle);
    }
    void moveAhead(int k) override {
        window_.Table->moveTo(window_.Table->currentIndex() + k);
        window_.prog->setFocus();
    }

private:
    bool followsTable() const {
        const DataSource* source = window_.prog->dataSource();
        return source && source->dataSet() == window_.Table;
    }

    Tanaekr& window_;
};

} // namespace

void Tanaekr::geri1Click() {
    cumle->clear();
    cumleb->hide();
    Table->prior();
}

void Tanaekr::ileribClick() {
    cumle->clear();
    cumleb->hide();
    Table->next();
}

void Tanaekr::progClick() {
    cumle->clear();
    cumleb->show();
    TakeWordUnderCaret();
}

void Tanaekr::progExit() {
    cumle->clear();
    cumleb->hide();
}

void Tanaekr::TakeWordUnderCaret() {
    prog->setFocus();
    const int caret = prog->selectionStart();
    // Neither lays out the whole of a long text that was shown a moment ago: the line index is
    // counted when it is first read.
    state_.CaretLine = prog->lineIndexOf(caret);
    const platform::DisplayLine line = prog->lineAt(caret);
    ara->setText(wordAtCaret(line.text, caret - line.start));
}

void Tanaekr::progDblClick() {
    progClick();
    if (const std::optional<BaseForm> form = baseFormAt(prog->selectionStart()))
        ara->setText(form->text);
    // Without a dictionary to look in, the search button's own error (or nothing, without a
    // direction) follows the pick.
    sarabClick();
}

void Tanaekr::progContextMenu(QMenu* menu, int position) {
    const std::optional<BaseForm> form = baseFormAt(position);
    const QString shown = form ? form->text.trimmed() : QString();
    if (shown.isEmpty())
        return;
    auto* entry = new QAction(QStringLiteral("«%1» sözlükte ara").arg(shown), menu);
    connect(entry, &QAction::triggered, this, guarded([this, position] {
                // The caret goes into the word, where a click leaves it and a later pick (the
                // sentence button's) finds this word again.
                const platform::DisplayLine line = prog->lineAt(position);
                const WordSpan word = wordTouching(line.text, position - line.start);
                prog->select(word.length > 0 ? line.start + word.start + 1 : position, 0);
                progDblClick();
            }));
    QAction* first = menu->actions().value(0);
    menu->insertAction(first, entry);
    if (first)
        menu->insertSeparator(first);
}

std::optional<BaseForm> Tanaekr::baseFormAt(int position) {
    const DirectionBindings* bindings = bindingsOf(state_.DirectionMode);
    if (!bindings)
        return std::nullopt;
    const TableHandle* dictionary = dictionaryTable(dictionaryTables(), *bindings);
    if (!dictionary->isOpen())
        return std::nullopt;
    if (!stemmers_)
        stemmers_ = std::make_unique<LazyStemmers>(platform_.spellingDictionaryFolder());
    const auto language = bindings->englishToTurkish ? LazyStemmers::Language::English
                                                     : LazyStemmers::Language::Turkish;
    std::optional<platform::BusyCursor> reading;
    if (!stemmers_->asked(language))
        reading.emplace(); // the Turkish dictionary takes a good part of a second
    const BaseForms forms(*dictionary, *bindings, stemmers_->forLanguage(language));
    reading.reset();
    const platform::DisplayLine line = prog->lineAt(position);
    return doubleClickSearchText(line.text, position - line.start, forms);
}

namespace {

// Where a control stands on the screen.
QRect globalArea(const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

} // namespace

void Tanaekr::arabClick() {
    // The dialog stands beside the conversation, where it hides none of the matches it finds.
    bul->execute(globalArea(prog));
}

void Tanaekr::bulFind() {
    const QString needle = bul->findText();
    ProgWalk walk(*this);
    const FindResult result =
        findInConversations(needle, prog->selectionStart() + prog->selectionLength(), walk);
    switch (result.kind) {
    case FindResult::Kind::Found:
        prog->select(result.position, int(needle.size()));
        activateWindow();
        prog->setFocus();
        bul->uncover(prog->selectionArea(), globalArea(prog));
        break;
    case FindResult::Kind::NotFound:
        platform_.dialogs().showMessage(
            this, platform::Message{platform::Message::Icon::None, QStringLiteral("Uyarı"),
                                    QStringLiteral("Aranan kelime bulunamadı!")});
        break;
    case FindResult::Kind::StoppedAtLast:
        break;
    }
}

} // namespace peltavo
