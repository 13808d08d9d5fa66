#include "lineedit.h"

#include "datasource.h"
#include "fieldlink.h"

#include <QFocusEvent>

namespace peltavo::platform {

void LineEdit::focusInEvent(QFocusEvent* event) {
    if (autoSelect_) {
        QLineEdit::focusInEvent(event);
        return;
    }
    // QLineEdit selects everything when focus arrives by Tab or a shortcut; hand it a reason
    // that does not.
    QFocusEvent plain(event->type(), Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&plain);
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
