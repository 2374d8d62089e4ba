// SPDX-License-Identifier: GPL-3.0-or-later
// The real speech engine and sound player, heard on the null sink of the
// PulseAudio server that scripts/sound-server.sh starts: each test records
// the sink's monitor with parec while it speaks or plays.

#include "audio/audiopreferences.h"
#include "audio/helperspeechengine.h"
#include "audio/speakword.h"
#include "audio/spokenprompt.h"
#include "audio/systemaudio.h"
#include "audiotest.h"
#include "core/failure.h"
#include "fakes.h"
#include "soundcheck.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString sinkMonitor = u"lexidrill_null.monitor"_s;
constexpr int sampleRate = 22050;
// Peaks in 16-bit samples: above `audible` is sound, below `silent` is quiet.
constexpr int audible = 1000;
constexpr int silent = 100;
constexpr int speechTimeoutMs = 20000;

// Records the null sink as 16-bit mono samples for as long as it runs.
class SinkRecorder
{
public:
    ~SinkRecorder()
    {
        if (m_parec.state() != QProcess::NotRunning) {
            m_parec.kill();
            m_parec.waitForFinished();
        }
    }

    // Returns once samples flow, so nothing played afterwards is missed.
    bool start()
    {
        m_parec.start(u"parec"_s,
                      {u"--device="_s + sinkMonitor, u"--raw"_s, u"--format=s16le"_s, u"--channels=1"_s,
                       u"--rate=%1"_s.arg(sampleRate), u"--latency-msec=20"_s});
        if (!m_parec.waitForStarted())
            return false;
        if (!QTest::qWaitFor([this] { return sampleCount() > 0; }, 5000))
            return false;
        m_startCount += sampleCount();
        return true;
    }

    // Samples recorded so far since start() returned.
    qsizetype sampleCount()
    {
        m_bytes += m_parec.readAllStandardOutput();
        return m_bytes.size() / 2 - m_startCount;
    }

    // The loudest sample recorded from sample `from` (since start()) on.
    int peak(qsizetype from = 0)
    {
        sampleCount();
        int loudest = 0;
        const auto *samples = reinterpret_cast<const qint16 *>(m_bytes.constData());
        for (qsizetype i = m_startCount + from; i < m_bytes.size() / 2; ++i)
            loudest = std::max(loudest, std::abs(int(qFromLittleEndian(samples[i]))));
        return loudest;
    }

    // The stretches of sound recorded so far, in samples since start(): runs
    // of loud 10 ms blocks that no quiet of `quietMs` or more divides.
    QList<SoundCheck::Span> soundSpans(int quietMs)
    {
        sampleCount();
        return SoundCheck::soundSpans(m_bytes.mid(m_startCount * 2), sampleRate, quietMs, audible);
    }

private:
    QProcess m_parec;
    QByteArray m_bytes;
    qsizetype m_startCount = 0;
};

