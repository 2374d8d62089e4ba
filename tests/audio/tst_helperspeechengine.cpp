// SPDX-License-Identifier: GPL-3.0-or-later
// The speech engine's program side driven over real pipes to fake speech
// helpers (fakespeechhelper.cpp): what reaches the engine, in which order,
// and what the window's thread is told, while a helper starts late, fails,
// crashes, stops answering, writes a damaged frame or is replaced.

#include "audio/helperspeechengine.h"
#include "audio/speakword.h"
#include "audiotest.h"
#include "core/errorreport.h"
#include "core/failure.h"
#include "fakes.h"
#include "speechprotocol/speechprotocol.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString notResponding = u"The speech engine is not responding"_s;
const QStringList defaultVoices{u"Amy (English – United States)"_s, u"Hans (German – Germany)"_s};
// Longest the window's thread may be held by a request that does not wait.
constexpr qint64 kMoment = 500;
// What a wait for a helper's start allows: under the sanitizers on a busy
// machine a start can take longer than the five seconds QTRY_ allows.
constexpr int kStartTimeoutMs = 20000;

QString fakeHelperProgram()
{
    return QCoreApplication::applicationDirPath() + u"/fake-speech-helper"_s;
}

// The fake helpers' shared folder: their log, their numbers, their voices.
class Helpers
{
public:
    SpeechHelper command(const QString &fault, int faulty = 1) const
    {
        return {fakeHelperProgram(), {m_dir.path(), fault, QString::number(faulty)}};
    }
    QStringList calls() const
    {
        QFile file(m_dir.filePath(u"log"_s));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // Ends the start of helpers that wait for it ("late").
    void letStart() const { touch(u"go"_s, {}); }
    void setVoices(const QStringList &voices) const { touch(u"voices"_s, voices.join(u'\n').toUtf8()); }
    qint64 pid(int number) const
    {
        QFile file(m_dir.filePath(u"helper-%1"_s.arg(number)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toLongLong() : 0;
    }

private:
    void touch(const QString &name, const QByteArray &bytes) const
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
};

bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

QString failureOf(const std::function<void()> &request)
{
    try {
        request();
    } catch (const Failure &failure) {
        return failure.description();
    }
    return {};
}

// What the busy hook was told.
struct BusyLog
{
    HelperSpeechEngine::BusyHook hook()
    {
        return [this](bool waiting) { told.append(waiting); };
    }
    QList<bool> told;
};

SpeechLimits limitsWith(int startMs, int answerMs = SpeechLimits{}.answerMs)
{
    SpeechLimits limits;
    limits.startMs = startMs;
    limits.answerMs = answerMs;
    limits.exitMs = 200;
    return limits;
}

class Preferences : public AudioPreferences
{
public:
    int volume() const override { return 100; }
    int rate() const override { return 0; }
    int voicePosition() const override { return 1; }
    bool playSounds() const override { return false; }
    bool saySentence() const override { return true; }
};

} // namespace

class tst_HelperSpeechEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wordAskedBeforeTheEngineIsReadyIsSpokenOnceItIs();
    void helperThatFailsToStart();
    void missingHelper();
    void helperThatFails_data();
    void helperThatFails();
    void speakWordReportsAFaultOnce();
    void frozenHelperLetsItsWordGo_data();
    void frozenHelperLetsItsWordGo();
    void spareSpeaksTheLostWord_data();
    void spareSpeaksTheLostWord();
    void refreshReplacesTheSpare();
    void endsPromptly_data();
    void endsPromptly();
    void helperEndsWhenItsInputCloses();
    void refreshWhileSpeaking();
    void waitsShowBusy();
    void programEndingDuringAWait();
};

void tst_HelperSpeechEngine::initTestCase()
{
    QVERIFY2(QFileInfo(fakeHelperProgram()).isExecutable(), qPrintable(fakeHelperProgram()));
}

void tst_HelperSpeechEngine::wordAskedBeforeTheEngineIsReadyIsSpokenOnceItIs()
{
    Helpers helpers;
    BusyLog busy;
    HelperSpeechEngine engine(helpers.command(u"late"_s), {}, busy.hook());

    // Nothing here waits for the start.
    QElapsedTimer clock;
    clock.start();
    auto first = engine.createVoice();
    first->setVoice(1);
    first->setVolume(80);
    first->speak(u"cat"_s);
    auto second = engine.createVoice();
    first.reset();
    second->setRate(-4);
    second->speak(u"dog"_s);
    QCOMPARE_LT(clock.elapsed(), kMoment);
    QCOMPARE(busy.told, QList<bool>());

    helpers.letStart();
    // The later word silences the earlier one, both spoken in order.
    QTRY_COMPARE_WITH_TIMEOUT(helpers.calls(),
                              (QStringList{u"1:speak(cat,1,80,0)"_s, u"1:stop"_s, u"1:speak(dog,0,100,-4)"_s}),
                              kStartTimeoutMs);
    QCOMPARE(engine.helpersStarted(), 1);
}

void tst_HelperSpeechEngine::helperThatFailsToStart()
{
    Helpers helpers;
    HelperSpeechEngine engine(helpers.command(u"fail-start"_s, 2));
    QObject context;
    int told = 0;
    engine.whenStarted(&context, [&] { ++told; });
    // Made while the helper starts; its failure shows when it has ended.
    auto early = engine.createVoice();
    QTRY_COMPARE_WITH_TIMEOUT(told, 1, kStartTimeoutMs);
    const QString failed = u"No speech engine works (scripted: offers no voices)."_s;
    QCOMPARE(failureOf([&] { early->voices(); }), failed);

    // Every later request tries a fresh helper; making a voice does not wait
    // for its start, the request after that start reports its failure.
    auto during = engine.createVoice();
    engine.whenStarted(&context, [&] { ++told; });
    QTRY_COMPARE_WITH_TIMEOUT(told, 2, kStartTimeoutMs);
    QCOMPARE(failureOf([&] { engine.createVoice(); }), failed);
    auto voice = engine.createVoice();
    voice->speak(u"cat"_s);
    QTRY_COMPARE_WITH_TIMEOUT(helpers.calls(), QStringList{u"3:speak(cat,0,100,0)"_s}, kStartTimeoutMs);
    QCOMPARE(engine.helpersStarted(), 3);
}

void tst_HelperSpeechEngine::missingHelper()
{
    const QString missing = QDir::temp().filePath(u"no-such-folder/lexidrill-speech"_s);
    HelperSpeechEngine engine({missing, {}});
    QObject context;
    bool told = false;
    engine.whenStarted(&context, [&] { told = true; });
    QTRY_VERIFY(told);
    const QString failure = failureOf([&] { engine.createVoice(); });
    QVERIFY2(failure.startsWith(u"The speech helper %1 could not be started: "_s.arg(missing)), qPrintable(failure));
}

enum class Notice { Died, Unanswered, VoiceList };
Q_DECLARE_METATYPE(Notice)

void tst_HelperSpeechEngine::helperThatFails_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Notice>("notice");
    QTest::addRow("crashes on its first word") << u"crash-on-speak"_s << Notice::Died;
    QTest::addRow("writes a damaged frame") << u"damaged"_s << Notice::Died;
    QTest::addRow("stuck inside the engine on a word") << u"hang-speak"_s << Notice::Unanswered;
    QTest::addRow("never says a word") << u"hang-start"_s << Notice::VoiceList;
    QTest::addRow("answers after the limit") << u"late"_s << Notice::VoiceList;
}

