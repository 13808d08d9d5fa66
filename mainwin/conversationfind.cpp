#include "conversationfind.h"

namespace peltavo {

bool ConversationWalk::aheadHolds(int, const QString&) const {
    return false;
}

void ConversationWalk::moveAhead(int k) {
    for (; k > 0; --k)
        moveNext();
}

FindResult findInConversations(const QString& needle, int from, ConversationWalk& walk) {
    while (true) {
        const QString text = walk.currentText();
        const qsizetype at = text.indexOf(needle, qMax(from, 0));
        if (at >= 0)
            return FindResult{FindResult::Kind::Found, int(at)};
        if (walk.atEnd())
            return FindResult{FindResult::Kind::NotFound, -1};
        from = 0;
        // Moving one at a time would search each following text from its start: the first that
        // holds the needle is where that ends, the last one when none does.
        if (const int ahead = walk.conversationsAhead(); ahead > 0) {
            int k = 1;
            while (k < ahead && !walk.aheadHolds(k, needle))
                ++k;
            walk.moveAhead(k);
            continue;
        }
        walk.moveNext();
        if (walk.atEnd())
            return FindResult{FindResult::Kind::StoppedAtLast, -1};
    }
}

} // namespace peltavo
