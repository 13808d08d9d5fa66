#include "lineedit.h"

#include "datasource.h"
#include "fieldlink.h"

#include <QFocusEvent>

namespace peltavo::platform {

void LineEdit::setHideSelection(bool on) {
    hideSelection_ = on;
    updateSelectionLook();
}

void LineEdit::focusInEvent(QFocusEvent* event) {
    if (autoSelect_) {
        QLineEdit::focusInEvent(event);
    } else {
        // QLineEdit selects everything when focus arrives by Tab or a shortcut; hand it a reason
        // that does not.
        QFocusEvent plain(event->type(), Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&plain);
    }
    updateSelectionLook();
}

void LineEdit::focusOutEvent(QFocusEvent* event) {
    if (!keepSelection_) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    const int start = selectionStart();
    const int length = selectionLength();
    QLineEdit::focusOutEvent(event);
    if (start >= 0 && length > 0 && !hasSelectedText())
        setSelection(start, length);
    updateSelectionLook();
}

// A hidden selection is drawn in the edit's own text colours.
void LineEdit::updateSelectionLook() {
    const bool hide = keepSelection_ && !showsSelection();
    if (hide == highlightHidden_)
        return;
    highlightHidden_ = hide;
    if (hide) {
        shown_ = palette();
        QPalette plain = shown_;
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            plain.setColor(group, QPalette::Highlight, shown_.color(group, QPalette::Base));
            plain.setColor(group, QPalette::HighlightedText, shown_.color(group, QPalette::Text));
        }
        setPalette(plain);
    } else {
        setPalette(shown_);
    }
}

} // namespace peltavo::platform

namespace peltavo::platform {

DataEdit::DataEdit(QWidget* parent) : LineEdit(parent), link_(new FieldLink(this)) {
    setReadOnly(true);
    connect(link_, &FieldLink::textChanged, this, [this](const QString& text) {
        setText(text);
        setCursorPosition(0);
    });
}

DataEdit::~DataEdit() = default;

void DataEdit::bind(DataSource* source, const QString& field) {
    source_ = source;
    link_->bind(source ? source->dataSet() : nullptr, field);
}

QString DataEdit::dataField() const {
    return link_->field();
}

} // namespace peltavo::platform
