// The desktop's speech service, speech-dispatcher, through Qt TextToSpeech; espeak-ng where it is
// not to be had.
#include "speech.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextToSpeech>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>

namespace peltavo::platform {

namespace {

// The English voice to ask the service for, of the locales it offers: American English where it
// has it (the conversations are American), else the first other English one, else none.
std::optional<QLocale> englishOf(QList<QLocale> locales) {
    locales.removeIf([](const QLocale& l) { return l.language() != QLocale::English; });
    if (locales.isEmpty())
        return std::nullopt;
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    if (locales.contains(american))
        return american;
    std::sort(locales.begin(), locales.end(),
              [](const QLocale& a, const QLocale& b) { return a.name() < b.name(); });
    return locales.front();
}

// The engine's own voice for an English locale: Qt takes the first the service lists, which for
// espeak-ng's voices of en_US is "English (Caribbean)". The service's plain voice of the
// locale's country is taken where it has one ("English (America)", "English (Great Britain)").
void chooseVoice(QTextToSpeech& speech) {
    const QString country = speech.locale().territory() == QLocale::UnitedStates
                                ? QStringLiteral("America")
                                : QLocale::territoryToString(speech.locale().territory());
    const QString plain = QStringLiteral("English (%1)").arg(country);
    const QList<QVoice> voices = speech.availableVoices();
    const auto it = std::find_if(voices.begin(), voices.end(),
                                 [&](const QVoice& voice) { return voice.name() == plain; });
    if (it != voices.end() && speech.voice().name() != plain)
        speech.setVoice(*it);
}

// Connects to the service and sets it to English: what Qt's engine does then (it reads the names
// of every voice the service has, thousands with espeak-ng's) takes a second or two. Null where
// the service cannot speak English.
std::unique_ptr<QTextToSpeech> connectInEnglish() {
    // Connecting starts speech-dispatcher where it is installed and not yet running. Where the
    // engine's plugin, the service or its connection is missing, the engine is in its error state.
    auto speech = std::make_unique<QTextToSpeech>(QStringLiteral("speechd"));
    if (speech->state() == QTextToSpeech::Error &&
        speech->errorReason() != QTextToSpeech::ErrorReason::Configuration)
        return nullptr;
    // A configuration error leaves the connection up: the engine found no voice for the
    // desktop's own language, which the English voice does not need.
    const std::optional<QLocale> english = englishOf(speech->availableLocales());
    if (!english)
        return nullptr;
    speech->setLocale(*english);
    if (speech->locale().language() != QLocale::English)
        return nullptr;
    chooseVoice(*speech);
    return speech;
}

// Speaks through Qt TextToSpeech's speech-dispatcher engine. Only the language is chosen: the
// rate, pitch and volume stay as the user set them in speech-dispatcher's settings.
class DesktopSpeechEngine : public SpeechEngine {
public:
    explicit DesktopSpeechEngine(std::unique_ptr<QTextToSpeech> speech)
        : speech_(std::move(speech)) {
        // Qt's engine tells failures on its own after opening (the service gone, a line refused)
        // and the end of each line, from the service's notices.
        QObject::connect(speech_.get(), &QTextToSpeech::errorOccurred, speech_.get(),
                         [this] { broken_ = true; });
        QObject::connect(speech_.get(), &QTextToSpeech::stateChanged, speech_.get(),
                         [this](QTextToSpeech::State state) {
                             if (state == QTextToSpeech::Ready)
                                 lineOut_ = false;
                         });
    }

    void say(const QString& text) override {
        // Stopping cancels what every program has asked the service to say (Qt's engine knows no
        // other way), a screen reader's words too: only done while a line of ours may still be
        // spoken or waiting. Qt's state alone can lag behind: it learns of a line's start from
        // the service's notice.
        if (lineOut_ || speech_->state() == QTextToSpeech::Speaking ||
            speech_->state() == QTextToSpeech::Paused)
            speech_->stop();
        lineOut_ = false;
        if (text.isEmpty())
            return;
        speech_->say(text);
        lineOut_ = true;
    }

    bool broken() const override { return broken_; }

private:
    std::unique_ptr<QTextToSpeech> speech_;
    bool broken_ = false;
    bool lineOut_ = false; // a line of ours was handed over and has not been heard to end
};

} // namespace

std::unique_ptr<SpeechEngine> SystemSpeechEngines::openDesktopService() {
    // The connection is made on a thread of its own, and the window goes on painting meanwhile;
    // the learner's input waits until it is made. The engine then moves to this thread, where
    // the service's notices reach it.
    QThread* const here = QThread::currentThread();
    std::future<std::unique_ptr<QTextToSpeech>> connecting = std::async(std::launch::async, [here] {
        std::unique_ptr<QTextToSpeech> speech = connectInEnglish();
        if (speech)
            speech->moveToThread(here);
        return speech;
    });
    while (connecting.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    std::unique_ptr<QTextToSpeech> speech = connecting.get();
    if (!speech)
        return nullptr;
    return std::make_unique<DesktopSpeechEngine>(std::move(speech));
}

std::unique_ptr<SpeechEngine> SystemSpeechEngines::openEspeak() {
    return std::make_unique<EspeakSpeechEngine>();
}

} // namespace peltavo::platform