bool commandSucceeds(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

// What the engine reports of its speech, and any error.
struct StateLog
{
    explicit StateLog(SpeechMonitor &monitor)
    {
        QObject::connect(&monitor, &SpeechMonitor::began, &context, [this] { states.append(u"began"_s); });
        QObject::connect(&monitor, &SpeechMonitor::ended, &context, [this] { states.append(u"ended"_s); });
        QObject::connect(&monitor, &SpeechMonitor::failed, &context, [this](const QString &text) {
            states.append(u"failed"_s);
            errors.append(text);
        });
    }
    bool spokeAndEnded() const
    {
        const qsizetype began = states.indexOf(u"began"_s);
        return began >= 0 && states.indexOf(u"ended"_s, began) > began;
    }

    QObject context;
    QStringList states;
    QStringList errors;
};

class Preferences : public AudioPreferences
{
public:
    int volume() const override { return 100; }
    int rate() const override { return speechRate; }
    int voicePosition() const override { return position; }
    bool playSounds() const override { return false; }
    bool saySentence() const override { return true; }

    int position = 0;
    int speechRate = 0;
};

// Where the voice list has a voice of speech-dispatcher's (not one of the
// built-in flite voices, which need no server); -1 when it has none.
int speechDispatcherVoice(SpeechEngine &engine)
{
    const QStringList voices = engine.createVoice()->voices();
    for (qsizetype i = 0; i < voices.size(); ++i) {
        if (voices[i].startsWith(u"English (America) ("_s))
            return int(i);
    }
    return -1;
}

// A speech server of this test's own: the helpers' speech-dispatcher starts
// in a runtime folder only this test uses, so killing it touches no one else.
class PrivateSpeechServer
{
public:
    PrivateSpeechServer() : m_saved(qgetenv("XDG_RUNTIME_DIR"))
    {
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }
    ~PrivateSpeechServer()
    {
        if (const qint64 server = pid(); server > 0) {
            ::kill(pid_t(server), SIGCONT);
            ::kill(pid_t(server), SIGTERM);
        }
        qputenv("XDG_RUNTIME_DIR", m_saved);
    }
    // The server that the helpers started, 0 while there is none.
    qint64 pid() const
    {
        QFile file(m_runtime.filePath(u"speech-dispatcher/pid/speech-dispatcher.pid"_s));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const qint64 server = file.readAll().trimmed().toLongLong();
        return server > 0 && ::kill(pid_t(server), 0) == 0 ? server : 0;
    }

private:
    QTemporaryDir m_runtime;
    QByteArray m_saved;
};

// The speech helpers this test started that still run.
QSet<qint64> helperProcesses()
{
    QSet<qint64> found;
    const QByteArray parent = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(u"/proc/%1/stat"_s.arg(entry));
        QFile command(u"/proc/%1/cmdline"_s.arg(entry));
        if (!stat.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state parent ..."
        const QByteArray line = stat.readAll();
        const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
        const QByteArray program = command.readAll().split('\0').value(0);
        if (after.size() > 1 && after[1] == parent && program.endsWith("/lexidrill-speech"))
            found.insert(entry.toLongLong());
    }
    return found;
}

// A sound server of this test's own, with the null sink, that the test kills
// and starts again: PULSE_SERVER sends the helpers and parec to it, so the
// server that scripts/sound-server.sh started is left alone.
class PrivateSoundServer
{
public:
    PrivateSoundServer() : m_saved(qgetenv("PULSE_SERVER"))
    {
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PULSE_SERVER", (u"unix:"_s + m_runtime.filePath(u"pulse/native"_s)).toLocal8Bit());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
        m_daemon.setProcessEnvironment(environment);
        m_daemon.setStandardOutputFile(QProcess::nullDevice());
        m_daemon.setStandardErrorFile(QProcess::nullDevice());
    }
    ~PrivateSoundServer()
    {
        kill();
        qputenv("PULSE_SERVER", m_saved);
    }
    // Returns once the server answers.
    bool start()
    {
        m_daemon.start(u"pulseaudio"_s,
                       {u"--daemonize=no"_s, u"--system=no"_s, u"--exit-idle-time=-1"_s, u"--disallow-exit"_s, u"-n"_s,
                        u"--load=module-native-protocol-unix auth-anonymous=1"_s,
                        u"--load=module-null-sink sink_name=lexidrill_null"_s, u"--load=module-always-sink"_s});
        return m_daemon.waitForStarted()
            && QTest::qWaitFor([] { return commandSucceeds(u"pactl"_s, {u"info"_s}); }, 10000);
    }
    void kill()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished();
        }
    }

private:
    QTemporaryDir m_runtime;
    QByteArray m_saved;
    QProcess m_daemon;
};

} // namespace

class tst_RealAudio : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void programChoosesSpeechDispatcher();
    void noWorkingEngineFailsEveryVoice();
    void voiceListLeadsWithTheUsersLanguage();
    void speaksWord_data();
    void speaksWord();
    void speakAndWaitReturnsOnceSpoken();
    void fliteIsHeardAtAnyRate_data();
    void fliteIsHeardAtAnyRate();
    void volumeChangeIsHeardWhileSpeaking();
    void speechEnds_data();
    void speechEnds();
    void promptIsHeardWordSentenceWord();
    void stoppedPromptIsHeardNoMore();
    void playsFeedbackSound_data();
    void playsFeedbackSound();
    void speaksInALocaleNotInstalled();
    void speaksAgainAfterTheSpeechServerDies();
    void frozenSpeechServer();
    void speaksAgainOnceTheSoundServerReturns_data();
    void longWordsAnsweredBeforeTheyAreSpoken();
    void wordOfAFrozenHelperIsHeard();
    void speaksAgainOnceTheSoundServerReturns();

