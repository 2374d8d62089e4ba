// SPDX-License-Identifier: GPL-3.0-or-later
// Recording and playing a voice through the real sound server: the null sink
// of scripts/sound-server.sh, whose monitor is remapped as a microphone of
// this test's own while a known sound plays into the sink.
#include "audio/audiopreferences.h"
#include "audio/recordedparts.h"
#include "audio/recordingplayer.h"
#include "audio/voicerecorder.h"
#include "soundcheck.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace SoundCheck;

namespace {

constexpr int kRate = kRecordingSampleRate;
constexpr int kTimeoutMs = 10000;

class Preferences : public AudioPreferences
{
public:
    int volume() const override { return level; }
    int rate() const override { return -10; }
    int voicePosition() const override { return 0; }
    bool playSounds() const override { return true; }
    bool saySentence() const override { return true; }

    int level = 100;
};

} // namespace

class tst_RealRecording : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void recordsWhatIsPlayed();
    void unpluggedMicrophone();
    void unknownMicrophone();
    void playsAtTheVolume_data();
    void playsAtTheVolume();
    void refusedFileIsNotPlayed();
    void recordedPartIsPlayed();
    void unplayablePartIsLeftToTheVoice_data();
    void unplayablePartIsLeftToTheVoice();

private:
    // Plays the file into the null sink and waits until it has been played.
    void playIntoSink(const QString &path);

    QTemporaryDir m_dir;
    QString m_sweepFile;
    QByteArray m_sweep;
    QString m_microphone;
    QByteArray m_microphoneModule;
    QByteArray m_savedDefault;
};

void tst_RealRecording::initTestCase()
{
    const QByteArray sinks = run(u"pactl"_s, {u"list"_s, u"short"_s, u"sinks"_s});
    if (!sinks.contains(kSink.toUtf8()))
        QFAIL("No sound server with the lexidrill_null sink: source scripts/sound-server.sh first");
    m_sweep = sweep(kRate, 1000, 0.5);
    m_sweepFile = m_dir.filePath(u"sweep.wav"_s);
    writeWavFile(m_sweepFile, VoiceAudio{kRate, silence(kRate, 300) + m_sweep + silence(kRate, 300)});
}

void tst_RealRecording::init()
{
    // A new name each time: the device list must not mistake it for the last.
    static int made = 0;
    m_microphone = u"lexidrill_test_microphone_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++made);
    m_microphoneModule = run(u"pactl"_s,
                             {u"load-module"_s, u"module-remap-source"_s, u"master="_s + kSink + u".monitor"_s,
                              u"source_name="_s + m_microphone})
                             .trimmed();
    QVERIFY2(!m_microphoneModule.isEmpty(), "The monitor could not be remapped as a microphone");
    // The monitor, the server's default input, is no microphone to Qt.
    m_savedDefault = run(u"pactl"_s, {u"get-default-source"_s}).trimmed();
    run(u"pactl"_s, {u"set-default-source"_s, m_microphone});
    const auto listed = [this] {
        const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
        return std::any_of(inputs.begin(), inputs.end(),
                           [this](const QAudioDevice &d) { return d.id() == m_microphone.toUtf8(); })
            && QMediaDevices::defaultAudioInput().id() == m_microphone.toUtf8();
    };
    QTRY_VERIFY_WITH_TIMEOUT(listed(), kTimeoutMs);
}

void tst_RealRecording::cleanup()
{
    if (!m_savedDefault.isEmpty())
        run(u"pactl"_s, {u"set-default-source"_s, QString::fromUtf8(m_savedDefault)});
    if (!m_microphoneModule.isEmpty())
        run(u"pactl"_s, {u"unload-module"_s, QString::fromLatin1(m_microphoneModule)});
    m_microphoneModule.clear();
    m_savedDefault.clear();
}

