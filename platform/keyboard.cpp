#include "keyboard.h"

#include <QKeyEvent>
#include <QPushButton>

namespace peltavo::platform {

namespace {

// Watches the push buttons of one window; lives as the window's child.
class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        // Only buttons are watched (pressButtonsWithEnter()).
        auto* button = static_cast<QPushButton*>(watched);
        if (!key->isAutoRepeat() && button->isEnabled())
            button->click();
        return true;
    }
};

} // namespace

void pressButtonsWithEnter(QWidget* window) {
    auto* presses = new EnterPresses(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(presses);
}

} // namespace peltavo::platform
