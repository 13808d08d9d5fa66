#include "childtest.h"
#include "error.h"
#include "fakespeech.h"
#include "speech.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>

namespace peltavo::platform {
namespace {

using test::FakeSpeech;
using test::FakeSpeechEngines;

// ---------------------------------------------------------------------------------------------
// espeak-ng's synthesis, into memory: no sound device needed.

// Seconds of audio that espeak-ng makes of `text`.
double secondsOf(const QString& text) {
    EspeakVoice voice;
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
    std::optional<EspeakVoice> first(std::in_place);
    try {
        EspeakVoice second;
        ADD_FAILURE() << "two voices cannot share the engine";
    } catch (const Error& error) {
        EXPECT_FALSE(error.message().isEmpty());
    }
    first->speak(QStringLiteral("one"));
    EXPECT_FALSE(first->samples().empty());
    first.reset();
    // Released, the engine serves the next request, and samples belong to their own voice.
    EspeakVoice next;
    EXPECT_TRUE(next.samples().empty());
    next.speak(QStringLiteral("two"));
    EXPECT_FALSE(next.samples().empty());
}

// ---------------------------------------------------------------------------------------------
// The choice of the engine, with stand-ins for both.

struct Machine {
    const char* what;
    bool serviceRuns;
    const char* espeakError; // "" when espeak-ng can be opened
    const char* engine;      // the engine that speaks, "" when none
    Speaker::Engine kind;
};

TEST(SpeakerChoice, TheServiceWhereItRunsEspeakWhereNotAndTheErrorWhereNeither) {
    const Machine machines[] = {
        {"service and espeak-ng", true, "", "service", Speaker::Engine::DesktopService},
        {"service alone", true, "no espeak", "service", Speaker::Engine::DesktopService},
        {"espeak-ng alone", false, "", "espeak", Speaker::Engine::Espeak},
        {"neither", false, "Cümle seslendirilemedi", "", Speaker::Engine::None},
    };
    for (const Machine& m : machines) {
        SCOPED_TRACE(m.what);
        FakeSpeech speech;
        speech.serviceRuns = m.serviceRuns;
        speech.espeakError = QString::fromUtf8(m.espeakError);
        Speaker speaker(std::make_unique<FakeSpeechEngines>(speech));
        EXPECT_EQ(speech.opened, 0); // nothing before the first line
        if (*m.engine) {
            speaker.say(QStringLiteral("Hello."));
            speaker.say(QStringLiteral("Goodbye."));
            EXPECT_EQ(speech.engines.join(u' '), QStringLiteral("%1 %1").arg(m.engine));
            EXPECT_EQ(speech.opened, 1); // chosen once, kept
        } else {
            try {
                speaker.say(QStringLiteral("Hello."));
                ADD_FAILURE() << "nothing can speak: the press must say so";
            } catch (const Error& error) {
                EXPECT_EQ(error.message(), QString::fromUtf8(m.espeakError));
            }
            EXPECT_TRUE(speech.spoken.isEmpty());
        }
        EXPECT_EQ(speaker.engine(), m.kind);
        // The service is asked first, and espeak-ng only where it does not answer.
        EXPECT_EQ(speech.serviceAsked, 1);
        EXPECT_EQ(speech.espeakAsked, m.serviceRuns ? 0 : 1);
    }
}

TEST(SpeakerChoice, AFailedChoiceIsMadeAgainAtTheNextLine) {
    FakeSpeech speech;
    speech.espeakError = QStringLiteral("no sound");
    Speaker speaker(std::make_unique<FakeSpeechEngines>(speech));
    EXPECT_THROW(speaker.prepare(), Error);
    EXPECT_EQ(speaker.engine(), Speaker::Engine::None);
    speech.serviceRuns = true; // started meanwhile
    speaker.say(QStringLiteral("Now."));
    EXPECT_EQ(speech.engines, QStringList{QStringLiteral("service")});
    EXPECT_EQ(speech.serviceAsked, 2);
}

TEST(SpeakerChoice, AServiceThatGoesAwayHandsTheLineToEspeak) {
    FakeSpeech speech;
    speech.serviceRuns = true;
    Speaker speaker(std::make_unique<FakeSpeechEngines>(speech));
    speaker.say(QStringLiteral("One."));
    speech.serviceGoesAway = true;
    speaker.say(QStringLiteral("Two."));
    speaker.say(QStringLiteral("Three."));
    EXPECT_EQ(speech.spoken, QStringList({QStringLiteral("One."), QStringLiteral("Two."),
                                          QStringLiteral("Three.")}));
    EXPECT_EQ(speech.engines, QStringList({QStringLiteral("service"), QStringLiteral("espeak"),
                                           QStringLiteral("espeak")}));
    EXPECT_EQ(speaker.engine(), Speaker::Engine::Espeak);
    EXPECT_EQ(speech.released, 1); // the broken service's engine
}

// ---------------------------------------------------------------------------------------------
// The real engines.

// ALSA's configuration with the default device written to a file, or missing: the sound device
// of the child that runs the test. PulseAudio is kept out of the way, so that ALSA is used.
QString alsaConfiguration(const QTemporaryDir& folder, const QString& sound) {
    const QString path = folder.filePath(QStringLiteral("asound.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QString text = QStringLiteral("</usr/share/alsa/alsa.conf>\n");
    if (!sound.isEmpty())
        text += QStringLiteral("pcm.!default { type file slave.pcm \"null\" file \"%1\" "
                               "format \"raw\" truncate false }\n")
                    .arg(sound);
    else
        text += QStringLiteral("pcm.!default { type hw card 99 }\n");
    file.write(text.toUtf8());
    return path;
}

bool waitWhileSpeaking(const EspeakSpeechEngine& engine) {
    QElapsedTimer waited;
    waited.start();
    while (engine.speaking() && waited.elapsed() < 20000)
        QThread::msleep(10);
    return !engine.speaking();
}

TEST(EspeakEngine, PlaysInTheBackgroundAndTheNextLineCutsTheLastOneOff) {
    if (qEnvironmentVariableIsEmpty("PELTAVO_TEST_SOUND_FILE")) {
        QTemporaryDir folder;
        const QString sound = folder.filePath(QStringLiteral("sound.raw"));
        qputenv("PULSE_SERVER", "unix:/nonexistent/peltavo-test");
        qputenv("ALSA_CONFIG_PATH", alsaConfiguration(folder, sound).toLocal8Bit());
        test::expectPassesInChild(
            "EspeakEngine.PlaysInTheBackgroundAndTheNextLineCutsTheLastOneOff",
            "PELTAVO_TEST_SOUND_FILE", sound);
        return;
    }
    const int bytesPerSecond = 2 * [] { return EspeakVoice().sampleRate(); }();
    // Seconds of sound the device has played so far: ALSA writes each opening of the device
    // (each line) to a file of its own, sound.raw, sound.raw.0001 and on.
    const auto played = [&] {
        const QFileInfo sound(qEnvironmentVariable("PELTAVO_TEST_SOUND_FILE"));
        qint64 bytes = 0;
        for (const QFileInfo& file : sound.dir().entryInfoList({sound.fileName() + u'*'}))
            bytes += file.size();
        return double(bytes) / bytesPerSecond;
    };
    EspeakSpeechEngine engine;
    QElapsedTimer clock;
    clock.start();
    engine.say(QStringLiteral("Good morning, Ali. How are you today?"));
    EXPECT_LT(clock.elapsed(), 1000); // back at once, the line goes on meanwhile
    ASSERT_TRUE(waitWhileSpeaking(engine));
    const double first = played();
    EXPECT_GT(first, 1.0);
    EXPECT_LT(first, 5.0);

    // A line said while another is still being made cuts that one off: of a paragraph of some
    // twenty seconds little reaches the device before the next line takes its place.
    engine.say(QStringLiteral(
        "Excuse me, could you tell me when the next train to Ankara leaves? I really need to be "
        "there before my very important meeting starts, and I would like to know whether there "
        "is a later train too, in case this one is full. My friend says the evening trains are "
        "often late, so I would rather take the one in the afternoon if I can still get a seat."));
    engine.say(QStringLiteral("Fine, thanks."));
    ASSERT_TRUE(waitWhileSpeaking(engine));
    const double both = played();
    EXPECT_GT(both - first, 0.5);
    EXPECT_LT(both - first, 5.0);
    // An empty line only silences.
    engine.say(QString());
    ASSERT_TRUE(waitWhileSpeaking(engine));
    EXPECT_LT(played() - both, 0.3);
}

TEST(EspeakEngine, WithoutASoundDeviceTheLineEndsInTheMessageOfAMissingDevice) {
    if (qEnvironmentVariableIsEmpty("PELTAVO_TEST_NO_SOUND")) {
        QTemporaryDir folder;
        qputenv("PULSE_SERVER", "unix:/nonexistent/peltavo-test");
        qputenv("ALSA_CONFIG_PATH", alsaConfiguration(folder, QString()).toLocal8Bit());
        test::expectPassesInChild(
            "EspeakEngine.WithoutASoundDeviceTheLineEndsInTheMessageOfAMissingDevice",
            "PELTAVO_TEST_NO_SOUND", QStringLiteral("1"));
        return;
    }
    EspeakSpeechEngine engine;
    for (int press = 0; press < 2; ++press) {
        try {
            engine.say(QStringLiteral("Good morning."));
            ADD_FAILURE() << "no device, no error";
        } catch (const Error& error) {
            EXPECT_TRUE(error.message().startsWith(
                QStringLiteral("Cümle seslendirilemedi: ses aygıtına ulaşılamadı (")))
                << error.message().toStdString();
        }
        EXPECT_FALSE(engine.speaking());
    }
}

// Where speech-dispatcher cannot be reached, the desktop's service is not offered and espeak-ng
// is chosen.
TEST(DesktopService, NotOfferedWhereSpeechDispatcherCannotBeReached) {
    if (qEnvironmentVariableIsEmpty("PELTAVO_TEST_NO_SPEECHD")) {
        // An address of its own: libspeechd starts no server for an address it is given.
        qputenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/peltavo-test/speechd.sock");
        test::expectPassesInChild("DesktopService.NotOfferedWhereSpeechDispatcherCannotBeReached",
                                  "PELTAVO_TEST_NO_SPEECHD", QStringLiteral("1"));
        return;
    }
    int argc = 1;
    char name[] = "test_platform";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    SystemSpeechEngines engines;
    EXPECT_EQ(engines.openDesktopService(), nullptr);
}

// speech-dispatcher of the test's own, on a socket and with a pid file of its own (another
// speech-dispatcher on the machine, a user's or one a client started, would otherwise make it end
// at once as "already running"), with espeak-ng as its synthesiser and an ALSA device that writes
// to a file; ended with the test.
class PrivateSpeechDispatcher {
public:
    PrivateSpeechDispatcher() {
        const QString sound = folder_.filePath(QStringLiteral("sound.raw"));
        QFile config(folder_.filePath(QStringLiteral("speechd.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write(QStringLiteral("LogLevel 5\nLogDir \"%1\"\nAudioOutputMethod \"alsa\"\n"
                                    "AudioALSADevice \"default\"\nDefaultModule espeak-ng\n")
                         .arg(folder_.path())
                         .toUtf8());
        config.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ALSA_CONFIG_PATH"), alsaConfiguration(folder_, sound));
        environment.insert(QStringLiteral("PULSE_SERVER"),
                           QStringLiteral("unix:/nonexistent/peltavo-test"));
        server_.setProcessEnvironment(environment);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start(QStringLiteral("speech-dispatcher"),
                      {QStringLiteral("-s"), QStringLiteral("-t"), QStringLiteral("0"),
                       QStringLiteral("-C"), folder_.path(), QStringLiteral("-P"),
                       folder_.filePath(QStringLiteral("speechd.pid")), QStringLiteral("-c"),
                       QStringLiteral("unix_socket"), QStringLiteral("-S"), socket()});
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(socket()) && waited.elapsed() < 10000 &&
               server_.state() != QProcess::NotRunning)
            QThread::msleep(20);
    }
    ~PrivateSpeechDispatcher() {
        server_.terminate();
        if (!server_.waitForFinished(5000))
            server_.kill();
        server_.waitForFinished(1000);
    }

    bool running() const { return QFileInfo::exists(socket()); }
    QString socket() const { return folder_.filePath(QStringLiteral("speechd.sock")); }
    QString address() const { return QStringLiteral("unix_socket:") + socket(); }
    // What the client asked of the server, as the server's log has it.
    QString log() const {
        QFile file(folder_.filePath(QStringLiteral("speech-dispatcher.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // Seconds of sound the server has played so far (22050 samples a second from espeak-ng).
    double played() const {
        qint64 bytes = 0;
        for (const QFileInfo& file :
             QDir(folder_.path()).entryInfoList({QStringLiteral("sound.raw*")}))
            bytes += file.size();
        return double(bytes) / (2 * 22050);
    }

private:
    QTemporaryDir folder_;
    QProcess server_;
};

TEST(DesktopService, SpeaksEnglishThroughSpeechDispatcherAtTheUsersOwnSettings) {
    PrivateSpeechDispatcher server;
    ASSERT_TRUE(server.running()) << "speech-dispatcher did not start";
    qputenv("SPEECHD_ADDRESS", server.address().toLocal8Bit());
    int argc = 1;
    char name[] = "test_platform";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    SystemSpeechEngines engines;
    std::unique_ptr<SpeechEngine> engine = engines.openDesktopService();
    ASSERT_NE(engine, nullptr);
    engine->say(QStringLiteral("Good morning, Ali. How are you today?"));
    QElapsedTimer waited;
    waited.start();
    while (server.played() < 1.0 && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(engine->broken());
    EXPECT_GT(server.played(), 1.0);
    EXPECT_LT(server.played(), 5.0);
    const QString log = server.log();
    EXPECT_TRUE(log.contains(QStringLiteral("Good morning, Ali. How are you today?")));
    EXPECT_TRUE(log.contains(QStringLiteral("SET SELF LANGUAGE en")));
    EXPECT_TRUE(log.contains(QStringLiteral("SET SELF PRIORITY MESSAGE")));
    // espeak-ng's plain American voice, not the first of its en_US list (English (Caribbean)).
    EXPECT_GT(log.lastIndexOf(QStringLiteral("SET SELF SYNTHESIS_VOICE English (America)")),
              log.lastIndexOf(QStringLiteral("SET SELF SYNTHESIS_VOICE English (Caribbean)")));
    // The user's own rate, pitch and volume: none of them set by the program.
    for (const char* setting : {"SET SELF RATE", "SET SELF PITCH", "SET SELF VOLUME"})
        EXPECT_FALSE(log.contains(QLatin1String(setting))) << setting;
    engine.reset();
    qunsetenv("SPEECHD_ADDRESS");
}

} // namespace
} // namespace peltavo::platform
