// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wavfile.h"
#include "core/failure.h"
#include "readonlyfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>

using namespace Qt::StringLiterals;
using Problem = WavReading::Problem;

namespace {

QByteArray le16(quint16 v)
{
    QByteArray b(2, Qt::Uninitialized);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const QByteArray &id, const QByteArray &body, qint64 claimedSize = -1)
{
    QByteArray bytes = id + le32(quint32(claimedSize >= 0 ? claimedSize : body.size())) + body;
    if (body.size() % 2)
        bytes += '\0';
    return bytes;
}

QByteArray fmtBody(quint16 encoding, quint16 channels, quint32 rate, quint16 bits, int blockAlign = -1)
{
    const quint16 align = quint16(blockAlign >= 0 ? blockAlign : channels * bits / 8);
    return le16(encoding) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

QByteArray riff(const QByteArray &chunks, qint64 claimedSize = -1)
{
    return "RIFF" + le32(quint32(claimedSize >= 0 ? claimedSize : chunks.size() + 4)) + "WAVE" + chunks;
}

QByteArray samples16(std::initializer_list<qint16> values)
{
    QByteArray bytes;
    for (const qint16 v : values)
        bytes += le16(quint16(v));
    return bytes;
}

QByteArray floats(std::initializer_list<float> values)
{
    QByteArray bytes;
    for (const float v : values) {
        QByteArray b(4, Qt::Uninitialized);
        qToLittleEndian(v, b.data());
        bytes += b;
    }
    return bytes;
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(u"sound.wav"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

} // namespace

class tst_WavFile : public QObject
{
    Q_OBJECT

private slots:
    void writtenFileReadsBack();
    void read_data();
    void read();
    void refused_data();
    void refused();
    void hugeFileRefusedWithoutReading();
    void failedSaveKeepsTheOldRecording();
};

void tst_WavFile::writtenFileReadsBack()
{
    QTemporaryDir dir;
    VoiceAudio audio;
    audio.sampleRate = 22050;
    for (int i = 0; i < 22050; ++i)
        audio.samples += le16(quint16(qint16(std::lround(20000 * std::sin(i * 0.05)))));
    const QString path = dir.filePath(u"word.wav"_s);
    writeWavFile(path, audio);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // A plain 44-byte header of 16-bit mono PCM: what every player reads.
    QCOMPARE(bytes.left(4), "RIFF");
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size() - 8));
    QCOMPARE(bytes.mid(8, 8), "WAVEfmt ");
    QCOMPARE(bytes.mid(20, 16), fmtBody(1, 1, 22050, 16));
    QCOMPARE(bytes.mid(36, 4), "data");
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 40), quint32(audio.samples.size()));

    const WavReading reading = readWavFile(path);
    QVERIFY2(reading.ok(), qPrintable(reading.text));
    QCOMPARE(reading.audio.sampleRate, 22050);
    QCOMPARE(reading.audio.samples, audio.samples);
    QCOMPARE(reading.audio.durationMs(), 1000);
}

void tst_WavFile::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QByteArray>("mono16");

    const QByteArray data16 = samples16({100, -200, 32767, -32768});
    QTest::newRow("16-bit mono is read as it is")
        << riff(chunk("fmt ", fmtBody(1, 1, 16000, 16)) + chunk("data", data16)) << 16000 << data16;
    QTest::newRow("stereo is averaged") << riff(chunk("fmt ", fmtBody(1, 2, 44100, 16))
                                                + chunk("data", samples16({1000, 3000, -500, 500})))
                                        << 44100 << samples16({2000, 0});
    QTest::newRow("8-bit samples are centred on 128")
        << riff(chunk("fmt ", fmtBody(1, 1, 8000, 8)) + chunk("data", QByteArray("\xC0\x80\x40", 3))) << 8000
        << samples16({16384, 0, -16384});
    QTest::newRow("24-bit samples keep their sign")
        << riff(chunk("fmt ", fmtBody(1, 1, 48000, 24)) + chunk("data", QByteArray("\x00\x00\x40\x00\x00\xC0", 6)))
        << 48000 << samples16({16384, -16384});
    QTest::newRow("32-bit integer samples")
        << riff(chunk("fmt ", fmtBody(1, 1, 48000, 32)) + chunk("data", le32(0x40000000) + le32(0xC0000000))) << 48000
        << samples16({16384, -16384});
    QTest::newRow("float samples, clipped, a NaN silent")
        << riff(chunk("fmt ", fmtBody(3, 1, 22050, 32)) + chunk("data", floats({0.5f, -2.0f, NAN}))) << 22050
        << samples16({16384, -32768, 0});
    QByteArray extensible = fmtBody(0xFFFE, 1, 16000, 16) + le16(22) + le16(16) + le32(4) + le16(1)
        + QByteArray("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    QTest::newRow("the extensible header with PCM inside")
        << riff(chunk("fmt ", extensible) + chunk("data", data16)) << 16000 << data16;
    QTest::newRow("other chunks before the sound, one of odd size")
        << riff(chunk("LIST", "INFOabc") + chunk("fmt ", fmtBody(1, 1, 16000, 16)) + chunk("fact", le32(4))
                + chunk("data", data16))
        << 16000 << data16;
    QTest::newRow("a RIFF size that lies is not trusted")
        << riff(chunk("fmt ", fmtBody(1, 1, 16000, 16)) + chunk("data", data16), 0xFFFFFFF0) << 16000 << data16;
    QTest::newRow("a half sample at the end is left out")
        << riff(chunk("fmt ", fmtBody(1, 1, 16000, 16)) + chunk("data", data16 + 'x')) << 16000 << data16;
}

