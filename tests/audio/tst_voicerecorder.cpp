// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder's take, level and limits, fed by a microphone of the test's
// own; tst_realrecording records through the real sound server.
#include "audio/voicerecorder.h"

#include <QSignalSpy>
#include <QTest>
#include <QtEndian>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRate = 16000;

// Samples of a tone at an amplitude (0..32767), or silence.
QByteArray tone(int milliseconds, double amplitude, double hz = 440)
{
    const int count = kRate * milliseconds / 1000;
    QByteArray bytes(count * 2, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        qToLittleEndian(qint16(std::lround(amplitude * std::sin(2 * M_PI * hz * i / kRate))), bytes.data() + i * 2);
    return bytes;
}

// Steady hiss of a room: a fixed pseudo-random sequence.
QByteArray hiss(int milliseconds, int amplitude)
{
    const int count = kRate * milliseconds / 1000;
    QByteArray bytes(count * 2, Qt::Uninitialized);
    quint32 state = 12345;
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        qToLittleEndian(qint16(int(state >> 16) % (2 * amplitude + 1) - amplitude), bytes.data() + i * 2);
    }
    return bytes;
}

VoiceAudio audioOf(const QByteArray &samples)
{
    return VoiceAudio{kRate, samples};
}

// A microphone the test speaks into.
class ScriptedCapture : public AudioCapture
{
public:
    int sampleRate() const override { return kRate; }
    QString start(Callbacks callbacks) override
    {
        if (!refusal.isEmpty())
            return refusal;
        m_callbacks = std::move(callbacks);
        running = true;
        return {};
    }
    void stop() override
    {
        m_callbacks = {};
        running = false;
    }
    // Hands the samples over in blocks of 50 ms, as a device does.
    void speak(const QByteArray &samples)
    {
        const qsizetype block = kRate / 20 * 2;
        for (qsizetype at = 0; at < samples.size() && m_callbacks.samples; at += block)
            m_callbacks.samples(samples.mid(at, block));
    }
    void unplug()
    {
        if (auto lost = std::exchange(m_callbacks.lost, {}))
            lost(u"The microphone was disconnected."_s);
    }

    QString refusal;
    bool running = false;

private:
    Callbacks m_callbacks;
};

} // namespace

class tst_VoiceRecorder : public QObject
{
    Q_OBJECT

private slots:
    void trimmed_data();
    void trimmed();
    void takeEndsAtStop();
    void takeEndsAtTheLimit();
    void unpluggedTakeIsDropped();
    void refusedStart();
    void silentTake();
};

void tst_VoiceRecorder::trimmed_data()
{
    QTest::addColumn<QByteArray>("take");
    // Where the kept part starts and ends in the take, in ms; -1 for none.
    QTest::addColumn<int>("fromMs");
    QTest::addColumn<int>("toMs");

    QTest::newRow("silence around a word is cut, a little kept")
        << tone(1000, 0) + tone(500, 10000) + tone(1000, 0) << 1000 - kTrimLeadMs << 1500 + kTrimTailMs;
    QTest::newRow("a room's hiss counts as silence")
        << hiss(800, 300) + tone(400, 8000) + hiss(800, 300) << 800 - kTrimLeadMs << 1200 + kTrimTailMs;
    QTest::newRow("a soft ending 26 dB down is kept")
        << tone(600, 0) + tone(300, 12000) + tone(200, 600) + tone(600, 0) << 600 - kTrimLeadMs << 1100 + kTrimTailMs;
    QTest::newRow("a voice from the first sample keeps it") << tone(700, 9000) + tone(900, 0) << 0 << 700 + kTrimTailMs;
    QTest::newRow("a voice to the last sample keeps it") << tone(900, 0) + tone(700, 9000) << 900 - kTrimLeadMs << 1600;
    QTest::newRow("a voice filling the take loses none of its soft parts")
        << tone(300, 1500) + tone(600, 20000) + tone(300, 1500) << 0 << 1200;
    QTest::newRow("only silence leaves nothing") << tone(2000, 0) << -1 << -1;
    QTest::newRow("only a faint hiss leaves nothing") << hiss(2000, 60) << -1 << -1;
    QTest::newRow("a take shorter than a frame leaves nothing") << tone(5, 20000) << -1 << -1;
}