void tst_RealRecording::playIntoSink(const QString &path)
{
    QProcess paplay;
    paplay.start(u"paplay"_s, {u"--device="_s + kSink, path});
    QVERIFY(paplay.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(paplay.state() == QProcess::NotRunning, kTimeoutMs);
    QCOMPARE(paplay.exitCode(), 0);
}

void tst_RealRecording::recordsWhatIsPlayed()
{
    VoiceRecorder recorder(createAudioCapture(m_microphone.toUtf8()));
    QSignalSpy levels(&recorder, &VoiceRecorder::levelChanged);
    QSignalSpy finished(&recorder, &VoiceRecorder::finished);
    QSignalSpy failed(&recorder, &VoiceRecorder::failed);
    QSignalSpy elapsed(&recorder, &VoiceRecorder::elapsedChanged);

    QVERIFY(recorder.start());
    QTRY_VERIFY_WITH_TIMEOUT(!elapsed.isEmpty() && elapsed.last()[0].toInt() > 200, kTimeoutMs);
    playIntoSink(m_sweepFile);
    const int played = elapsed.last()[0].toInt();
    QTRY_VERIFY_WITH_TIMEOUT(elapsed.last()[0].toInt() > played + 500, kTimeoutMs);
    recorder.stop();

    QCOMPARE(failed.count(), 0);
    QCOMPARE(finished.count(), 1);
    double loudest = 0;
    for (const auto &level : levels)
        loudest = std::max(loudest, level[0].toDouble());
    QVERIFY2(loudest > 0.85, qPrintable(QString::number(loudest)));

    const QString saved = m_dir.filePath(u"cat.word.wav"_s);
    writeWavFile(saved, recorder.take());
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(44);
    QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 20), 1); // PCM
    QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 22), 1); // mono
    QVERIFY(qFromLittleEndian<quint32>(header.constData() + 24) >= 16000);
    QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 34), 16);

    const WavReading reading = readWavFile(saved);
    QVERIFY2(reading.ok(), qPrintable(reading.text));
    // The sweep and a little silence either side: the rest was trimmed.
    const qint64 expectedMs = kTrimLeadMs + 1000 + kTrimTailMs;
    QVERIFY2(std::abs(reading.audio.durationMs() - expectedMs) < 60,
             qPrintable(u"%1 ms"_s.arg(reading.audio.durationMs())));
    const double alike = similarity(reading.audio.samples, m_sweep);
    QVERIFY2(alike > 0.9, qPrintable(u"similarity %1"_s.arg(alike)));
    const double loudness = rms(reading.audio.samples.mid(kRate * kTrimLeadMs / 1000 * 2, m_sweep.size()));
    QVERIFY2(std::abs(loudness / rms(m_sweep) - 1) < 0.15, qPrintable(QString::number(loudness)));
}

void tst_RealRecording::unpluggedMicrophone()
{
    VoiceRecorder recorder(createAudioCapture(m_microphone.toUtf8()));
    QSignalSpy finished(&recorder, &VoiceRecorder::finished);
    QSignalSpy failed(&recorder, &VoiceRecorder::failed);
    QSignalSpy elapsed(&recorder, &VoiceRecorder::elapsedChanged);

    QVERIFY(recorder.start());
    QTRY_VERIFY2_WITH_TIMEOUT(!elapsed.isEmpty() && elapsed.last()[0].toInt() > 200,
                              qPrintable(failed.isEmpty() ? QString() : failed[0][0].toString()), kTimeoutMs);
    cleanup();

    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kTimeoutMs);
    QCOMPARE(failed[0][0].toString(), u"The microphone was disconnected. The recording was not kept."_s);
    QVERIFY(!recorder.isRecording());
    recorder.stop();
    QCOMPARE(finished.count(), 0);
    QCOMPARE(failed.count(), 1);
    QVERIFY(recorder.take().isEmpty());
}

void tst_RealRecording::unknownMicrophone()
{
    VoiceRecorder recorder(createAudioCapture("no such microphone"));
    QSignalSpy failed(&recorder, &VoiceRecorder::failed);
    QVERIFY(!recorder.start());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed[0][0].toString(), u"No microphone was found."_s);
    QCOMPARE(recordingUnavailableReason(), QString());
    cleanup();
    QTRY_COMPARE_WITH_TIMEOUT(recordingUnavailableReason(),
                              u"No microphone was found, so words and sentences cannot be recorded."_s, kTimeoutMs);
}

void tst_RealRecording::playsAtTheVolume_data()
{
    QTest::addColumn<int>("volume");
    QTest::newRow("the loudest") << 100;
    QTest::newRow("half") << 50;
}

