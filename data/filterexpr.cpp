#include "filterexpr.h"

#include "error.h"

#include <QRegularExpression>

namespace peltavo {

namespace {

[[noreturn]] void malformed(const QString& text, const QString& why) {
    throw Error(QStringLiteral("Malformed filter expression \"%1\": %2").arg(text, why));
}

} // namespace

FilterExpr FilterExpr::parse(const QString& text) {
    // field, operator, then either a quoted text running to the last quote or a number.
    static const QRegularExpression head(
        QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*(<>|<=|>=|=|<|>)\s*)"));
    const QRegularExpressionMatch m = head.match(text);
    if (!m.hasMatch()) {
        if (text.trimmed().isEmpty())
            malformed(text, QStringLiteral("it is empty"));
        malformed(text, QStringLiteral("expected a field name and one of = <> < <= > >="));
    }
    FilterExpr expr;
    expr.field = m.captured(1);
    const QString op = m.captured(2);
    expr.op = op == u"="    ? Op::Equal
              : op == u"<>" ? Op::NotEqual
              : op == u"<"  ? Op::Less
              : op == u"<=" ? Op::LessEqual
              : op == u">"  ? Op::Greater
                            : Op::GreaterEqual;

    const QString rest = text.mid(m.capturedEnd()).trimmed();
    if (rest.isEmpty())
        malformed(text, QStringLiteral("the value is missing"));
    if (rest.startsWith(u'\'')) {
        if (rest.size() < 2 || !rest.endsWith(u'\''))
            malformed(text, QStringLiteral("the text value has no closing quote"));
        expr.value = rest.mid(1, rest.size() - 2);
        if (expr.value.contains(u'\''))
            malformed(text, QStringLiteral("the text value holds a quote"));
        expr.quoted = true;
        return expr;
    }
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?\d+(\.\d+)?$)"));
    if (!number.match(rest).hasMatch())
        malformed(text, QStringLiteral("the value is neither a number nor a quoted text"));
    expr.value = rest;
    return expr;
}

bool FilterExpr::accepts(int comparison) const {
    switch (op) {
    case Op::Equal:
        return comparison == 0;
    case Op::NotEqual:
        return comparison != 0;
    case Op::Less:
        return comparison < 0;
    case Op::LessEqual:
        return comparison <= 0;
    case Op::Greater:
        return comparison > 0;
    case Op::GreaterEqual:
        return comparison >= 0;
    }
    return false;
}

} // namespace peltavo
