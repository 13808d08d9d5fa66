#include "speech.h"

#include "error.h"

#include <espeak-ng/espeak_ng.h>

#include <atomic>

namespace peltavo::platform {

namespace {

// espeak-ng has one engine per process: at most one voice owns it at a time.
std::atomic_bool engineTaken{false};
// Where the samples of the running synthesis go (Memory output only).
std::vector<short>* collectInto = nullptr;

int collectSamples(short* wave, int count, espeak_EVENT*) {
    if (collectInto && wave && count > 0)
        collectInto->insert(collectInto->end(), wave, wave + count);
    return 0; // go on synthesising
}

QString statusText(espeak_ng_STATUS status) {
    char buffer[256] = {};
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return QString::fromLocal8Bit(buffer).trimmed();
}

} // namespace

EspeakVoice::EspeakVoice(Output output) : output_(output) {
    if (engineTaken.exchange(true))
        throw Error(QStringLiteral("Konuşma motoru şu anda başka bir cümleyi seslendiriyor."));
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status != ENS_OK) {
        engineTaken = false;
        throw Error(
            QStringLiteral("Konuşma motoru (espeak-ng) başlatılamadı: %1").arg(statusText(status)));
    }
    // From here on the destructor terminates the engine, whatever fails next.
    struct TerminateOnFailure {
        bool armed = true;
        ~TerminateOnFailure() {
            if (armed) {
                espeak_ng_Terminate();
                engineTaken = false;
            }
        }
    } guard;

    const auto mode =
        output == Output::Audio
            ? espeak_ng_OUTPUT_MODE(ENOUTPUT_MODE_SYNCHRONOUS | ENOUTPUT_MODE_SPEAK_AUDIO)
            : ENOUTPUT_MODE_SYNCHRONOUS;
    status = espeak_ng_InitializeOutput(mode, 0, nullptr);
    if (status != ENS_OK) {
        throw Error(
            output == Output::Audio
                ? QStringLiteral("Ses çıkışı bulunamadı: bu bilgisayarda cümleyi "
                                 "seslendirecek bir ses aygıtı yok (%1).")
                      .arg(statusText(status))
                : QStringLiteral("Konuşma motoru başlatılamadı: %1").arg(statusText(status)));
    }
    status = espeak_ng_SetVoiceByName("en");
    if (status != ENS_OK) {
        throw Error(QStringLiteral("İngilizce ses bulunamadı: konuşma motorunun İngilizce sesi "
                                   "kurulu değil (%1).")
                        .arg(statusText(status)));
    }
    sampleRate_ = espeak_ng_GetSampleRate();
    espeak_SetSynthCallback(output == Output::Memory ? collectSamples : nullptr);
    guard.armed = false;
}

EspeakVoice::~EspeakVoice() {
    espeak_SetSynthCallback(nullptr);
    espeak_ng_Terminate();
    engineTaken = false;
}

void EspeakVoice::speak(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    collectInto = &samples_;
    const espeak_ng_STATUS status =
        espeak_ng_Synthesize(utf8.constData(), std::size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                             espeakCHARS_UTF8, nullptr, nullptr);
    const espeak_ng_STATUS done = status == ENS_OK ? espeak_ng_Synchronize() : status;
    collectInto = nullptr;
    if (done == ENS_OK)
        return;
    if (done == ENS_AUDIO_ERROR || output_ == Output::Audio)
        throw Error(QStringLiteral("Cümle seslendirilemedi: ses aygıtına ulaşılamadı (%1).")
                        .arg(statusText(done)));
    throw Error(QStringLiteral("Cümle seslendirilemedi: %1").arg(statusText(done)));
}

} // namespace peltavo::platform
