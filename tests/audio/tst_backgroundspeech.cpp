// SPDX-License-Identifier: GPL-3.0-or-later
// The speech engine thread driven through a scripted engine: what reaches the
// engine, in which order, and what the window's thread is told, while the
// engine starts late, fails, stops answering or is replaced.

#include "audio/backgroundspeechengine.h"
#include "core/errorreport.h"
#include "core/failure.h"
#include "fakes.h"

#include <QMutex>
#include <QSemaphore>
#include <QtTest>
#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// What the scripted engines do; shared with their threads, so it outlives
// the engine object.
struct Script
{
    QStringList calls() const
    {
        const QMutexLocker lock(&mutex);
        return log;
    }
    void add(const QString &call)
    {
        const QMutexLocker lock(&mutex);
        log.append(call);
    }
    QStringList currentVoices() const
    {
        const QMutexLocker lock(&mutex);
        return voices;
    }

    mutable QMutex mutex;
    QStringList log; // "<engine number>:<call>"
    QStringList voices{u"Amy (English – United States)"_s, u"Hans (German – Germany)"_s};
    std::atomic<int> starts{0};
    std::atomic<bool> holdStart{false}; // starts wait for startGate
    QSemaphore startGate;
    std::atomic<bool> failStart{false};
    std::atomic<int> hangingEngine{0}; // its speak waits for speakGate
    QSemaphore speakGate;
    std::atomic<bool> speechEnds{true};
};

class ScriptedBackend : public SpeechBackend
{
public:
    ScriptedBackend(std::shared_ptr<Script> script, int number)
        : m_script(std::move(script)), m_number(number), m_voices(m_script->currentVoices())
    { }

    QString name() const override { return u"scripted"_s; }
    QStringList voices() override { return m_voices; }
    void speak(const QString &text, const VoiceSettings &settings) override
    {
        log(u"speak(%1,%2,%3,%4)"_s.arg(text).arg(settings.position).arg(settings.volume).arg(settings.rate));
        if (m_script->hangingEngine == m_number)
            m_script->speakGate.acquire();
        report(Progress::Began);
        if (m_script->speechEnds)
            report(Progress::Ended);
    }
    void stop() override { log(u"stop"_s); }
    void setVolume(int volume) override { log(u"volume(%1)"_s.arg(volume)); }
    void setRate(int rate) override { log(u"rate(%1)"_s.arg(rate)); }

private:
    void log(const QString &call) { m_script->add(QString::number(m_number) + u':' + call); }

    std::shared_ptr<Script> m_script;
    int m_number;
    QStringList m_voices;
};

SpeechBackendFactory scripted(const std::shared_ptr<Script> &script)
{
    return [script]() -> std::unique_ptr<SpeechBackend> {
        const int number = ++script->starts;
        if (script->holdStart)
            script->startGate.acquire();
        if (script->failStart)
            throw Failure(u"No speech engine works (scripted: offers no voices)."_s);
        return std::make_unique<ScriptedBackend>(script, number);
    };
}

// Limits of zero make a wait for an answer end on the next turn of the
// event loop, so that a missing answer shows without waiting in real time.
SpeechLimits noPatience()
{
    SpeechLimits limits;
    limits.startMs = 0;
    limits.answerMs = 0;
    limits.speechBeginMs = 0;
    return limits;
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

const QString notResponding = u"The speech engine is not responding"_s;

} // namespace

class tst_BackgroundSpeech : public QObject
{
    Q_OBJECT

private slots:
    void wordAskedBeforeTheEngineIsReadyIsSpokenOnceItIs();
    void engineThatFailsToStart();
    void engineThatNeverAnswers_data();
    void engineThatNeverAnswers();
    void closedWhileStarting();
    void refreshWhileSpeaking();
    void waitsShowBusy();
    void programEndingDuringAWait();
};

void tst_BackgroundSpeech::wordAskedBeforeTheEngineIsReadyIsSpokenOnceItIs()
{
    auto script = std::make_shared<Script>();
    script->holdStart = true;
    BackgroundSpeechEngine engine(scripted(script));

    // Nothing here waits for the start.
    auto first = engine.createVoice();
    first->setVolume(80);
    first->speak(u"cat"_s);
    auto second = engine.createVoice();
    first.reset();
    second->setRate(-4);
    second->speak(u"dog"_s);
    QVERIFY(script->calls().isEmpty());

    script->startGate.release();
    // The later word silences the earlier one, both spoken in order.
    QTRY_COMPARE(script->calls(), (QStringList{u"1:speak(cat,0,80,0)"_s, u"1:stop"_s, u"1:speak(dog,0,100,-4)"_s}));
    QCOMPARE(script->starts.load(), 1);
}

void tst_BackgroundSpeech::engineThatFailsToStart()
{
    auto script = std::make_shared<Script>();
    script->failStart = true;
    script->holdStart = true;
    BackgroundSpeechEngine engine(scripted(script));
    QObject context;
    int told = 0;
    engine.whenStarted(&context, [&] { ++told; });
    // Made while the engine starts; its failure shows when it has ended.
    auto early = engine.createVoice();

    script->startGate.release();
    QTRY_COMPARE(told, 1);
    const QString failed = u"No speech engine works (scripted: offers no voices)."_s;
    QCOMPARE(failureOf([&] { early->voices(); }), failed);
    // Every later request tries a fresh engine, and reports its failure.
    script->holdStart = false;
    QCOMPARE(failureOf([&] { engine.createVoice(); }), failed);
    QCOMPARE(script->starts.load(), 2);
    script->failStart = false;
    auto voice = engine.createVoice();
    voice->speak(u"cat"_s);
    QTRY_COMPARE(script->calls(), QStringList{u"3:speak(cat,0,100,0)"_s});
    QCOMPARE(told, 1);
}

