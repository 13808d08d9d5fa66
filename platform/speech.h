#pragma once

#include <QString>

#include <vector>

namespace peltavo::platform {

// One voice of the speech engine, made for a single request and released with the object.
class Voice {
public:
    virtual ~Voice() = default;

    // Speaks `text` with the engine's English voice and returns once it has been spoken; the
    // calling thread waits meanwhile. Throws peltavo::Error, with a message that says what is
    // missing, when the text cannot be spoken.
    virtual void speak(const QString& text) = 0;
};

// A voice of espeak-ng, English, speaking synchronously. espeak-ng has one engine per process,
// started on the first request and kept until the process ends; a voice holds that engine for its
// lifetime and gives it back when destroyed, also after a failure. Only one voice may exist at a
// time; a second one throws.
class EspeakVoice : public Voice {
public:
    enum class Output {
        Audio,  // played on the default sound device
        Memory, // synthesised into samples() only; needs no sound device
    };

    // Throws peltavo::Error when the engine, its data or the English voice cannot be had, or
    // (for Audio) when there is no sound device to play on.
    explicit EspeakVoice(Output output = Output::Audio);
    ~EspeakVoice() override;
    EspeakVoice(const EspeakVoice&) = delete;
    EspeakVoice& operator=(const EspeakVoice&) = delete;

    void speak(const QString& text) override;

    // The samples of everything spoken so far (Memory output), mono 16-bit at sampleRate().
    const std::vector<short>& samples() const { return samples_; }
    int sampleRate() const { return sampleRate_; }

private:
    Output output_;
    int sampleRate_ = 0;
    std::vector<short> samples_;
};

} // namespace peltavo::platform