private:
    std::unique_ptr<HelperSpeechEngine> m_engine;
};

void tst_RealAudio::initTestCase()
{
    // CI starts the sound server before the tests; elsewhere there may be none.
    const bool inCi = qEnvironmentVariable("CI") == u"true"_s;
    QByteArray sinks;
    const bool serverAnswers = commandSucceeds(u"pactl"_s, {u"list"_s, u"short"_s, u"sinks"_s}, &sinks);
    const bool hasNullSink = serverAnswers && sinks.contains("lexidrill_null");
    if (!hasNullSink) {
        const char *why = serverAnswers ? "the sound server has no lexidrill_null sink"
                                        : "no sound server answers (source scripts/sound-server.sh)";
        if (inCi)
            QFAIL(why);
        QSKIP(why);
    }
    m_engine = std::make_unique<HelperSpeechEngine>(SpeechHelper::ofProgram());
    try {
        m_engine->engineName();
    } catch (const Failure &failure) {
        if (inCi)
            QFAIL(failure.what());
        QSKIP(failure.what());
    }
}

void tst_RealAudio::programChoosesSpeechDispatcher()
{
    QCOMPARE(m_engine->engineName(), u"speechd"_s);
}

void tst_RealAudio::noWorkingEngineFailsEveryVoice()
{
    HelperSpeechEngine none(SpeechHelper::ofProgram({u"no-such-engine"_s}));
    QObject context;
    bool startEnded = false;
    none.whenStarted(&context, [&] { startEnded = true; });
    QTRY_VERIFY(startEnded);
    // Once the start has failed, every request tries a fresh one; making a
    // voice does not wait for that start, the request after it reports it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) {
            const std::unique_ptr<SpeechVoice> voice = none.createVoice();
            bool retried = false;
            none.whenStarted(&context, [&] { retried = true; });
            QTRY_VERIFY(retried);
        }
        try {
            none.createVoice();
            QFAIL("a voice was made without an engine");
        } catch (const Failure &failure) {
            QVERIFY2(failure.description().startsWith(u"No speech engine works (no-such-engine: "_s), failure.what());
        }
    }
}

void tst_RealAudio::voiceListLeadsWithTheUsersLanguage()
{
    const QStringList voices = m_engine->createVoice()->voices();

    QVERIFY(!voices.isEmpty());
    QCOMPARE(QSet<QString>(voices.begin(), voices.end()).size(), voices.size());
    QCOMPARE(m_engine->createVoice()->voices(), voices);
    const QLocale::Language system = QLocale::system().language();
    const bool english = system == QLocale::C || system == QLocale::English;
    const QString language = QLocale::languageToString(english ? QLocale::English : system);
    QVERIFY2(voices.first().contains(u"("_s + language), qPrintable(voices.first()));
    // flite's voices are built in and lead for English, the clearest first;
    // speech-dispatcher's kal16 is the built-in one, listed once.
    if (english) {
        QCOMPARE(voices.mid(0, 5),
                 QStringList({u"awb (English – United Kingdom)"_s, u"rms (English – United States)"_s,
                              u"kal16 (English – United States)"_s, u"slt (English – United States)"_s,
                              u"kal (English – United States)"_s}));
    }
    QCOMPARE(voices.filter(QRegularExpression(u"^kal16 "_s)).size(), 1);
}

void tst_RealAudio::speaksWord_data()
{
    QTest::addColumn<QString>("voiceName");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("rate");
    // Empty: the default voice.
    QTest::addRow("long word at the default rate") << QString() << u"extraordinary"_s << -4;
    QTest::addRow("short word at normal pace") << QString() << u"cat"_s << 0;
    QTest::addRow("long word slowest") << QString() << u"encyclopedia"_s << -10;
    QTest::addRow("long word fastest") << QString() << u"responsibility"_s << 10;
    QTest::addRow("word with an accent") << QString() << u"café"_s << -4;
    QTest::addRow("speech-dispatcher's voice") << u"English (America) ("_s << u"extraordinary"_s << -4;
    // Words that Qt's own flite engine loses, with each built-in flite voice.
    for (const QString &name : {u"awb ("_s, u"rms ("_s, u"kal16 ("_s, u"slt ("_s, u"kal ("_s}) {
        QTest::addRow("%s at the default rate", qPrintable(name)) << name << u"encyclopedia"_s << -4;
        QTest::addRow("%s slowest", qPrintable(name)) << name << u"internationalization"_s << -10;
        QTest::addRow("%s fastest", qPrintable(name)) << name << u"extraordinary"_s << 10;
    }
}

