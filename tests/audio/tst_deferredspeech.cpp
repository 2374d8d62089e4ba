// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/deferredspeechengine.h"
#include "fakes.h"

#include <QTest>
#include <QWidget>
#include <optional>

using namespace Qt::StringLiterals;

class tst_DeferredSpeech : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void waitersRunWhenTheRealStartEnds();
    void waiterWhoseContextIsGoneIsDropped();
    void voiceMadeBeforeTheStartSpeaksThroughTheRealEngine();
    void askingForVoicesAnewStartsAtOnce();
    void startsAfterTheFirstPaint_data();
    void startsAfterTheFirstPaint();

private:
    // The real engines made, in order; each starts out still starting.
    QList<FakeSpeechEngine *> m_made;
    DeferredSpeechEngine::Factory factory();
};

void tst_DeferredSpeech::init()
{
    m_made.clear();
}

DeferredSpeechEngine::Factory tst_DeferredSpeech::factory()
{
    return [this] {
        auto engine = std::make_unique<FakeSpeechEngine>();
        engine->starting = true;
        m_made.append(engine.get());
        return std::unique_ptr<SpeechEngine>(std::move(engine));
    };
}

void tst_DeferredSpeech::waitersRunWhenTheRealStartEnds()
{
    DeferredSpeechEngine speech(factory());
    QObject context;
    QStringList ran;
    speech.whenStarted(&context, [&] { ran.append(u"first"_s); });
    speech.whenStarted(&context, [&] { ran.append(u"second"_s); });
    QVERIFY(m_made.isEmpty());

    speech.start();
    speech.start();
    QCOMPARE(m_made.size(), 1);
    QVERIFY(ran.isEmpty());
    m_made.first()->finishStart(true);
    QCOMPARE(ran, QStringList({u"first"_s, u"second"_s}));
    // Once made, the real engine answers for itself.
    speech.whenStarted(&context, [&] { ran.append(u"third"_s); });
    QCOMPARE(ran.last(), u"third"_s);
}

void tst_DeferredSpeech::waiterWhoseContextIsGoneIsDropped()
{
    DeferredSpeechEngine speech(factory());
    bool ran = false;
    {
        QObject context;
        speech.whenStarted(&context, [&] { ran = true; });
    }
    speech.start();
    m_made.first()->finishStart(true);
    QVERIFY(!ran);
}

void tst_DeferredSpeech::voiceMadeBeforeTheStartSpeaksThroughTheRealEngine()
{
    DeferredSpeechEngine speech(factory());
    const auto voice = speech.createVoice();
    QVERIFY(m_made.isEmpty());

    voice->setVolume(30);
    QCOMPARE(m_made.size(), 1);
    voice->speak(u"cat"_s);
    QCOMPARE(m_made.first()->log.calls, QStringList({u"1:volume(30)"_s, u"1:speak(cat)"_s}));
    QCOMPARE(voice->voices(), m_made.first()->voiceNames);
    // Voices made later are the real engine's own.
    speech.createVoice()->setRate(2);
    QVERIFY(m_made.first()->log.calls.contains(u"2:rate(2)"_s));
}

void tst_DeferredSpeech::askingForVoicesAnewStartsAtOnce()
{
    DeferredSpeechEngine speech(factory());
    QCOMPARE(speech.voicesAnew(), FakeSpeechEngine().voiceNames);
    QCOMPARE(m_made.size(), 1);
    QCOMPARE(m_made.first()->listings, 1);
}

void tst_DeferredSpeech::startsAfterTheFirstPaint_data()
{
    QTest::addColumn<bool>("shown");
    QTest::addRow("the window is painted") << true;
    QTest::addRow("the window is not shown") << false;
}

namespace {

class PaintSeen : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

} // namespace

void tst_DeferredSpeech::startsAfterTheFirstPaint()
{
    QFETCH(bool, shown);
    QWidget window;
    window.resize(200, 100);
    PaintSeen seen;
    window.installEventFilter(&seen);
    std::optional<bool> paintedWhenMade;
    const auto made = factory();
    DeferredSpeechEngine speech([&] {
        paintedWhenMade = seen.painted;
        return made();
    });
    // Without a paint, the latest start comes after this long.
    startAfterFirstPaint(speech, window, shown ? 600000 : 100);
    if (shown)
        window.show();
    QTRY_VERIFY(speech.started());
    QCOMPARE(paintedWhenMade, std::optional(shown));
    QCOMPARE(m_made.size(), 1);
}

QTEST_MAIN(tst_DeferredSpeech)
#include "tst_deferredspeech.moc"