void tst_WavFile::read()
{
    QFETCH(QByteArray, file);
    QFETCH(int, rate);
    QFETCH(QByteArray, mono16);

    QTemporaryDir dir;
    const WavReading reading = readWavFile(writeFile(dir, file));
    QVERIFY2(reading.ok(), qPrintable(reading.text));
    QCOMPARE(reading.audio.sampleRate, rate);
    QCOMPARE(reading.audio.samples, mono16);
}

void tst_WavFile::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Problem>("problem");

    const QByteArray format = chunk("fmt ", fmtBody(1, 1, 16000, 16));
    const QByteArray data = chunk("data", samples16({1, 2, 3}));
    QTest::newRow("an empty file") << QByteArray() << Problem::NotWav;
    QTest::newRow("a text file") << QByteArray("cat\tThe cat sat.\n") << Problem::NotWav;
    QTest::newRow("another RIFF file") << ("RIFF" + le32(4) + "AVI ") << Problem::NotWav;
    QTest::newRow("a header without sound") << riff(format) << Problem::Damaged;
    QTest::newRow("sound before its format") << riff(data + format) << Problem::Damaged;
    QTest::newRow("a sound chunk that claims more than the file holds")
        << riff(format + chunk("data", samples16({1, 2}), 1'000'000)) << Problem::Damaged;
    QTest::newRow("a format chunk that claims more than the file holds")
        << riff(chunk("fmt ", fmtBody(1, 1, 16000, 16), 500)) << Problem::Damaged;
    QTest::newRow("a cut-off format") << riff(chunk("fmt ", le16(1) + le16(1))) << Problem::Damaged;
    QTest::newRow("compressed sound") << riff(chunk("fmt ", fmtBody(2, 1, 16000, 4)) + data) << Problem::Damaged;
    QTest::newRow("12-bit samples") << riff(chunk("fmt ", fmtBody(1, 1, 16000, 12, 2)) + data) << Problem::Damaged;
    QTest::newRow("no channels") << riff(chunk("fmt ", fmtBody(1, 0, 16000, 16, 2)) + data) << Problem::Damaged;
    QTest::newRow("a sample rate of 0") << riff(chunk("fmt ", fmtBody(1, 1, 0, 16)) + data) << Problem::Damaged;
    QTest::newRow("a frame size that does not add up")
        << riff(chunk("fmt ", fmtBody(1, 1, 16000, 16, 4)) + data) << Problem::Damaged;
    QTest::newRow("no samples") << riff(format + chunk("data", {})) << Problem::Damaged;
    QByteArray manyChunks;
    for (int i = 0; i < 1000; ++i)
        manyChunks += chunk("junk", {});
    QTest::newRow("endless chunks before the sound") << riff(format + manyChunks + data) << Problem::Damaged;
    QTest::newRow("just over a minute") << riff(format + chunk("data", QByteArray(16000 * 2 * 60 + 2, '\0')))
                                        << Problem::TooLong;
}

void tst_WavFile::refused()
{
    QFETCH(QByteArray, file);
    QFETCH(Problem, problem);

    QTemporaryDir dir;
    const WavReading reading = readWavFile(writeFile(dir, file));
    QCOMPARE(reading.problem, problem);
    QVERIFY(!reading.text.isEmpty());
    QVERIFY(reading.audio.isEmpty());
}

void tst_WavFile::hugeFileRefusedWithoutReading()
{
    QTemporaryDir dir;
    const QByteArray header = riff(chunk("fmt ", fmtBody(1, 1, 16000, 16)) + chunk("data", {}, 0x7FFFFF00));
    const QString path = writeFile(dir, header);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(qint64(2) << 30)); // sparse: costs no disk
    file.close();

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(readWavFile(path).problem, Problem::TooLong);
    QVERIFY2(timer.elapsed() < 1000, "the refusal read the file");

    QCOMPARE(readWavFile(dir.filePath(u"absent.wav"_s)).problem, Problem::Missing);
    QCOMPARE(readWavFile(dir.path()).problem, Problem::Unreadable);
}

void tst_WavFile::failedSaveKeepsTheOldRecording()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"recordings"_s);
    QVERIFY(QDir().mkdir(folder));
    const QString path = folder + u"/cat.word.wav"_s;
    VoiceAudio old;
    old.sampleRate = 16000;
    old.samples = samples16({1, 2, 3});
    writeWavFile(path, old);

    const ReadOnlyFile lock(folder);
    if (!lock.holds())
        QSKIP("This user can write any folder here");
    VoiceAudio take;
    take.sampleRate = 16000;
    take.samples = samples16({4, 5, 6, 7});
    QVERIFY_THROWS_EXCEPTION(Failure, writeWavFile(path, take));
    QCOMPARE(readWavFile(path).audio.samples, old.samples);
}

QTEST_GUILESS_MAIN(tst_WavFile)
#include "tst_wavfile.moc"