void tst_RealAudio::speaksWord()
{
    QFETCH(QString, voiceName);
    QFETCH(QString, word);
    QFETCH(int, rate);
    const QStringList voices = m_engine->createVoice()->voices();
    const auto named
        = std::find_if(voices.begin(), voices.end(), [&](const QString &voice) { return voice.startsWith(voiceName); });
    QVERIFY2(named != voices.end(), qPrintable(voiceName));
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    StateLog log(m_engine->monitor());

    auto voice = m_engine->createVoice();
    voice->setVoice(int(named - voices.begin()));
    voice->setVolume(100);
    voice->setRate(rate);
    voice->speak(word);

    QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), speechTimeoutMs);
    QVERIFY2(log.errors.isEmpty(), qPrintable(log.errors.join(u"; ")));
    QTRY_VERIFY2_WITH_TIMEOUT(recorder.peak() > audible, qPrintable(u"loudest sample %1"_s.arg(recorder.peak())), 5000);
}

void tst_RealAudio::speakAndWaitReturnsOnceSpoken()
{
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    StateLog log(m_engine->monitor());
    auto voice = m_engine->createVoice();
    voice->setRate(-4);

    voice->speakAndWait(u"This is the speed of speech."_s);

    QVERIFY(log.spokeAndEnded());
    QVERIFY(!m_engine->speaking());
    QTRY_VERIFY_WITH_TIMEOUT(recorder.peak() > audible, 5000);
}

void tst_RealAudio::fliteIsHeardAtAnyRate_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("rate");
    // Words that flite at these rates ends with "Audio streaming error.".
    QTest::addRow("default rate") << u"encyclopedia"_s << -4;
    QTest::addRow("slowest") << u"internationalization"_s << -10;
    QTest::addRow("fastest") << u"extraordinary"_s << 10;
}

void tst_RealAudio::fliteIsHeardAtAnyRate()
{
    QFETCH(QString, word);
    QFETCH(int, rate);
    HelperSpeechEngine lastResort(SpeechHelper::ofProgram({u"flite"_s}));
    QCOMPARE(lastResort.engineName(), u"flite"_s);
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    StateLog log(lastResort.monitor());

    auto voice = lastResort.createVoice();
    voice->setRate(rate);
    voice->speak(word);

    QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), speechTimeoutMs);
    QVERIFY2(log.errors.isEmpty(), qPrintable(log.errors.join(u"; ")));
    QTRY_VERIFY_WITH_TIMEOUT(recorder.peak() > audible, 5000);
}

void tst_RealAudio::volumeChangeIsHeardWhileSpeaking()
{
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    StateLog log(m_engine->monitor());
    auto voice = m_engine->createVoice();
    voice->setVolume(100);
    voice->setRate(-10);
    voice->speak(u"One two three four five six seven eight nine ten."_s);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.peak() > audible, speechTimeoutMs);

    voice->setVolume(0);
    const qsizetype changed = recorder.sampleCount() + sampleRate / 2;
    QTRY_VERIFY_WITH_TIMEOUT(recorder.sampleCount() > changed + sampleRate / 2, 5000);
    QVERIFY2(m_engine->speaking(), "the sentence ended before the check");
    QVERIFY2(recorder.peak(changed) < silent,
             qPrintable(u"loudest sample after the change %1"_s.arg(recorder.peak(changed))));
}

void tst_RealAudio::speechEnds_data()
{
    QTest::addColumn<bool>("destroyVoice");
    QTest::addRow("when its voice object is destroyed") << true;
    QTest::addRow("when another voice object speaks") << false;
}