void tst_HelperSpeechEngine::helperThatFails()
{
    QFETCH(QString, fault);
    QFETCH(Notice, notice);
    Helpers helpers;
    BusyLog busy;
    HelperSpeechEngine engine(helpers.command(fault), limitsWith(20000), busy.hook());
    QStringList reports;
    qint64 longestHold = 0;
    // One request as a procedure step makes it: timed, its failure noted.
    const auto request = [&](const std::function<void()> &body) {
        QElapsedTimer clock;
        clock.start();
        if (const QString failure = failureOf(body); !failure.isEmpty())
            reports.append(failure);
        longestHold = std::max(longestHold, clock.elapsed());
    };

    QElapsedTimer sinceStart;
    sinceStart.start();
    std::unique_ptr<SpeechVoice> voice;
    request([&] { voice = engine.createVoice(); });
    QVERIFY(voice);
    int waits = 0;
    int voiceListLimit = 0;
    switch (notice) {
    case Notice::Died:
    case Notice::Unanswered:
        // The first voice list waits for the start, as long as the machine
        // takes: not a hold of the failing helper's, so not timed.
        QCOMPARE(failureOf([&] { voice->voices(); }), QString());
        QCOMPARE(busy.told.size(), 2); // the first voice list is waited for
        busy.told.clear();
        request([&] { voice->speak(u"cat"_s); });
        if (notice == Notice::Died) {
            // The word the helper took with it is spoken by a fresh one.
            QTRY_VERIFY2_WITH_TIMEOUT(helpers.calls().contains(u"2:speak(cat,0,100,0)"_s),
                                      qPrintable(helpers.calls().join(u' ')), kStartTimeoutMs);
        } else
            engine.setLimits(limitsWith(20000, 0)); // any request still unanswered is overdue
        break;
    case Notice::VoiceList:
        // Once the failing helper has taken number 1 (a loaded machine may
        // let it run only after the fresh one), its start gets half a second
        // more: a loaded machine may hold this thread a while before the wait.
        QTRY_VERIFY_WITH_TIMEOUT(helpers.pid(1) > 0, kStartTimeoutMs);
        voiceListLimit = int(sinceStart.elapsed()) + 500;
        engine.setLimits(limitsWith(voiceListLimit));
        waits = 1;
        // The one wait the voice list needs ends at its limit.
        request([&] { voice->voices(); });
        QCOMPARE(reports, QStringList{notResponding});
        helpers.letStart();
        engine.setLimits(limitsWith(20000));
        break;
    }

    // The requests of the next word: one report, and the word is spoken by
    // a fresh helper.
    request([&] { voice = engine.createVoice(); });
    request([&] { voice->setVoice(1); });
    request([&] { voice->setVolume(90); });
    request([&] { voice->speak(u"dog"_s); });
    QCOMPARE(reports, QStringList{notResponding});
    QTRY_VERIFY2_WITH_TIMEOUT(helpers.calls().contains(u"2:speak(dog,1,90,0)"_s),
                              qPrintable(helpers.calls().join(u' ')), kStartTimeoutMs);
    QCOMPARE(engine.helpersStarted(), 2);
    // The failed helper is gone, killed when it did not answer.
    QTRY_VERIFY(processGone(helpers.pid(1)));
    QCOMPARE(busy.told.size(), 2 * waits);
    QCOMPARE_LT(longestHold, voiceListLimit + kMoment);
}

