#include "speech.h"

#include "error.h"

#include <espeak-ng/espeak_ng.h>

#include <mutex>
#include <optional>

namespace peltavo::platform {

namespace {

QString statusText(espeak_ng_STATUS status) {
    char buffer[256] = {};
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return QString::fromLocal8Bit(buffer).trimmed();
}

// Where the samples of the running synthesis go (Memory output only).
std::vector<short>* collectInto = nullptr;

int collectSamples(short* wave, int count, espeak_EVENT*) {
    if (collectInto && wave && count > 0)
        collectInto->insert(collectInto->end(), wave, wave + count);
    return 0; // go on synthesising
}

// espeak-ng keeps one engine per process, with a helper thread that it starts on initialisation.
// Initialising and terminating it for every request races with that thread's start and can hang
// (the engine waits for a thread that never answers), so the engine is initialised once, on the
// first request, and stays until the process ends; the operating system reclaims it then.
// Terminating it at exit would risk the same hang on the way out. What belongs to one request
// (its output, its voice, its samples) is set up and torn down by each voice.
struct Engine {
    std::mutex busy;
    bool initialised = false;
    std::optional<EspeakVoice::Output> output;

    static Engine& instance() {
        static Engine engine;
        return engine;
    }

    void initialise() {
        if (initialised)
            return;
        espeak_ng_InitializePath(nullptr);
        espeak_ng_ERROR_CONTEXT context = nullptr;
        const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
        espeak_ng_ClearErrorContext(&context);
        if (status != ENS_OK)
            throw Error(QStringLiteral("Konuşma motoru (espeak-ng) başlatılamadı: %1")
                            .arg(statusText(status)));
        initialised = true;
    }

    void useOutput(EspeakVoice::Output wanted) {
        if (output == wanted)
            return;
        output.reset();
        const auto mode =
            wanted == EspeakVoice::Output::Audio
                ? espeak_ng_OUTPUT_MODE(ENOUTPUT_MODE_SYNCHRONOUS | ENOUTPUT_MODE_SPEAK_AUDIO)
                : ENOUTPUT_MODE_SYNCHRONOUS;
        const espeak_ng_STATUS status = espeak_ng_InitializeOutput(mode, 0, nullptr);
        if (status != ENS_OK) {
            throw Error(
                wanted == EspeakVoice::Output::Audio
                    ? QStringLiteral("Ses çıkışı bulunamadı: bu bilgisayarda cümleyi "
                                     "seslendirecek bir ses aygıtı yok (%1).")
                          .arg(statusText(status))
                    : QStringLiteral("Konuşma motoru başlatılamadı: %1").arg(statusText(status)));
        }
        output = wanted;
    }
};

} // namespace

EspeakVoice::EspeakVoice(Output output) : output_(output) {
    Engine& engine = Engine::instance();
    std::unique_lock lock(engine.busy, std::try_to_lock);
    if (!lock.owns_lock())
        throw Error(QStringLiteral("Konuşma motoru şu anda başka bir cümleyi seslendiriyor."));
    engine.initialise();
    engine.useOutput(output);
    const espeak_ng_STATUS status = espeak_ng_SetVoiceByName("en");
    if (status != ENS_OK) {
        throw Error(QStringLiteral("İngilizce ses bulunamadı: konuşma motorunun İngilizce sesi "
                                   "kurulu değil (%1).")
                        .arg(statusText(status)));
    }
    sampleRate_ = espeak_ng_GetSampleRate();
    espeak_SetSynthCallback(output == Output::Memory ? collectSamples : nullptr);
    lock.release(); // held until the voice is released
}

EspeakVoice::~EspeakVoice() {
    espeak_SetSynthCallback(nullptr);
    Engine::instance().busy.unlock();
}

void EspeakVoice::speak(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    collectInto = &samples_;
    // In the synchronous mode the call returns once the whole text has been spoken (or
    // synthesised).
    const espeak_ng_STATUS status =
        espeak_ng_Synthesize(utf8.constData(), std::size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                             espeakCHARS_UTF8, nullptr, nullptr);
    collectInto = nullptr;
    if (status == ENS_OK)
        return;
    if (status == ENS_AUDIO_ERROR || output_ == Output::Audio)
        throw Error(QStringLiteral("Cümle seslendirilemedi: ses aygıtına ulaşılamadı (%1).")
                        .arg(statusText(status)));
    throw Error(QStringLiteral("Cümle seslendirilemedi: %1").arg(statusText(status)));
}

} // namespace peltavo::platform
