#pragma once

#include "dialogs.h"
#include "platform.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace peltavo::test {

// Dialogs that answer from a script and record what was asked, in order.
class FakeDialogs : public platform::Dialogs {
public:
    // Answers of the file-open dialog, first first; when none is left the user cancels.
    std::deque<QString> fileAnswers;
    // Every dialog shown: "open <filter>" or "<caption>: <text>".
    QStringList log;
    std::vector<platform::Message> messages;

    QString openFileName(QWidget*, const QString& filter) override {
        log << QStringLiteral("open ") + filter;
        if (fileAnswers.empty())
            return QString();
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    void showMessage(QWidget*, const platform::Message& message) override {
        log << message.caption + QStringLiteral(": ") + message.text;
        messages.push_back(message);
    }
};

class FakePlatform : public platform::Platform {
public:
    FakeDialogs fakeDialogs;
    QString folder;

    platform::Dialogs& dialogs() override { return fakeDialogs; }
    QString programFolder() const override { return folder; }
};

// The platform that the test application's event loop reports uncaught errors to.
FakePlatform& applicationPlatform();

} // namespace peltavo::test
