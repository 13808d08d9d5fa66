#include "conversationfind.h"

namespace peltavo {

FindResult findInConversations(const QString& needle, int from, ConversationWalk& walk) {
    while (true) {
        const QString text = walk.currentText();
        const qsizetype at = text.indexOf(needle, qMax(from, 0));
        if (at >= 0)
            return FindResult{FindResult::Kind::Found, int(at)};
        if (walk.atEnd())
            return FindResult{FindResult::Kind::NotFound, -1};
        walk.moveNext();
        if (walk.atEnd())
            return FindResult{FindResult::Kind::StoppedAtLast, -1};
        from = 0;
    }
}

} // namespace peltavo
