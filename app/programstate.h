#pragma once

#include "displaylines.h"

#include <QString>

namespace peltavo {

class Tanaekr;
class Tsozlukekr;
class Tsorcevekr;

// The state that outlives a single event, shared by the windows of one run. Empty and zero when
// the program starts; nothing of it is saved.
struct ProgramState {
    // The translation direction: "it" (English to Turkish) or "ti" (Turkish to English); empty
    // until the main window's creation handler has run to its end.
    QString DirectionMode;
    // The display line of the conversation memo that held the caret at the last word pick,
    // counted from 0. Reading it may wait for that memo's lines to be laid out.
    platform::DisplayLineIndex CaretLine = 0;

    // The three windows, as they are created; null before that. The windows reach each other
    // through these.
    Tanaekr* anaekr = nullptr;
    Tsozlukekr* sozlukekr = nullptr;
    Tsorcevekr* sorcevekr = nullptr;
};

} // namespace peltavo
