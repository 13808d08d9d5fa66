#include "speech.h"

#include "error.h"

#include <espeak-ng/espeak_ng.h>

#include <QLibrary>

#include <mutex>
#include <optional>
#include <type_traits>

namespace peltavo::platform {

namespace {

// espeak-ng and the sound libraries below it (PulseAudio, sndfile and its codecs: some seventeen
// in all) are loaded on the first request to speak, not at start, where loading and relocating
// them would cost more than a tenth of the program's start.
struct EspeakApi {
    decltype(&espeak_ng_InitializePath) InitializePath = nullptr;
    decltype(&espeak_ng_Initialize) Initialize = nullptr;
    decltype(&espeak_ng_ClearErrorContext) ClearErrorContext = nullptr;
    decltype(&espeak_ng_InitializeOutput) InitializeOutput = nullptr;
    decltype(&espeak_ng_SetVoiceByName) SetVoiceByName = nullptr;
    decltype(&espeak_ng_GetSampleRate) GetSampleRate = nullptr;
    decltype(&espeak_SetSynthCallback) SetSynthCallback = nullptr;
    decltype(&espeak_ng_Synthesize) Synthesize = nullptr;
    decltype(&espeak_ng_GetStatusCodeMessage) GetStatusCodeMessage = nullptr;

    // Loads the library once; throws when it, or one of its functions, is not there.
    static const EspeakApi& get() {
        static const EspeakApi api = load();
        if (!api.Synthesize)
            throw Error(
                QStringLiteral("Konuşma motoru (espeak-ng) yüklenemedi: %1").arg(loadError()));
        return api;
    }

private:
    static QString& loadError() {
        static QString text;
        return text;
    }

    static EspeakApi load() {
        static QLibrary library(QStringLiteral("espeak-ng"), 1); // never unloaded
        EspeakApi api;
        if (!library.load()) {
            loadError() = library.errorString();
            return api;
        }
        bool all = true;
        auto resolve = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                library.resolve(name));
            if (!function && all) {
                all = false;
                loadError() = library.errorString();
            }
        };
        resolve(api.InitializePath, "espeak_ng_InitializePath");
        resolve(api.Initialize, "espeak_ng_Initialize");
        resolve(api.ClearErrorContext, "espeak_ng_ClearErrorContext");
        resolve(api.InitializeOutput, "espeak_ng_InitializeOutput");
        resolve(api.SetVoiceByName, "espeak_ng_SetVoiceByName");
        resolve(api.GetSampleRate, "espeak_ng_GetSampleRate");
        resolve(api.SetSynthCallback, "espeak_SetSynthCallback");
        resolve(api.GetStatusCodeMessage, "espeak_ng_GetStatusCodeMessage");
        resolve(api.Synthesize, "espeak_ng_Synthesize");
        if (!all)
            api.Synthesize = nullptr;
        return api;
    }
};

QString statusText(espeak_ng_STATUS status) {
    char buffer[256] = {};
    EspeakApi::get().GetStatusCodeMessage(status, buffer, sizeof buffer);
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
        EspeakApi::get().InitializePath(nullptr);
        espeak_ng_ERROR_CONTEXT context = nullptr;
        const espeak_ng_STATUS status = EspeakApi::get().Initialize(&context);
        EspeakApi::get().ClearErrorContext(&context);
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
        const espeak_ng_STATUS status = EspeakApi::get().InitializeOutput(mode, 0, nullptr);
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
    const espeak_ng_STATUS status = EspeakApi::get().SetVoiceByName("en");
    if (status != ENS_OK) {
        throw Error(QStringLiteral("İngilizce ses bulunamadı: konuşma motorunun İngilizce sesi "
                                   "kurulu değil (%1).")
                        .arg(statusText(status)));
    }
    sampleRate_ = EspeakApi::get().GetSampleRate();
    EspeakApi::get().SetSynthCallback(output == Output::Memory ? collectSamples : nullptr);
    lock.release(); // held until the voice is released
}

EspeakVoice::~EspeakVoice() {
    EspeakApi::get().SetSynthCallback(nullptr);
    Engine::instance().busy.unlock();
}

void EspeakVoice::speak(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    collectInto = &samples_;
    // In the synchronous mode the call returns once the whole text has been spoken (or
    // synthesised).
    const espeak_ng_STATUS status =
        EspeakApi::get().Synthesize(utf8.constData(), std::size_t(utf8.size()) + 1, 0,
                                    POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    collectInto = nullptr;
    if (status == ENS_OK)
        return;
    if (status == ENS_AUDIO_ERROR || output_ == Output::Audio)
        throw Error(QStringLiteral("Cümle seslendirilemedi: ses aygıtına ulaşılamadı (%1).")
                        .arg(statusText(status)));
    throw Error(QStringLiteral("Cümle seslendirilemedi: %1").arg(statusText(status)));
}

} // namespace peltavo::platform
