// The main window's quiz button: the quiz window is shown beside the main window, not modally.
#include "programstate.h"
#include "tanaekr.h"
#include "tsorcevekr.h"

#include <QPushButton>

namespace peltavo {

void Tanaekr::boslukbClick() {
    Tsorcevekr* quiz = state_.sorcevekr;
    if (!quiz)
        return;
    if (quiz->isVisible()) {
        // Already open: the question on screen stays; only the window comes to the front.
        quiz->raise();
        quiz->activateWindow();
        return;
    }
    quiz->show();
    quiz->raise();
    quiz->activateWindow();
    // The window that opens takes the keyboard focus on its first stop.
    quiz->cb[0]->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace peltavo
