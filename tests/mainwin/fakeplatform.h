#pragma once

#include "dialogs.h"
#include "fakespeech.h"
#include "platform.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include "error.h"

#include <deque>
#include <functional>
#include <memory>
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
    // Messages shown while the busy cursor was up.
    int shownUnderBusyCursor = 0;
    // Called as each dialog or message comes up.
    std::function<void()> whenShown;

    QString openFileName(QWidget*, const QString& filter) override {
        log << QStringLiteral("open ") + filter;
        if (whenShown)
            whenShown();
        if (fileAnswers.empty())
            return QString();
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    void showMessage(QWidget*, const platform::Message& message) override {
        log << message.caption + QStringLiteral(": ") + message.text;
        messages.push_back(message);
        shownUnderBusyCursor += QGuiApplication::overrideCursor() != nullptr;
        if (whenShown)
            whenShown();
    }
};

class FakePlatform : public platform::Platform {
public:
    FakeDialogs fakeDialogs;
    QString folder;
    FakeSpeech speech;
    QStringList openedDocuments;
    // Where the double-click's stems are read from: the installed dictionaries unless a test
    // takes them away.
    QString spellingFolder = platform::Platform::spellingDictionaryFolder();
    // How often the window asked for that folder: it does so only when it first needs a stem.
    mutable int spellingFolderAsked = 0;
    // Made on the first call, as the program's is.
    std::unique_ptr<platform::Speaker> madeSpeaker;

    platform::Dialogs& dialogs() override { return fakeDialogs; }
    QString programFolder() const override { return folder; }
    platform::Speaker& speaker() override {
        if (!madeSpeaker)
            madeSpeaker =
                std::make_unique<platform::Speaker>(std::make_unique<FakeSpeechEngines>(speech));
        return *madeSpeaker;
    }
    void endSpeech() override { madeSpeaker.reset(); }
    void openDocument(const QString& path) override { openedDocuments << path; }
    QString spellingDictionaryFolder() const override {
        ++spellingFolderAsked;
        return spellingFolder;
    }
};

// The platform that the test application's event loop reports uncaught errors to.
FakePlatform& applicationPlatform();

} // namespace peltavo::test
