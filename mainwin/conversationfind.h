#pragma once

#include <QString>

namespace peltavo {

// The conversations as the find walks them: the text of the current one as its memo shows it,
// the table's end flag, and a move to the next one.
class ConversationWalk {
public:
    virtual ~ConversationWalk() = default;
    virtual QString currentText() const = 0;
    virtual bool atEnd() const = 0;
    virtual void moveNext() = 0;

    // Looking ahead without moving, for a walk that can: how many conversations follow the
    // current one (-1: the walk cannot tell, and the find moves one at a time), and whether the
    // k-th of them (1 <= k <= that count) holds `needle` in its text as the memo would show it.
    virtual int conversationsAhead() const { return -1; }
    virtual bool aheadHolds(int k, const QString& needle) const;
    // Moves `k` conversations forward at once, as k calls of moveNext() would (none of which
    // reaches the end flag, as k is at most conversationsAhead()).
    virtual void moveAhead(int k);
};

struct FindResult {
    enum class Kind {
        Found,         // a match in the current conversation, at `position`
        NotFound,      // no match and the end flag was already set: the user is told
        StoppedAtLast, // no match up to the last conversation; the walk stopped there silently
    };
    Kind kind = Kind::NotFound;
    int position = -1;

    friend bool operator==(const FindResult&, const FindResult&) = default;
};

// Looks for `needle` in the current conversation from position `from` on, then in each following
// conversation from its start, moving the walk forward as it goes. The match is exact (case
// counts; a match may lie inside a longer word) and the whole text is searched however long it is.
// When nothing matches in the current text: with the end flag set, the result is NotFound and
// nothing moves; otherwise the walk moves on, and if the move sets the end flag (the last
// conversation stays current) the result is StoppedAtLast without searching it again. Errors of
// the walk (a closed table) pass through. A walk that can look ahead is moved once, straight to the
// conversation that holds the match (or to the last one), with the same end state as moving one at
// a time.
FindResult findInConversations(const QString& needle, int from, ConversationWalk& walk);

} // namespace peltavo