void tst_RealAudio::speechEnds()
{
    QFETCH(bool, destroyVoice);
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    auto first = m_engine->createVoice();
    first->setRate(-10);
    StateLog log(m_engine->monitor());
    // About fifteen seconds at the slowest rate; the checks below allow far less.
    first->speak(u"One two three four five six seven eight nine ten eleven twelve thirteen "
                 "fourteen fifteen sixteen seventeen eighteen nineteen twenty."_s);
    QTRY_VERIFY_WITH_TIMEOUT(log.states.contains(u"began"_s), speechTimeoutMs);

    QElapsedTimer sinceCut;
    sinceCut.start();
    if (destroyVoice) {
        first.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->speaking(), 3000);
    } else {
        m_engine->createVoice()->speakAndWait(u"cat"_s);
        QVERIFY2(sinceCut.elapsed() < 5000, qPrintable(u"the first sentence went on: %1 ms"_s.arg(sinceCut.elapsed())));
    }
    // Nor is it heard afterwards: the sound server drops what it still held.
    const qsizetype over = recorder.sampleCount() + sampleRate / 4;
    QTRY_VERIFY_WITH_TIMEOUT(recorder.sampleCount() > over + sampleRate, 5000);
    QVERIFY2(recorder.peak(over) < silent, qPrintable(u"loudest sample afterwards %1"_s.arg(recorder.peak(over))));
}

namespace {

// A prompt as the game plays it: the program's speech path on the real
// engine, with real pauses.
struct RealPrompt
{
    explicit RealPrompt(SpeechEngine &engine)
    {
        audio.prompts = &prompts;
        audio.speech = &engine;
        audio.preferences = &preferences;
        preferences.speechRate = -4; // the program's default
    }

    RecordingPrompts prompts;
    Preferences preferences;
    AudioContext audio;
    SpeechPartPlayer parts{audio};
    TimerPauseClock pauses;
    SpokenPrompt prompt{parts, pauses};
};

double seconds(qsizetype samples)
{
    return double(samples) / sampleRate;
}

} // namespace

void tst_RealAudio::promptIsHeardWordSentenceWord()
{
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    RealPrompt real(*m_engine);

    real.prompt.play(promptParts(u"weather"_s, u"The weather is warm and sunny today."_s, true));

    QVERIFY(real.prompt.playing());
    QTRY_VERIFY_WITH_TIMEOUT(!real.prompt.playing(), speechTimeoutMs);
    // The end of the last word may still be on its way to the sink.
    const qsizetype over = recorder.sampleCount() + sampleRate / 2;
    QTRY_VERIFY_WITH_TIMEOUT(recorder.sampleCount() > over, 5000);
    QVERIFY(real.prompts.errors().isEmpty());
    // The words of the sentence are closer together than the parts.
    const auto spans = recorder.soundSpans(450);
    QStringList heard;
    for (const SoundCheck::Span &span : spans)
        heard.append(u"%1-%2 s"_s.arg(seconds(span.from), 0, 'f', 2).arg(seconds(span.to), 0, 'f', 2));
    QVERIFY2(spans.size() == 3, qPrintable(heard.join(u", ")));
    const double word = seconds(spans[0].to - spans[0].from);
    const double sentence = seconds(spans[1].to - spans[1].from);
    const double again = seconds(spans[2].to - spans[2].from);
    QVERIFY2(sentence > 2 * word && std::abs(again - word) < 0.1, qPrintable(heard.join(u", ")));
    // About 0.7 s of quiet each time.
    for (int gap = 0; gap < 2; ++gap) {
        const double pause = seconds(spans[gap + 1].from - spans[gap].to);
        QVERIFY2(pause > 0.55 && pause < 0.9, qPrintable(heard.join(u", ")));
    }
}

void tst_RealAudio::stoppedPromptIsHeardNoMore()
{
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    RealPrompt real(*m_engine);
    real.prompt.play(promptParts(u"weather"_s, u"The weather is warm and sunny today, and then it rains."_s, true));
    // Into the sentence: sound after the first pause.
    QTRY_VERIFY_WITH_TIMEOUT(recorder.soundSpans(450).size() == 2, speechTimeoutMs);

    real.prompt.stop();

    QVERIFY(!real.prompt.playing());
    // What the sound server held at the cut may still come out.
    const qsizetype cut = recorder.sampleCount() + sampleRate / 4;
    QTRY_VERIFY_WITH_TIMEOUT(recorder.sampleCount() > cut + 3 * sampleRate, 10000);
    QVERIFY2(recorder.peak(cut) < silent, qPrintable(u"loudest sample after the cut %1"_s.arg(recorder.peak(cut))));
    QVERIFY(real.prompts.errors().isEmpty());
}

