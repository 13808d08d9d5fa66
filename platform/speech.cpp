#include "speech.h"

#include "error.h"

#include <espeak-ng/espeak_ng.h>
#include <pcaudiolib/audio.h>

#include <QLibrary>

#include <cstdint>
#include <mutex>

namespace peltavo::platform {

namespace {

// Points `function` at the symbol `name` of a loaded library; false when the symbol is not there.
template <typename Function>
bool resolveSymbol(QLibrary& library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

// espeak-ng and the sound libraries below it (PulseAudio, ALSA, sndfile and its codecs: some
// seventeen in all) are loaded on the first request to speak, not at start, where loading and
// relocating them would cost more than a tenth of the program's start.
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
            if (!resolveSymbol(library, function, name) && all) {
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

// Where the samples of the running synthesis go. One voice exists at a time, and its synthesis
// runs on one thread at a time.
const EspeakVoice::Sink* currentSink = nullptr;

int deliverSamples(short* wave, int count, espeak_EVENT*) {
    if (currentSink && wave && count > 0 && !(*currentSink)(wave, count))
        return 1; // stop synthesising
    return 0;     // go on
}

// The length of the blocks espeak-ng synthesises into: a request to stop is seen within one.
constexpr int kBufferMilliseconds = 50;

// espeak-ng keeps one engine per process, with a helper thread that it starts on initialisation.
// Initialising and terminating it for every request races with that thread's start and can hang
// (the engine waits for a thread that never answers), so the engine is initialised once, on the
// first request, and stays until the process ends; the operating system reclaims it then.
// Terminating it at exit would risk the same hang on the way out. What belongs to one request
// (its voice, its samples) is set up and torn down by each voice.
struct Engine {
    std::mutex busy;
    bool initialised = false;

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
        // Synchronous synthesis into the callback; the samples are played by the caller.
        const espeak_ng_STATUS output = EspeakApi::get().InitializeOutput(
            ENOUTPUT_MODE_SYNCHRONOUS, kBufferMilliseconds, nullptr);
        if (output != ENS_OK)
            throw Error(QStringLiteral("Konuşma motoru başlatılamadı: %1").arg(statusText(output)));
        initialised = true;
    }
};

// The sound device of pcaudiolib, the library espeak-ng itself plays through: PulseAudio where it
// runs, ALSA otherwise. Loaded on the first line spoken, as espeak-ng is.
struct PcaudioApi {
    decltype(&create_audio_device_object) create = nullptr;
    decltype(&audio_object_open) open = nullptr;
    decltype(&audio_object_write) write = nullptr;
    decltype(&audio_object_drain) drain = nullptr;
    decltype(&audio_object_flush) flush = nullptr;
    decltype(&audio_object_close) close = nullptr;
    decltype(&audio_object_destroy) destroy = nullptr;
    decltype(&audio_object_strerror) strerror = nullptr;

    // Loads the library once; gives nullptr when it, or one of its functions, is not there.
    static const PcaudioApi* get() {
        static const PcaudioApi api = load();
        return api.strerror ? &api : nullptr;
    }

private:
    static PcaudioApi load() {
        static QLibrary library(QStringLiteral("pcaudio"), 0); // never unloaded
        PcaudioApi api;
        if (!library.load())
            return api;
        bool all = true;
        auto resolve = [&](auto& function, const char* name) {
            all = resolveSymbol(library, function, name) && all;
        };
        resolve(api.create, "create_audio_device_object");
        resolve(api.open, "audio_object_open");
        resolve(api.write, "audio_object_write");
        resolve(api.drain, "audio_object_drain");
        resolve(api.flush, "audio_object_flush");
        resolve(api.close, "audio_object_close");
        resolve(api.destroy, "audio_object_destroy");
        resolve(api.strerror, "audio_object_strerror");
        if (!all)
            api.strerror = nullptr;
        return api;
    }
};

// One opening of the default sound device, for one line: mono 16-bit samples at a given rate.
class SoundDevice {
public:
    // Throws peltavo::Error, the message of a line that cannot be played, when there is no
    // device to play on.
    explicit SoundDevice(int sampleRate) : api_(PcaudioApi::get()) {
        QString reason = statusText(ENS_AUDIO_ERROR);
        if (api_)
            object_ = api_->create(nullptr, "Peltavo", "Text-to-Speech");
        if (object_) {
            const int error =
                api_->open(object_, AUDIO_OBJECT_FORMAT_S16LE, std::uint32_t(sampleRate), 1);
            if (error == 0)
                return;
            api_->destroy(object_);
            object_ = nullptr;
        }
        throw Error(
            QStringLiteral("Cümle seslendirilemedi: ses aygıtına ulaşılamadı (%1).").arg(reason));
    }
    ~SoundDevice() {
        api_->close(object_);
        api_->destroy(object_);
    }
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Blocks while the device's buffer is full: the samples are played at their own pace.
    bool write(const short* samples, int count) {
        return api_->write(object_, samples, std::size_t(count) * sizeof(short)) == 0;
    }
    void drain() { api_->drain(object_); }
    void flush() { api_->flush(object_); }

private:
    const PcaudioApi* api_;
    audio_object* object_ = nullptr;
};

} // namespace

EspeakVoice::EspeakVoice() {
    Engine& engine = Engine::instance();
    std::unique_lock lock(engine.busy, std::try_to_lock);
    if (!lock.owns_lock())
        throw Error(QStringLiteral("Konuşma motoru şu anda başka bir cümleyi seslendiriyor."));
    engine.initialise();
    const espeak_ng_STATUS status = EspeakApi::get().SetVoiceByName("en");
    if (status != ENS_OK) {
        throw Error(QStringLiteral("İngilizce ses bulunamadı: konuşma motorunun İngilizce sesi "
                                   "kurulu değil (%1).")
                        .arg(statusText(status)));
    }
    sampleRate_ = EspeakApi::get().GetSampleRate();
    EspeakApi::get().SetSynthCallback(deliverSamples);
    lock.release(); // held until the voice is released
}

EspeakVoice::~EspeakVoice() {
    EspeakApi::get().SetSynthCallback(nullptr);
    Engine::instance().busy.unlock();
}

void EspeakVoice::synthesize(const QString& text, const Sink& sink) {
    const QByteArray utf8 = text.toUtf8();
    currentSink = &sink;
    // In the synchronous mode the call returns once the whole text has been synthesised, or the
    // sink has stopped it.
    const espeak_ng_STATUS status =
        EspeakApi::get().Synthesize(utf8.constData(), std::size_t(utf8.size()) + 1, 0,
                                    POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    currentSink = nullptr;
    if (status != ENS_OK && status != ENS_SPEECH_STOPPED)
        throw Error(QStringLiteral("Cümle seslendirilemedi: %1").arg(statusText(status)));
}

void EspeakVoice::speak(const QString& text) {
    synthesize(text, [this](const short* samples, int count) {
        samples_.insert(samples_.end(), samples, samples + count);
        return true;
    });
}

EspeakSpeechEngine::EspeakSpeechEngine() = default;

EspeakSpeechEngine::~EspeakSpeechEngine() {
    stop();
}

void EspeakSpeechEngine::stop() {
    if (!player_.joinable())
        return;
    // The player sees the request at its next block of samples, some tens of milliseconds on.
    stopRequested_ = true;
    player_.join();
    stopRequested_ = false;
}

void EspeakSpeechEngine::say(const QString& text) {
    stop();
    // Opened here, so that a missing device is told now, to the one who pressed.
    auto device = std::make_unique<SoundDevice>(voice_.sampleRate());
    speaking_ = true;
    player_ = std::thread([this, text, device = std::move(device)] {
        try {
            voice_.synthesize(text, [&](const short* samples, int count) {
                return !stopRequested_ && device->write(samples, count);
            });
        } catch (const Error&) {
            // Nothing to tell it to: the line is left unspoken.
        }
        if (stopRequested_)
            device->flush();
        else
            device->drain();
        speaking_ = false;
    });
}

} // namespace peltavo::platform
