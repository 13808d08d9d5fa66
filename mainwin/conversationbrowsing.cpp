// The main window's conversation browsing: record moves, the word pick under the caret and the
// find through the conversation texts.
#include "conversationfind.h"
#include "datasource.h"
#include "dialogs.h"
#include "finddialog.h"
#include "lineedit.h"
#include "memo.h"
#include "platform.h"
#include "programstate.h"
#include "tablehandle.h"
#include "tanaekr.h"
#include "wordpick.h"

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