void tst_HelperSpeechEngine::speakWordReportsAFaultOnce()
{
    Helpers helpers;
    BusyLog busy;
    HelperSpeechEngine engine(helpers.command(u"crash-on-speak"_s), {}, busy.hook());
    RecordingPrompts prompts;
    Preferences preferences;
    AudioContext audio;
    audio.prompts = &prompts;
    audio.speech = &engine;
    audio.preferences = &preferences;

    // The first word, while the helper still starts: nothing waits. The
    // helper crashes on it and a fresh one speaks it.
    SpeakWord(audio, u"cat"_s);
    QCOMPARE(busy.told, QList<bool>());
    QTRY_VERIFY_WITH_TIMEOUT(helpers.calls().contains(u"2:speak(cat,1,100,0)"_s), kStartTimeoutMs);
    QCOMPARE(prompts.boxes.size(), 0);

    SpeakWord(audio, u"dog"_s);
    QCOMPARE(AudioTest::reportedLines(prompts, u"in Lexidrill2021/08/31.Form1.SpeakWord "_s), QList<int>{102});
    QTRY_VERIFY(helpers.calls().contains(u"2:speak(dog,1,100,0)"_s));
    QCOMPARE(busy.told, QList<bool>());
}

void tst_HelperSpeechEngine::frozenHelperLetsItsWordGo_data()
{
    QTest::addColumn<bool>("whileStarting");
    QTest::addRow("frozen once ready") << false;
    QTest::addRow("frozen while it starts") << true;
}

