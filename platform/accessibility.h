#pragma once

class QWidget;

namespace peltavo::platform {

// Gives every named control of `window` (its named descendants; Qt's own inner parts, named
// "qt_...", left out) an accessible name, its caption when it has one, else its object name, and
// its hint (tooltip), where it has one, as its description. Captioned buttons and labels are left
// to Qt, which names them by their caption and so follows later caption changes; the others get
// the name set explicitly.
void nameControlsForAccessibility(QWidget* window);

// Makes the windows given to nameControlsForAccessibility() report themselves to screen readers as
// windows (a frame, named by its caption) rather than as a plain panel. Call once after the
// application object exists.
void installWindowRoles();

} // namespace peltavo::platform
