#pragma once

class QWidget;

namespace peltavo::platform {

// Makes Enter (Return, or Enter on the keypad) press the focused push button of `window`, as Space
// does: Qt's own buttons take Enter only inside a dialog. The button is clicked when the key goes
// down; a key held down clicks once. Covers the push buttons `window` holds when this is called;
// dialogs need none of it.
void pressButtonsWithEnter(QWidget* window);

} // namespace peltavo::platform
