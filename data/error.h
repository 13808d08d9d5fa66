#pragma once

#include <QString>

#include <stdexcept>

namespace peltavo {

// The one exception type of the program. Every failure that reaches the learner carries the
// exact text that is shown in the message box; what() gives it as UTF-8.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}

    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

} // namespace peltavo