void tst_RealAudio::playsFeedbackSound_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("volume");
    QTest::addColumn<bool>("heard");
    QTest::addRow("right answer, full volume") << u"right.wav"_s << 100 << true;
    QTest::addRow("wrong answer, full volume") << u"wrong.wav"_s << 100 << true;
    QTest::addRow("right answer, volume 0") << u"right.wav"_s << 0 << false;
}

void tst_RealAudio::playsFeedbackSound()
{
    QFETCH(QString, file);
    QFETCH(int, volume);
    QFETCH(bool, heard);
    const QString path = QStringLiteral(LEXIDRILL_SOUNDS_DIR) + u'/' + file;
    QVERIFY(QFile::exists(path));
    SinkRecorder recorder;
    QVERIFY(recorder.start());

    // The program's own player, from the sound module beside the test.
    const std::unique_ptr<SoundPlayer> made = createSystemSoundPlayer();
    SoundPlayer &player = *made;
    player.setVolume(volume);
    player.setSource(path);
    player.play();
    QCOMPARE(player.playState(), SoundPlayer::PlayState::Playing);
    // The sounds last under a second and stop by themselves.
    QTRY_COMPARE_WITH_TIMEOUT(player.playState(), SoundPlayer::PlayState::Stopped, 5000);
    player.close();

    if (heard) {
        QTRY_VERIFY2_WITH_TIMEOUT(recorder.peak() > audible, qPrintable(u"loudest sample %1"_s.arg(recorder.peak())),
                                  5000);
    } else {
        // Half a second more of recording covers the sound output's delay.
        const qsizetype after = recorder.sampleCount() + sampleRate / 2;
        QTRY_VERIFY_WITH_TIMEOUT(recorder.sampleCount() > after, 5000);
        QVERIFY2(recorder.peak() < silent, qPrintable(u"loudest sample %1"_s.arg(recorder.peak())));
    }
}

// speech-dispatcher refuses to start in a locale the machine does not have;
// the program must speak all the same. Some of these tests run again in a
// process of their own with such a locale and no speech-dispatcher running
// for it (a runtime folder of its own), failing rather than skipping.
void tst_RealAudio::speaksInALocaleNotInstalled()
{
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : environment.keys()) {
        if (name.startsWith(u"LC_"_s))
            environment.remove(name);
    }
    environment.insert(u"LANG"_s, u"en_XX.UTF-8"_s);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    environment.remove(u"SPEECHD_ADDRESS"_s);
    environment.insert(u"CI"_s, u"true"_s);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {u"programChoosesSpeechDispatcher"_s, u"voiceListLeadsWithTheUsersLanguage"_s,
                 u"speaksWord:long word at the default rate"_s, u"speaksWord:speech-dispatcher's voice"_s});
    const bool finished = child.waitForFinished(60000);
    if (!finished)
        child.kill();

    // The speech-dispatcher started for the child ends with this test.
    QFile pidFile(runtime.filePath(u"speech-dispatcher/pid/speech-dispatcher.pid"_s));
    const bool started = pidFile.exists();
    if (pidFile.open(QIODevice::ReadOnly)) {
        if (const qint64 pid = pidFile.readAll().trimmed().toLongLong(); pid > 0)
            QProcess::execute(u"kill"_s, {QString::number(pid)});
    }
    const QByteArray output = child.readAll();
    QVERIFY2(finished, output.constData());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
    QVERIFY2(started, "no speech-dispatcher was started for the locale");
}

