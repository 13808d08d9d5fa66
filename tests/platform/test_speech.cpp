#include "error.h"
#include "speech.h"

#include <gtest/gtest.h>

#include <optional>

namespace peltavo::platform {
namespace {

// Seconds of audio that espeak-ng makes of `text`.
double secondsOf(const QString& text) {
    EspeakVoice voice(EspeakVoice::Output::Memory);
    voice.speak(text);
    EXPECT_GT(voice.sampleRate(), 8000);
    return double(voice.samples().size()) / voice.sampleRate();
}

TEST(Speech, TheEnglishVoiceMakesAudioOfPlausibleLength) {
    const double greeting = secondsOf(QStringLiteral("Good morning, Ali."));
    const double sentence = secondsOf(QStringLiteral(
        "Excuse me, could you tell me when the next train to Ankara leaves? I really need to be "
        "there before my very important meeting starts."));
    const double empty = secondsOf(QString());
    // About 150 to 200 words a minute: a few words take around a second.
    EXPECT_GT(greeting, 0.6);
    EXPECT_LT(greeting, 3.0);
    EXPECT_GT(sentence, 4 * greeting);
    EXPECT_LT(sentence, 15.0);
    EXPECT_LT(empty, 0.3);
}

TEST(Speech, OneVoiceAtATimeAndEachOneReleasesTheEngine) {
    std::optional<EspeakVoice> first(std::in_place, EspeakVoice::Output::Memory);
    try {
        EspeakVoice second(EspeakVoice::Output::Memory);
        ADD_FAILURE() << "two voices cannot share the engine";
    } catch (const Error& error) {
        EXPECT_FALSE(error.message().isEmpty());
    }
    first->speak(QStringLiteral("one"));
    EXPECT_FALSE(first->samples().empty());
    first.reset();
    // Released, the engine serves the next request, and samples belong to their own voice.
    EspeakVoice next(EspeakVoice::Output::Memory);
    EXPECT_TRUE(next.samples().empty());
    next.speak(QStringLiteral("two"));
    EXPECT_FALSE(next.samples().empty());
}

} // namespace
} // namespace peltavo::platform
