// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QtEndian>
#include <cstdlib>
#include <functional>
#include <utility>

// Runs the event loop until `done` holds; false after ten seconds.
inline bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 10000)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Twenty words of the school list that begin in as many ways (soft, voiced,
// with a burst, with a vowel), each timed in turn.
inline const QStringList kSchoolWords = {
    QStringLiteral("vest"),    QStringLiteral("rice"),    QStringLiteral("yet"),       QStringLiteral("sheep"),
    QStringLiteral("pill"),    QStringLiteral("device"),  QStringLiteral("hut"),       QStringLiteral("fan"),
    QStringLiteral("quite"),   QStringLiteral("than"),    QStringLiteral("berry"),     QStringLiteral("cap"),
    QStringLiteral("since"),   QStringLiteral("man"),     QStringLiteral("accept"),    QStringLiteral("ball"),
    QStringLiteral("correct"), QStringLiteral("further"), QStringLiteral("guarantee"), QStringLiteral("absence"),
};

// Records the monitor of the sound server's null sink (scripts/sound-server.sh)
// as 16-bit mono samples; the benchmarks time sound by its first loud sample.
// The figures include the recorder's own delay.
class SinkListener
{
public:
    static constexpr int kRate = 22050;
    // A sample louder than this is sound.
    static constexpr int kLoud = 1000;

    // False without a sound server that has the lexidrill_null sink.
    bool start()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("--device=lexidrill_null.monitor"), QStringLiteral("--raw"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                       QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--latency-msec=5")});
        return m_parec.waitForStarted() && waitFor([this] { return m_parec.bytesAvailable() > 0; });
    }
    ~SinkListener()
    {
        m_parec.kill();
        m_parec.waitForFinished();
    }
    // Returns once the sink has been quiet for a while, so that the tail of
    // one sound is not taken for the next.
    bool waitForQuiet()
    {
        qsizetype quietSamples = 0;
        return waitFor([&] {
            quietSamples = heard() ? 0 : quietSamples + m_lastCount;
            return quietSamples > kQuietNeeded;
        });
    }
    // Reads what came since the last call: true when a sample of it is loud.
    bool heard()
    {
        const QByteArray bytes = m_parec.readAllStandardOutput();
        if (m_keeping)
            m_kept.append(bytes);
        m_lastCount = bytes.size() / 2;
        for (qsizetype i = 0; i < m_lastCount; ++i) {
            if (std::abs(int(qFromLittleEndian<qint16>(bytes.constData() + i * 2))) > kLoud)
                return true;
        }
        return false;
    }
    // Drops what came so far and keeps every sample read from now on, until
    // takeKept() hands them over.
    void keep()
    {
        m_parec.readAllStandardOutput();
        m_keeping = true;
    }
    QByteArray takeKept()
    {
        m_keeping = false;
        return std::exchange(m_kept, {});
    }

private:
    static constexpr qsizetype kQuietNeeded = kRate / 4;
    qsizetype m_lastCount = 0;
    bool m_keeping = false;
    QByteArray m_kept;
    QProcess m_parec;
};