void tst_RealAudio::speaksAgainAfterTheSpeechServerDies()
{
    PrivateSpeechServer server;
    HelperSpeechEngine engine(SpeechHelper::ofProgram());
    QCOMPARE(engine.engineName(), u"speechd"_s);
    RecordingPrompts prompts;
    Preferences preferences;
    preferences.position = speechDispatcherVoice(engine);
    QVERIFY(preferences.position >= 0);
    AudioContext audio;
    audio.prompts = &prompts;
    audio.speech = &engine;
    audio.preferences = &preferences;
    StateLog log(engine.monitor());
    SpeakWord(audio, u"first"_s);
    QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), speechTimeoutMs);
    QTRY_VERIFY(server.pid() > 0);

    const qint64 killed = server.pid();
    QCOMPARE(::kill(pid_t(killed), SIGKILL), 0);
    QTRY_VERIFY(::kill(pid_t(killed), 0) != 0);

    // The next word of the game: whatever the server's death does to the
    // helper, the word is heard (a fresh helper starts a fresh server).
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    log.states.clear();
    QElapsedTimer clock;
    clock.start();
    SpeakWord(audio, u"again"_s);
    QCOMPARE_LT(clock.elapsed(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), 2 * speechTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.peak() > audible, 5000);
    // At most one report, by the word after it.
    SpeakWord(audio, u"third"_s);
    const QString location = u"in Lexidrill2021/08/31.Form1.SpeakWord "_s;
    QCOMPARE_LE(AudioTest::reportedLines(prompts, location).size(), 1);
    QVERIFY(server.pid() > 0);
    QVERIFY(server.pid() != killed);
}

void tst_RealAudio::frozenSpeechServer()
{
    PrivateSpeechServer server;
    SpeechLimits limits;
    limits.startMs = 8000; // a fresh helper's start, under the sanitizers too
    limits.answerMs = 1000;
    limits.speechBeginMs = 1000;
    // The waits of a frozen server are tried here, not a word's own limit
    // (wordOfAFrozenHelperIsHeard): with it, a word asked of a server just
    // woken could send a helper away while the next is still starting.
    limits.wordBeginMs = speechTimeoutMs;
    HelperSpeechEngine engine(SpeechHelper::ofProgram());
    // Starting a speech server of its own takes seconds.
    QCOMPARE(engine.engineName(), u"speechd"_s);
    engine.setLimits(limits);
    const int position = speechDispatcherVoice(engine);
    QVERIFY(position >= 0);
    StateLog log(engine.monitor());
    const auto first = engine.createVoice();
    first->setVoice(position);
    first->speak(u"first"_s);
    QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), speechTimeoutMs);
    QTRY_VERIFY(server.pid() > 0);
    const qint64 frozen = server.pid();
    QCOMPARE(::kill(pid_t(frozen), SIGSTOP), 0);

    // Each wait the design needs ends at its limit with one report.
    const auto failureOf = [](const std::function<void()> &request) {
        try {
            request();
        } catch (const Failure &failure) {
            return failure.description();
        }
        return QString();
    };
    const QString notResponding = u"The speech engine is not responding"_s;
    QElapsedTimer clock;
    clock.start();
    const auto testVoice = engine.createVoice();
    testVoice->setVoice(position);
    QCOMPARE(failureOf([&] { testVoice->speakAndWait(u"This is the speed of speech."_s); }), notResponding);
    QCOMPARE_LT(clock.elapsed(), limits.speechBeginMs + 1000);
    clock.restart();
    QCOMPARE(failureOf([&] { engine.voicesAnew(); }), notResponding);
    QCOMPARE_LT(clock.elapsed(), limits.startMs + 1000);

    // Once the server runs again, the next word is heard.
    QCOMPARE(::kill(pid_t(frozen), SIGCONT), 0);
    log.states.clear();
    const auto voice = engine.createVoice();
    voice->setVoice(position);
    voice->speak(u"again"_s);
    QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), speechTimeoutMs);
}

void tst_RealAudio::speaksAgainOnceTheSoundServerReturns_data()
{
    QTest::addColumn<int>("awayMs");
    QTest::addRow("server away two seconds") << 2000;
    // Qt's sound system tries the server once, three seconds after losing it.
    QTest::addRow("server away longer than Qt tries it") << 6000;
}