void tst_HelperSpeechEngine::frozenHelperLetsItsWordGo()
{
    QFETCH(bool, whileStarting);
    Helpers helpers;
    SpeechLimits limits = limitsWith(1500);
    limits.wordBeginMs = 300;
    QElapsedTimer sinceStart;
    sinceStart.start();
    HelperSpeechEngine engine(helpers.command(whileStarting ? u"late"_s : u"none"_s), limits);
    RecordingPrompts prompts;
    Preferences preferences;
    AudioContext audio;
    audio.prompts = &prompts;
    audio.speech = &engine;
    audio.preferences = &preferences;
    if (!whileStarting)
        engine.engineName();
    QTRY_VERIFY_WITH_TIMEOUT(helpers.pid(1) > 0, kStartTimeoutMs);
    QCOMPARE(::kill(pid_t(helpers.pid(1)), SIGSTOP), 0);
    if (whileStarting)
        helpers.letStart();

    // Nobody asks for anything more: the word is spoken by a fresh helper
    // once the frozen one's limit has passed.
    QElapsedTimer clock;
    clock.start();
    SpeakWord(audio, u"cat"_s);
    QTRY_VERIFY2_WITH_TIMEOUT(helpers.calls().contains(u"2:speak(cat,1,100,0)"_s),
                              qPrintable(helpers.calls().join(u' ')), kStartTimeoutMs);
    // A helper that starts has its start's limit, counted from its start.
    QCOMPARE_GE(whileStarting ? sinceStart.elapsed() : clock.elapsed(),
                whileStarting ? limits.startMs : limits.wordBeginMs);
    QTRY_VERIFY(processGone(helpers.pid(1)));
    QCOMPARE(prompts.boxes.size(), 0);

    // Reported once, by the next word, which the fresh helper speaks.
    SpeakWord(audio, u"dog"_s);
    SpeakWord(audio, u"pig"_s);
    QCOMPARE(AudioTest::reportedLines(prompts, u"in Lexidrill2021/08/31.Form1.SpeakWord "_s), QList<int>{102});
    QTRY_VERIFY(helpers.calls().contains(u"2:speak(pig,1,100,0)"_s));
    QCOMPARE(engine.helpersStarted(), 2);
}

void tst_HelperSpeechEngine::spareSpeaksTheLostWord_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addRow("helper in use frozen") << u"none"_s;
    QTest::addRow("helper in use crashes on the word") << u"crash-on-speak"_s;
}

