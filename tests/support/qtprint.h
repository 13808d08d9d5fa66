#pragma once

// Readable GoogleTest output for Qt strings and optional field values.
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(QStringLiteral(", ")).toStdString() << ']';
}
namespace std {
inline void PrintTo(const std::optional<QString>& v, std::ostream* os) {
    if (v)
        ::PrintTo(*v, os);
    else
        *os << "null";
}
} // namespace std