void tst_RealRecording::playsAtTheVolume()
{
    QFETCH(int, volume);

    SourceRecording sink(kSink + u".monitor"_s, kRate);
    QVERIFY(sink.start());
    RecordingPlayer player;
    QSignalSpy started(&player, &RecordingPlayer::started);
    QSignalSpy finished(&player, &RecordingPlayer::finished);
    QVERIFY2(player.playFile(m_sweepFile, volume), qPrintable(player.lastError()));
    QVERIFY(player.isPlaying());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kTimeoutMs);
    QCOMPARE(started.count(), 1);
    QVERIFY(!player.isPlaying());
    const qsizetype end = sink.sampleCount();
    QTRY_VERIFY_WITH_TIMEOUT(sink.sampleCount() > end + kRate / 2, kTimeoutMs);

    const QByteArray heard = sink.samples();
    const double alike = similarity(heard, m_sweep);
    QVERIFY2(alike > 0.9, qPrintable(u"similarity %1"_s.arg(alike)));
    const qsizetype from = onset(heard, 300);
    const double ratio = rms(heard.mid(from * 2, m_sweep.size())) / rms(m_sweep);
    QVERIFY2(std::abs(ratio - volume / 100.0) < 0.1, qPrintable(u"loudness ratio %1"_s.arg(ratio)));
}

void tst_RealRecording::refusedFileIsNotPlayed()
{
    const QString text = m_dir.filePath(u"list.wav"_s);
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("cat\tThe cat sat.\n");
    file.close();

    RecordingPlayer player;
    QSignalSpy started(&player, &RecordingPlayer::started);
    QVERIFY(!player.playFile(text, 100));
    QCOMPARE(player.lastError(), u"The recording is not a WAV file."_s);
    QVERIFY(!player.isPlaying());
    QVERIFY(!player.playFile(m_dir.filePath(u"absent.wav"_s), 100));
    QCOMPARE(player.lastError(), u"The recording is missing."_s);
    QCOMPARE(started.count(), 0);
}

void tst_RealRecording::recordedPartIsPlayed()
{
    SourceRecording sink(kSink + u".monitor"_s, kRate);
    QVERIFY(sink.start());
    Preferences preferences;
    preferences.level = 80;
    RecordedParts parts(preferences);
    parts.setRecordings(m_dir.filePath(u"absent.wav"_s), m_sweepFile);
    int heard = 0;
    QVERIFY(!parts.play(false, [&] { ++heard; }));
    QVERIFY(parts.play(true, [&] { ++heard; }));
    QTRY_COMPARE_WITH_TIMEOUT(heard, 1, kTimeoutMs);
    const qsizetype end = sink.sampleCount();
    QTRY_VERIFY_WITH_TIMEOUT(sink.sampleCount() > end + kRate / 2, kTimeoutMs);
    const QByteArray played = sink.samples();
    QVERIFY2(similarity(played, m_sweep) > 0.9, "the sentence's recording was not heard");
    // The volume of the audio options; the rate plays no part.
    const double ratio = rms(played.mid(onset(played, 300) * 2, m_sweep.size())) / rms(m_sweep);
    QVERIFY2(std::abs(ratio - 0.8) < 0.1, qPrintable(u"loudness ratio %1"_s.arg(ratio)));

    // Stopped at once, it tells nothing more.
    QVERIFY(parts.play(true, [&] { ++heard; }));
    parts.stop();
    const qsizetype stopped = sink.sampleCount();
    QTRY_VERIFY_WITH_TIMEOUT(sink.sampleCount() > stopped + kRate * 2, kTimeoutMs);
    QCOMPARE(heard, 1);
}

void tst_RealRecording::unplayablePartIsLeftToTheVoice_data()
{
    QTest::addColumn<QByteArray>("contents");

    QTest::newRow("a text file") << QByteArray("cat\tThe cat sat.\n");
    QTest::newRow("an empty file") << QByteArray();
    QTest::newRow("a cut-off recording") << wavFileBytes(VoiceAudio{kRate, m_sweep}).left(1000);
    QTest::newRow("longer than a minute") << wavFileBytes(VoiceAudio{8000, silence(8000, 61'000)});
    QTest::newRow("silence alone") << wavFileBytes(VoiceAudio{kRate, silence(kRate, 2000)});
}

void tst_RealRecording::unplayablePartIsLeftToTheVoice()
{
    QFETCH(QByteArray, contents);

    const QString path = m_dir.filePath(u"bad.word.wav"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
    file.close();

    Preferences preferences;
    RecordedParts parts(preferences);
    parts.setRecordings(path, QString());
    bool heard = false;
    QVERIFY(!parts.play(false, [&] { heard = true; }));
    QVERIFY(!parts.play(true, [&] { heard = true; }));
    QCoreApplication::processEvents();
    QVERIFY(!heard);
}

QTEST_GUILESS_MAIN(tst_RealRecording)
#include "tst_realrecording.moc"