void tst_HelperSpeechEngine::spareSpeaksTheLostWord()
{
    QFETCH(QString, fault);
    Helpers helpers;
    SpeechHelper command = helpers.command(fault);
    command.keepSpare = true;
    SpeechLimits limits = limitsWith(20000);
    limits.wordBeginMs = 300;
    HelperSpeechEngine engine(command, limits);
    RecordingPrompts prompts;
    Preferences preferences;
    AudioContext audio;
    audio.prompts = &prompts;
    audio.speech = &engine;
    audio.preferences = &preferences;
    engine.engineName();
    // The spare starts once the helper in use is ready, and waits.
    QTRY_COMPARE_WITH_TIMEOUT(engine.helpersReady(), 2, kStartTimeoutMs);
    QCOMPARE(engine.helpersStarted(), 2);
    QVERIFY(helpers.pid(2) > 0);
    QCOMPARE(helpers.calls(), QStringList());
    if (fault == u"none"_s)
        QCOMPARE(::kill(pid_t(helpers.pid(1)), SIGSTOP), 0);

    QElapsedTimer clock;
    clock.start();
    SpeakWord(audio, u"cat"_s);
    QTRY_VERIFY2(helpers.calls().contains(u"2:speak(cat,1,100,0)"_s), qPrintable(helpers.calls().join(u' ')));
    // A frozen helper still has the word's whole limit.
    if (fault == u"none"_s)
        QCOMPARE_GE(clock.elapsed(), limits.wordBeginMs);
    QTRY_VERIFY(processGone(helpers.pid(1)));
    // A new spare stands by for the helper now in use.
    QTRY_COMPARE_WITH_TIMEOUT(engine.helpersReady(), 2, kStartTimeoutMs);
    QCOMPARE(engine.helpersStarted(), 3);
    QCOMPARE(helpers.calls().filter(u"3:"_s), QStringList());

    // Reported once, by the next word, which the former spare speaks.
    SpeakWord(audio, u"dog"_s);
    SpeakWord(audio, u"pig"_s);
    QCOMPARE(AudioTest::reportedLines(prompts, u"in Lexidrill2021/08/31.Form1.SpeakWord "_s), QList<int>{102});
    QTRY_VERIFY(helpers.calls().contains(u"2:speak(pig,1,100,0)"_s));
    QCOMPARE(engine.helpersStarted(), 3);
}

void tst_HelperSpeechEngine::refreshReplacesTheSpare()
{
    Helpers helpers;
    SpeechHelper command = helpers.command(u"none"_s);
    command.keepSpare = true;
    HelperSpeechEngine engine(command, limitsWith(20000));
    engine.engineName();
    QTRY_COMPARE_WITH_TIMEOUT(engine.helpersReady(), 2, kStartTimeoutMs);

    // The spare listed the voices as they were; the refreshed list's helper
    // gets a spare that lists them as they are.
    const QStringList refreshed{u"Zoe (English – United Kingdom)"_s};
    helpers.setVoices(refreshed);
    QCOMPARE(engine.voicesAnew(), refreshed);
    QTRY_VERIFY(processGone(helpers.pid(2)));
    QTRY_COMPARE_WITH_TIMEOUT(engine.helpersReady(), 2, kStartTimeoutMs);
    QCOMPARE(engine.helpersStarted(), 4);
    QVERIFY(!processGone(helpers.pid(4)));
}

void tst_HelperSpeechEngine::endsPromptly_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("stopsItself");
    QTest::addColumn<int>("exitMs");
    // A helper that works ends by itself, whatever the limit; a loaded
    // machine may take longer than a tenth of a second to run it.
    QTest::addRow("helper that works") << u"none"_s << true << 5000;
    QTest::addRow("helper stuck inside the engine") << u"hang-speak"_s << false << 100;
    QTest::addRow("helper that never started") << u"hang-start"_s << false << 100;
}

void tst_HelperSpeechEngine::endsPromptly()
{
    QFETCH(QString, fault);
    QFETCH(bool, stopsItself);
    QFETCH(int, exitMs);
    Helpers helpers;
    QElapsedTimer clock;
    {
        SpeechLimits limits;
        limits.exitMs = exitMs;
        HelperSpeechEngine engine(helpers.command(fault), limits);
        auto voice = engine.createVoice();
        voice->speak(u"cat"_s);
        QTRY_VERIFY_WITH_TIMEOUT(helpers.pid(1) > 0, kStartTimeoutMs);
        if (fault != u"hang-start"_s) {
            // Ready on this side too: a helper still starting is killed.
            QCOMPARE(engine.engineName(), u"scripted"_s);
            QTRY_VERIFY(!helpers.calls().isEmpty());
        }
        clock.start();
    }
    QCOMPARE_LT(clock.elapsed(), exitMs + kMoment);
    QVERIFY(processGone(helpers.pid(1)));
    // A helper that still answers stops speaking before it ends.
    QCOMPARE(helpers.calls().contains(u"1:stop"_s), stopsItself);
}

