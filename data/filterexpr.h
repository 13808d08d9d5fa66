#pragma once

#include <QString>

namespace peltavo {

// A filter expression of the form `field op value`: op one of =, <>, <, <=, >, >=; value a decimal
// number (optionally signed) or a text between single quotes, taken as it stands (no escapes).
// Blanks around the parts are allowed.
struct FilterExpr {
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

    QString field;
    Op op = Op::Equal;
    QString value;
    bool quoted = false; // value was written between single quotes

    // Throws peltavo::Error ("Malformed filter expression: <text>" with what is wrong) when the
    // text is not of that form.
    static FilterExpr parse(const QString& text);

    // Whether a comparison result (<0, 0, >0 of row value against the expression's value)
    // satisfies the operator.
    bool accepts(int comparison) const;
};

} // namespace peltavo
