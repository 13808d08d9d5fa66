#pragma once

// Stand-ins for the speech engines (platform/speech.h): the desktop's speech service and
// espeak-ng, answering from a script and recording what they were asked to say.
#include "error.h"
#include "speech.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace peltavo::test {

struct FakeSpeech {
    // What the machine offers.
    bool serviceRuns = false;     // the speech service answers and has an English voice
    QString espeakError;          // when set, espeak-ng cannot be opened: this is its message
    QString speakError;           // when set, every line is refused with this (after recording it)
    bool serviceGoesAway = false; // the service breaks as the next line is handed to it

    // What happened, in order.
    QStringList spoken;  // every text handed to an engine
    QStringList engines; // the engine of each: "service" or "espeak"
    int serviceAsked = 0;
    int espeakAsked = 0;
    int opened = 0;   // engines made
    int released = 0; // engines destroyed
};

class FakeSpeechEngine : public platform::SpeechEngine {
public:
    FakeSpeechEngine(FakeSpeech& speech, QString name) : speech_(speech), name_(std::move(name)) {
        ++speech_.opened;
    }
    ~FakeSpeechEngine() override { ++speech_.released; }

    void say(const QString& text) override {
        if (name_ == u"service" && speech_.serviceGoesAway) {
            speech_.serviceGoesAway = false;
            speech_.serviceRuns = false;
            broken_ = true;
            return; // the line is lost with the connection
        }
        speech_.spoken << text;
        speech_.engines << name_;
        if (!speech_.speakError.isEmpty())
            throw Error(speech_.speakError);
    }
    bool broken() const override { return broken_; }

private:
    FakeSpeech& speech_;
    QString name_;
    bool broken_ = false;
};

class FakeSpeechEngines : public platform::SpeechEngines {
public:
    explicit FakeSpeechEngines(FakeSpeech& speech) : speech_(speech) {}

    std::unique_ptr<platform::SpeechEngine> openDesktopService() override {
        ++speech_.serviceAsked;
        if (!speech_.serviceRuns)
            return nullptr;
        return std::make_unique<FakeSpeechEngine>(speech_, QStringLiteral("service"));
    }
    std::unique_ptr<platform::SpeechEngine> openEspeak() override {
        ++speech_.espeakAsked;
        if (!speech_.espeakError.isEmpty())
            throw Error(speech_.espeakError);
        return std::make_unique<FakeSpeechEngine>(speech_, QStringLiteral("espeak"));
    }

private:
    FakeSpeech& speech_;
};

} // namespace peltavo::test