void tst_RealAudio::speaksAgainOnceTheSoundServerReturns()
{
    QFETCH(int, awayMs);
    PrivateSoundServer sound;
    QVERIFY(sound.start());
    HelperSpeechEngine engine(SpeechHelper::ofProgram());
    engine.engineName();
    RecordingPrompts prompts;
    Preferences preferences;
    AudioContext audio;
    audio.prompts = &prompts;
    audio.speech = &engine;
    audio.preferences = &preferences;
    StateLog log(engine.monitor());
    {
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        SpeakWord(audio, u"first"_s);
        QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), speechTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(recorder.peak() > audible, 5000);
    }

    // The learner answers on while the server is away; how long it stays
    // away is what this test is about, hence the plain wait.
    sound.kill();
    SpeakWord(audio, u"unheard"_s);
    QTest::qWait(awayMs);
    QVERIFY(sound.start());

    SinkRecorder recorder;
    QVERIFY(recorder.start());
    log.states.clear();
    SpeakWord(audio, u"again"_s);
    QTRY_VERIFY2_WITH_TIMEOUT(recorder.peak() > audible, qPrintable(log.states.join(u' ')), speechTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(log.spokeAndEnded(), speechTimeoutMs);
    // A sound server that went away is no fault of the speech engine's.
    SpeakWord(audio, u"third"_s);
    QCOMPARE(prompts.errors(), QStringList());
}

void tst_RealAudio::longWordsAnsweredBeforeTheyAreSpoken()
{
    // A sixth of the usual limit: words of hundreds of letters take here what
    // longer ones take on a busy machine to be made.
    SpeechLimits limits;
    limits.answerMs = 500;
    HelperSpeechEngine engine(SpeechHelper::ofProgram());
    engine.engineName();
    engine.setLimits(limits);
    RecordingPrompts prompts;
    Preferences preferences;
    AudioContext audio;
    audio.prompts = &prompts;
    audio.speech = &engine;
    audio.preferences = &preferences;
    StateLog log(engine.monitor());
    const auto longWord = [](char first) {
        QString word;
        for (int i = 0; i < 700; ++i)
            word += QChar(u'a' + (first - 'a' + i * 7 + i / 5) % 26);
        return word;
    };

    // Each word is answered as soon as it begins to sound, long before it
    // has been spoken or even made.
    SpeakWord(audio, longWord('b'));
    QTRY_VERIFY_WITH_TIMEOUT(log.states.count(u"began"_s) == 1, speechTimeoutMs);
    SpeakWord(audio, longWord('k'));
    QTRY_VERIFY_WITH_TIMEOUT(log.states.count(u"began"_s) == 2, speechTimeoutMs);
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    SpeakWord(audio, u"cat"_s);
    QTRY_VERIFY_WITH_TIMEOUT(log.states.count(u"began"_s) == 3, speechTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(log.states.endsWith(u"ended"_s), speechTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.peak() > audible, 5000);

    QCOMPARE(prompts.errors(), QStringList());
    QCOMPARE(engine.helpersStarted(), 1);
}

void tst_RealAudio::wordOfAFrozenHelperIsHeard()
{
    const QSet<qint64> before = helperProcesses();
    // As the program has it: a spare helper beside the one in use.
    SpeechHelper helper = SpeechHelper::ofProgram();
    helper.keepSpare = true;
    HelperSpeechEngine engine(helper);
    engine.engineName();
    QTRY_VERIFY_WITH_TIMEOUT(engine.helpersReady() == 2, speechTimeoutMs);
    const QSet<qint64> started = helperProcesses() - before;
    QCOMPARE(started.size(), 2);
    // The one in use started first: pids rise.
    const qint64 frozen = *std::min_element(started.begin(), started.end());
    RecordingPrompts prompts;
    Preferences preferences;
    AudioContext audio;
    audio.prompts = &prompts;
    audio.speech = &engine;
    audio.preferences = &preferences;
    SinkRecorder recorder;
    QVERIFY(recorder.start());
    QCOMPARE(::kill(pid_t(frozen), SIGSTOP), 0);

    // Nobody asks for anything more, and the word is heard all the same,
    // soon after its limit: the spare needs no start, which with
    // speech-dispatcher takes seconds.
    QElapsedTimer clock;
    clock.start();
    SpeakWord(audio, u"again"_s);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.peak() > audible, speechTimeoutMs);
    QCOMPARE_LT(clock.elapsed(), SpeechLimits().wordBeginMs + 2000);
    QVERIFY(!helperProcesses().contains(frozen));
    QCOMPARE(prompts.errors(), QStringList());
    SpeakWord(audio, u"next"_s);
    QCOMPARE(prompts.errors().size(), 1);
}

QTEST_GUILESS_MAIN(tst_RealAudio)
#include "tst_realaudio.moc"