enum class Hang { Start, Speak, SpeakAndWait };

void tst_BackgroundSpeech::engineThatNeverAnswers_data()
{
    QTest::addColumn<Hang>("hang");
    QTest::addRow("start never ends: the voice list") << Hang::Start;
    QTest::addRow("a word never handed over: the next word") << Hang::Speak;
    QTest::addRow("test sentence never handed over") << Hang::SpeakAndWait;
}

void tst_BackgroundSpeech::engineThatNeverAnswers()
{
    QFETCH(Hang, hang);
    auto script = std::make_shared<Script>();
    script->holdStart = hang == Hang::Start;
    script->hangingEngine = 1;
    BackgroundSpeechEngine engine(scripted(script));
    // Engines are numbered as their threads reach the script.
    QTRY_COMPARE(script->starts.load(), 1);
    if (hang != Hang::Start)
        engine.createVoice()->voices();
    engine.setLimits(noPatience());

    QString reported;
    switch (hang) {
    case Hang::Start:
        reported = failureOf([&] { engine.createVoice()->voices(); });
        break;
    case Hang::Speak: {
        auto voice = engine.createVoice();
        voice->speak(u"cat"_s);
        reported = failureOf([&] { engine.createVoice(); });
        break;
    }
    case Hang::SpeakAndWait: {
        auto voice = engine.createVoice();
        reported = failureOf([&] { voice->speakAndWait(u"This is the speed of speech."_s); });
        break;
    }
    }
    QCOMPARE(reported, notResponding);

    // The next request starts a fresh engine, which speaks.
    script->holdStart = false;
    engine.setLimits({});
    auto voice = engine.createVoice();
    voice->speak(u"dog"_s);
    QTRY_VERIFY(script->calls().contains(u"2:speak(dog,0,100,0)"_s));
    QCOMPARE(script->starts.load(), 2);

    // The stuck engine, once it returns, speaks nothing more.
    script->startGate.release();
    script->speakGate.release();
    QTRY_COMPARE(BackgroundSpeechEngine::threadsRunning(), 1);
    for (const QString &call : script->calls())
        QVERIFY2(!call.startsWith(u"1:speak(dog"_s), qPrintable(call));
}

void tst_BackgroundSpeech::closedWhileStarting()
{
    auto script = std::make_shared<Script>();
    script->holdStart = true;
    QObject context;
    bool told = false;
    {
        SpeechLimits limits;
        limits.exitMs = 0;
        BackgroundSpeechEngine engine(scripted(script), limits);
        engine.whenStarted(&context, [&] { told = true; });
        engine.createVoice()->speak(u"cat"_s);
    }
    // Gone at once, its thread left to end by itself.
    QCOMPARE(BackgroundSpeechEngine::threadsRunning(), 1);

    script->startGate.release();
    QTRY_COMPARE(BackgroundSpeechEngine::threadsRunning(), 0);
    QCOMPARE(script->calls(), QStringList{u"1:stop"_s});
    QVERIFY(!told);
}

void tst_BackgroundSpeech::refreshWhileSpeaking()
{
    auto script = std::make_shared<Script>();
    script->speechEnds = false;
    BackgroundSpeechEngine engine(scripted(script));
    const auto catalogue = engine.createVoice();
    const QStringList before = catalogue->voices();
    auto speaking = engine.createVoice();
    speaking->speak(u"cat"_s);
    QTRY_VERIFY(engine.speaking());

    {
        const QMutexLocker lock(&script->mutex);
        script->voices.append(u"Zoe (French – France)"_s);
    }
    const QStringList after = engine.voicesAnew();

    QCOMPARE(after, before + QStringList{u"Zoe (French – France)"_s});
    QCOMPARE(catalogue->voices(), after);
    speaking.reset();
    auto next = engine.createVoice();
    next->setVoice(2);
    next->speak(u"dog"_s);
    // The old engine is silenced and ends; the new one speaks. The two
    // engine threads log in either order.
    const QStringList expected{u"1:speak(cat,0,100,0)"_s, u"1:stop"_s, u"2:speak(dog,2,100,0)"_s};
    QTRY_COMPARE(script->calls().size(), expected.size());
    QStringList calls = script->calls();
    calls.sort();
    QCOMPARE(calls, expected);
    QTRY_COMPARE(BackgroundSpeechEngine::threadsRunning(), 1);
}

void tst_BackgroundSpeech::waitsShowBusy()
{
    auto script = std::make_shared<Script>();
    script->holdStart = true;
    QList<bool> busy;
    BackgroundSpeechEngine engine(scripted(script), {}, [&](bool waiting) {
        busy.append(waiting);
        // The start ends while the window's thread waits for it.
        if (waiting)
            script->startGate.release();
    });

    QCOMPARE(engine.createVoice()->voices(), script->voices);
    QCOMPARE(busy, (QList<bool>{true, false}));
}

void tst_BackgroundSpeech::programEndingDuringAWait()
{
    auto script = std::make_shared<Script>();
    script->holdStart = true;
    BackgroundSpeechEngine engine(scripted(script));
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
    script->startGate.release();
    QCOMPARE(engine.createVoice()->voices(), script->voices);
}

QTEST_GUILESS_MAIN(tst_BackgroundSpeech)
#include "tst_backgroundspeech.moc"