void tst_HelperSpeechEngine::helperEndsWhenItsInputCloses()
{
    Helpers helpers;
    const SpeechHelper command = helpers.command(u"none"_s);
    QProcess helper;
    helper.start(command.program, command.arguments);
    QVERIFY(helper.waitForStarted());
    SpeechProtocol::FrameReader reader;
    QStringList verbs;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            reader.feed(helper.readAllStandardOutput());
            while (const auto message = reader.next())
                verbs.append(QString::fromLatin1(message->verb));
            return verbs.size() >= 2;
        }(),
        10000);
    QCOMPARE(verbs, (QStringList{u"hello"_s, u"ready"_s}));

    helper.closeWriteChannel();
    QVERIFY(helper.waitForFinished(10000));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 0);
}

void tst_HelperSpeechEngine::refreshWhileSpeaking()
{
    Helpers helpers;
    HelperSpeechEngine engine(helpers.command(u"no-end"_s, 99));
    const auto catalogue = engine.createVoice();
    const QStringList before = catalogue->voices();
    QCOMPARE(before, defaultVoices);
    auto speaking = engine.createVoice();
    speaking->speak(u"cat"_s);
    QTRY_VERIFY(engine.speaking());

    helpers.setVoices(before + QStringList{u"Zoe (French – France)"_s});
    const QStringList after = engine.voicesAnew();

    QCOMPARE(after, before + QStringList{u"Zoe (French – France)"_s});
    QCOMPARE(catalogue->voices(), after);
    speaking.reset();
    auto next = engine.createVoice();
    next->setVoice(2);
    next->speak(u"dog"_s);
    // The old helper is silenced and ends; the new one speaks. The two
    // helpers log in either order.
    const QStringList expected{u"1:speak(cat,0,100,0)"_s, u"1:stop"_s, u"2:speak(dog,2,100,0)"_s};
    QTRY_COMPARE(helpers.calls().size(), expected.size());
    QStringList calls = helpers.calls();
    calls.sort();
    QCOMPARE(calls, expected);
    QTRY_COMPARE(engine.helpersRunning(), 1);
}

void tst_HelperSpeechEngine::waitsShowBusy()
{
    Helpers helpers;
    QList<bool> busy;
    HelperSpeechEngine engine(helpers.command(u"late"_s), {}, [&](bool waiting) {
        busy.append(waiting);
        // The start ends while the window's thread waits for it.
        if (waiting)
            helpers.letStart();
    });

    QCOMPARE(engine.createVoice()->voices(), defaultVoices);
    QCOMPARE(busy, (QList<bool>{true, false}));
}

void tst_HelperSpeechEngine::programEndingDuringAWait()
{
    Helpers helpers;
    HelperSpeechEngine engine(helpers.command(u"late"_s));
    RecordingPrompts prompts;
    bool guardedStepRan = false;

    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    Steps s(prompts, u"Form3", u"PushButton4_Click");
    if (s.test(100, [&] { return !engine.createVoice()->voices().isEmpty(); }))
        s.step(102, [&] { guardedStepRan = true; });
    // Ended by the quit, not by the time limit, and nothing is reported.
    QCOMPARE_LT(clock.elapsed(), SpeechLimits{}.startMs);
    QCOMPARE(prompts.boxes.size(), 0);
    QVERIFY(!guardedStepRan);

    // A quit lasts until the application's loop next runs; run it once so
    // that later waits wait again.
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    helpers.letStart();
    QCOMPARE(engine.createVoice()->voices(), defaultVoices);
}

QTEST_GUILESS_MAIN(tst_HelperSpeechEngine)
#include "tst_helperspeechengine.moc"
