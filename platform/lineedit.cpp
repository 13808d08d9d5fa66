#include "lineedit.h"

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
