// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Sounds made, recorded and compared by the tests that record through the
// null sink of scripts/sound-server.sh.

#include <QByteArray>
#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace SoundCheck {

inline const QString kSink = QStringLiteral("lexidrill_null");

inline qint16 sampleAt(const QByteArray &samples, qsizetype index)
{
    return qFromLittleEndian<qint16>(samples.constData() + index * 2);
}

// A rising sweep from 300 Hz to 3 kHz: no two stretches of it alike, so it
// lines up with a copy of itself at one place only.
inline QByteArray sweep(int rate, int milliseconds, double amplitude)
{
    const qsizetype count = qsizetype(rate) * milliseconds / 1000;
    const double seconds = milliseconds / 1000.0;
    QByteArray bytes(count * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double phase = 2 * M_PI * (300 * t + (3000 - 300) * t * t / (2 * seconds));
        qToLittleEndian(qint16(std::lround(amplitude * 32767 * std::sin(phase))), bytes.data() + i * 2);
    }
    return bytes;
}

inline QByteArray silence(int rate, int milliseconds)
{
    return QByteArray(qsizetype(rate) * milliseconds / 1000 * 2, '\0');
}

inline double rms(const QByteArray &samples)
{
    double sum = 0;
    const qsizetype count = samples.size() / 2;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(sampleAt(samples, i)) * sampleAt(samples, i);
    return count ? std::sqrt(sum / count) : 0;
}

// The first sample louder than the level; -1 when none is.
inline qsizetype onset(const QByteArray &samples, int level)
{
    for (qsizetype i = 0; i < samples.size() / 2; ++i) {
        if (std::abs(sampleAt(samples, i)) > level)
            return i;
    }
    return -1;
}

// How alike the heard sound is to the original where the original lines up
// best with it: the normalized cross-correlation, 1 for the same shape at any
// loudness. Lags are looked for around the two onsets.
inline double similarity(const QByteArray &heard, const QByteArray &original)
{
    const qsizetype heardStart = onset(heard, 300);
    const qsizetype originalStart = onset(original, 300);
    if (heardStart < 0 || originalStart < 0)
        return 0;
    const qsizetype length = original.size() / 2 - originalStart;
    double best = 0;
    for (qsizetype lag = -200; lag <= 200; ++lag) {
        const qsizetype from = heardStart + lag;
        if (from < 0 || from + length > heard.size() / 2)
            continue;
        double product = 0, heardEnergy = 0, originalEnergy = 0;
        for (qsizetype i = 0; i < length; ++i) {
            const double a = sampleAt(heard, from + i);
            const double b = sampleAt(original, originalStart + i);
            product += a * b;
            heardEnergy += a * a;
            originalEnergy += b * b;
        }
        if (heardEnergy > 0 && originalEnergy > 0)
            best = std::max(best, product / std::sqrt(heardEnergy * originalEnergy));
    }
    return best;
}

// A stretch of sound, in samples: [from, to).
struct Span
{
    qsizetype from = 0;
    qsizetype to = 0;
};

// The stretches of sound in the samples: runs of 10 ms blocks louder than
// the level that no quiet of `quietMs` or more divides.
inline QList<Span> soundSpans(const QByteArray &samples, int rate, int quietMs, int level = 1000)
{
    const qsizetype block = rate / 100;
    const qsizetype total = samples.size() / 2;
    QList<Span> spans;
    for (qsizetype from = 0; from + block <= total; from += block) {
        int loudest = 0;
        for (qsizetype i = from; i < from + block; ++i)
            loudest = std::max(loudest, std::abs(int(sampleAt(samples, i))));
        if (loudest <= level)
            continue;
        if (!spans.isEmpty() && from - spans.last().to < qsizetype(quietMs) * rate / 1000)
            spans.last().to = from + block;
        else
            spans.append({from, from + block});
    }
    return spans;
}

inline int peak(const QByteArray &samples)
{
    int loudest = 0;
    for (qsizetype i = 0; i < samples.size() / 2; ++i)
        loudest = std::max(loudest, std::abs(int(sampleAt(samples, i))));
    return loudest;
}

// Runs a command of the sound server's tools; its output, or a null array
// when it failed.
inline QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    const QByteArray output = process.readAllStandardOutput();
    return output.isNull() ? QByteArray("") : output;
}

// Records a source of the sound server as 16-bit mono for as long as it runs.
class SourceRecording
{
public:
    SourceRecording(QString source, int rate) : m_source(std::move(source)), m_rate(rate) { }
    ~SourceRecording()
    {
        if (m_parec.state() != QProcess::NotRunning) {
            m_parec.kill();
            m_parec.waitForFinished();
        }
    }

    // Returns once samples flow, so that nothing played afterwards is missed.
    bool start()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("--device=") + m_source, QStringLiteral("--raw"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                       QStringLiteral("--rate=%1").arg(m_rate), QStringLiteral("--latency-msec=20")});
        if (!m_parec.waitForStarted())
            return false;
        if (!QTest::qWaitFor([this] { return !samples().isEmpty(); }, 5000))
            return false;
        m_skip = m_bytes.size();
        return true;
    }

    // The samples since start() returned.
    QByteArray samples()
    {
        m_bytes += m_parec.readAllStandardOutput();
        return m_bytes.mid(m_skip);
    }
    qsizetype sampleCount() { return samples().size() / 2; }

private:
    QString m_source;
    int m_rate;
    QProcess m_parec;
    QByteArray m_bytes;
    qsizetype m_skip = 0;
};

} // namespace SoundCheck