void tst_VoiceRecorder::trimmed()
{
    QFETCH(QByteArray, take);
    QFETCH(int, fromMs);
    QFETCH(int, toMs);

    const VoiceAudio result = trimmedTake(audioOf(take));
    if (fromMs < 0) {
        QVERIFY(result.isEmpty());
        return;
    }
    const qsizetype from = qsizetype(kRate) * fromMs / 1000 * 2;
    const qsizetype length = qsizetype(kRate) * (toMs - fromMs) / 1000 * 2;
    // Cut at 10 ms frames: within one frame of the expected place.
    const qsizetype frame = kRate / 100 * 2;
    QVERIFY2(std::abs(result.samples.size() - length) <= 2 * frame,
             qPrintable(u"lasts %1 ms"_s.arg(result.durationMs())));
    bool found = false;
    for (qsizetype start = std::max<qsizetype>(0, from - frame); start <= from + frame && !found; start += 2)
        found = take.mid(start, result.samples.size()) == result.samples;
    QVERIFY2(found, "the kept part is not the take's from the expected place");
    QCOMPARE(result.sampleRate, kRate);
}

void tst_VoiceRecorder::takeEndsAtStop()
{
    auto capture = std::make_unique<ScriptedCapture>();
    ScriptedCapture &microphone = *capture;
    VoiceRecorder recorder(std::move(capture));
    QSignalSpy levels(&recorder, &VoiceRecorder::levelChanged);
    QSignalSpy finished(&recorder, &VoiceRecorder::finished);
    QSignalSpy failed(&recorder, &VoiceRecorder::failed);

    QVERIFY(recorder.start());
    QVERIFY(recorder.isRecording());
    microphone.speak(tone(500, 0) + tone(400, 16384) + tone(500, 0));
    recorder.stop();

    QCOMPARE(finished.count(), 1);
    QCOMPARE(failed.count(), 0);
    QVERIFY(!recorder.isRecording());
    QVERIFY(!microphone.running);
    QCOMPARE(recorder.take().durationMs(), kTrimLeadMs + 400 + kTrimTailMs);
    // The meter: -6 dBFS shows at 0.9 of its scale; silence at 0.
    double loudest = 0;
    for (const auto &level : levels)
        loudest = std::max(loudest, level[0].toDouble());
    QVERIFY2(std::abs(loudest - 0.9) < 0.01, qPrintable(QString::number(loudest)));
    QCOMPARE(levels.last()[0].toDouble(), 0.0);

    // A new take drops the last one.
    QVERIFY(recorder.start());
    QVERIFY(recorder.take().isEmpty());
}

void tst_VoiceRecorder::takeEndsAtTheLimit()
{
    auto capture = std::make_unique<ScriptedCapture>();
    ScriptedCapture &microphone = *capture;
    VoiceRecorder recorder(std::move(capture));
    QSignalSpy finished(&recorder, &VoiceRecorder::finished);
    QSignalSpy elapsed(&recorder, &VoiceRecorder::elapsedChanged);

    QVERIFY(recorder.start());
    microphone.speak(tone(VoiceRecorder::kLongestTakeMs + 1000, 12000));

    QCOMPARE(finished.count(), 1);
    QVERIFY(!microphone.running);
    QCOMPARE(recorder.take().durationMs(), VoiceRecorder::kLongestTakeMs);
    QCOMPARE(elapsed.last()[0].toInt(), VoiceRecorder::kLongestTakeMs);
}

void tst_VoiceRecorder::unpluggedTakeIsDropped()
{
    auto capture = std::make_unique<ScriptedCapture>();
    ScriptedCapture &microphone = *capture;
    VoiceRecorder recorder(std::move(capture));
    QSignalSpy finished(&recorder, &VoiceRecorder::finished);
    QSignalSpy failed(&recorder, &VoiceRecorder::failed);

    QVERIFY(recorder.start());
    microphone.speak(tone(600, 12000));
    microphone.unplug();
    recorder.stop();

    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed[0][0].toString(), u"The microphone was disconnected. The recording was not kept."_s);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!recorder.isRecording());
    QVERIFY(recorder.take().isEmpty());
}

void tst_VoiceRecorder::refusedStart()
{
    auto capture = std::make_unique<ScriptedCapture>();
    capture->refusal = u"No microphone was found."_s;
    VoiceRecorder recorder(std::move(capture));
    QSignalSpy failed(&recorder, &VoiceRecorder::failed);

    QVERIFY(!recorder.start());
    QVERIFY(!recorder.isRecording());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed[0][0].toString(), u"No microphone was found."_s);
}

void tst_VoiceRecorder::silentTake()
{
    auto capture = std::make_unique<ScriptedCapture>();
    ScriptedCapture &microphone = *capture;
    VoiceRecorder recorder(std::move(capture));
    QSignalSpy finished(&recorder, &VoiceRecorder::finished);
    QSignalSpy failed(&recorder, &VoiceRecorder::failed);

    QVERIFY(recorder.start());
    microphone.speak(hiss(1500, 20));
    recorder.stop();

    QCOMPARE(finished.count(), 0);
    QCOMPARE(failed.count(), 1);
    QVERIFY(recorder.take().isEmpty());
}

QTEST_GUILESS_MAIN(tst_VoiceRecorder)
#include "tst_voicerecorder.moc"
