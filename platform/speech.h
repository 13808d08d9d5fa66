#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace peltavo::platform {

// An engine that speaks one line at a time in the background, kept for the whole run once opened.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;

    // Starts speaking `text` and returns at once; a line this engine is still speaking is cut off
    // first, and nothing waits behind the new one. An empty text only silences the engine. Throws
    // peltavo::Error when the text cannot be spoken.
    virtual void say(const QString& text) = 0;

    // Whether the engine has stopped working since it was opened (the speech service went away):
    // it will say nothing more, and another one has to take its place.
    virtual bool broken() const = 0;
};

// Where the engines come from: the desktop's speech service first, espeak-ng where there is none.
// The tests put stand-ins in its place.
class SpeechEngines {
public:
    virtual ~SpeechEngines() = default;

    // The desktop's speech service (speech-dispatcher, through Qt TextToSpeech) with an English
    // voice, or nullptr when it is not installed, not running or has no English voice.
    virtual std::unique_ptr<SpeechEngine> openDesktopService() = 0;

    // espeak-ng, English, playing on the sound device. Throws peltavo::Error when espeak-ng, its
    // data or its English voice cannot be had.
    virtual std::unique_ptr<SpeechEngine> openEspeak() = 0;
};

// The program's one voice. Nothing is opened until the first request; then the engine is chosen,
// the desktop's speech service where it answers, espeak-ng otherwise, and kept for the next lines.
// An engine that breaks is put aside and the choice is made again.
class Speaker {
public:
    enum class Engine { None, DesktopService, Espeak };

    explicit Speaker(std::unique_ptr<SpeechEngines> engines);
    ~Speaker();
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    // Chooses the engine if none is in use; throws peltavo::Error when none can be opened.
    void prepare();

    // Speaks `text` in the background with the engine in use (prepare() first), cutting off the
    // line before. Throws peltavo::Error when it cannot be spoken.
    void say(const QString& text);

    Engine engine() const { return kind_; }

private:
    void choose();

    std::unique_ptr<SpeechEngines> engines_;
    std::unique_ptr<SpeechEngine> engine_;
    Engine kind_ = Engine::None;
};

// The real engines: Qt TextToSpeech's speech-dispatcher engine and espeak-ng.
class SystemSpeechEngines : public SpeechEngines {
public:
    std::unique_ptr<SpeechEngine> openDesktopService() override;
    std::unique_ptr<SpeechEngine> openEspeak() override;
};

// A voice of espeak-ng, English, synthesising synchronously into memory. espeak-ng has one engine
// per process, started on the first request and kept until the process ends; a voice holds that
// engine for its lifetime and gives it back when destroyed, also after a failure. Only one voice
// may exist at a time; a second one throws.
class EspeakVoice {
public:
    // Throws peltavo::Error when the engine, its data or the English voice cannot be had.
    EspeakVoice();
    ~EspeakVoice();
    EspeakVoice(const EspeakVoice&) = delete;
    EspeakVoice& operator=(const EspeakVoice&) = delete;

    // Receives the samples as they are made (mono 16-bit at sampleRate()); false stops the
    // synthesis there.
    using Sink = std::function<bool(const short* samples, int count)>;

    // Synthesises `text` into `sink` and returns when it is done or the sink stopped it. Throws
    // peltavo::Error when the text cannot be synthesised.
    void synthesize(const QString& text, const Sink& sink);

    // Synthesises `text` and keeps the samples in samples().
    void speak(const QString& text);

    // The samples of everything speak() made so far.
    const std::vector<short>& samples() const { return samples_; }
    int sampleRate() const { return sampleRate_; }

private:
    int sampleRate_ = 0;
    std::vector<short> samples_;
};

// espeak-ng speaking on the default sound device (through pcaudiolib, as espeak-ng itself plays)
// from a thread of its own, so that the window goes on while a line is spoken.
class EspeakSpeechEngine : public SpeechEngine {
public:
    // Throws as EspeakVoice does.
    EspeakSpeechEngine();
    ~EspeakSpeechEngine() override; // cuts off the line being spoken
    EspeakSpeechEngine(const EspeakSpeechEngine&) = delete;
    EspeakSpeechEngine& operator=(const EspeakSpeechEngine&) = delete;

    // Throws peltavo::Error when no sound device can be opened.
    void say(const QString& text) override;
    bool broken() const override { return false; }

    // Whether a line is still being synthesised or played.
    bool speaking() const { return speaking_; }

private:
    void stop();

    EspeakVoice voice_;
    std::thread player_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> speaking_{false};
};

} // namespace peltavo::platform
