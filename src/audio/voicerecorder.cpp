// SPDX-License-Identifier: GPL-3.0-or-later
#include "voicerecorder.h"

#include "core/failure.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFrameMs = 10;
// RMS of 16-bit samples: -60 dBFS, below any voice near a microphone.
constexpr double kFloor = 33.0;
constexpr double kMeterRangeDb = 60.0;

qint16 sampleAt(const QByteArray &samples, qsizetype index)
{
    return qFromLittleEndian<qint16>(samples.constData() + index * 2);
}

double meterLevel(const QByteArray &samples)
{
    int peak = 0;
    for (qsizetype i = 0; i < samples.size() / 2; ++i)
        peak = std::max(peak, std::abs(int(sampleAt(samples, i))));
    if (peak == 0)
        return 0;
    const double db = 20 * std::log10(peak / 32768.0);
    return std::clamp(1 + db / kMeterRangeDb, 0.0, 1.0);
}

} // namespace

VoiceAudio trimmedTake(const VoiceAudio &take, int leadMs, int tailMs)
{
    const qsizetype frameLength = std::max(1, take.sampleRate * kFrameMs / 1000);
    const qsizetype frames = take.sampleCount() / frameLength;
    if (frames == 0)
        return {};
    std::vector<double> loudness(size_t(frames), 0.0);
    for (qsizetype f = 0; f < frames; ++f) {
        double sum = 0;
        for (qsizetype i = f * frameLength; i < (f + 1) * frameLength; ++i) {
            const double s = sampleAt(take.samples, i);
            sum += s * s;
        }
        loudness[size_t(f)] = std::sqrt(sum / double(frameLength));
    }
    const double peak = *std::max_element(loudness.begin(), loudness.end());
    if (peak < 4 * kFloor)
        return {};
    std::vector<double> sorted = loudness;
    const auto tenth = sorted.begin() + qsizetype(sorted.size() / 10);
    std::nth_element(sorted.begin(), tenth, sorted.end());
    // The quiet frames' loudness is the room's noise, unless the voice filled
    // the whole take: what is within 24 dB of the peak is always voice.
    const double threshold = std::max({kFloor, peak * 0.03, std::min(*tenth * 2, peak * 0.06)});

    const auto voiced = [&](double l) { return l > threshold; };
    const qsizetype first = std::find_if(loudness.begin(), loudness.end(), voiced) - loudness.begin();
    const qsizetype last = loudness.rend() - std::find_if(loudness.rbegin(), loudness.rend(), voiced) - 1;
    const qsizetype from = std::max<qsizetype>(0, first * frameLength - qsizetype(take.sampleRate) * leadMs / 1000);
    const qsizetype to = std::min<qsizetype>(take.sampleCount(),
                                             (last + 1) * frameLength + qsizetype(take.sampleRate) * tailMs / 1000);
    VoiceAudio trimmed;
    trimmed.sampleRate = take.sampleRate;
    trimmed.samples = take.samples.mid(from * 2, (to - from) * 2);
    return trimmed;
}

VoiceRecorder::VoiceRecorder(std::unique_ptr<AudioCapture> capture, QObject *parent)
    : QObject(parent), m_capture(std::move(capture))
{ }

VoiceRecorder::~VoiceRecorder()
{
    if (m_capture)
        m_capture->stop();
}

bool VoiceRecorder::start()
{
    cancel();
    m_take = {};
    QString problem;
    try {
        if (!m_capture)
            m_capture = createAudioCapture();
        problem = m_capture->start(
            {[this](const QByteArray &samples) { receive(samples); }, [this](const QString &text) { lose(text); }});
    } catch (const Failure &failure) {
        problem = failure.description();
    }
    if (!problem.isEmpty()) {
        emit failed(problem);
        return false;
    }
    m_recording = true;
    emit levelChanged(0);
    emit elapsedChanged(0);
    return true;
}

void VoiceRecorder::receive(const QByteArray &samples)
{
    if (!m_recording)
        return;
    const qsizetype most = qsizetype(m_capture->sampleRate()) * kLongestTakeMs / 1000 * 2;
    m_samples.append(samples.left(most - m_samples.size()));
    emit levelChanged(meterLevel(samples));
    emit elapsedChanged(int(m_samples.size() / 2 * 1000 / std::max(1, m_capture->sampleRate())));
    if (m_samples.size() >= most)
        stop();
}

void VoiceRecorder::lose(const QString &text)
{
    if (!m_recording)
        return;
    m_recording = false;
    m_samples.clear();
    emit levelChanged(0);
    emit failed(text + u" The recording was not kept."_s);
}

void VoiceRecorder::stop()
{
    if (!m_recording)
        return;
    m_capture->stop();
    m_recording = false;
    VoiceAudio raw;
    raw.sampleRate = m_capture->sampleRate();
    raw.samples = std::exchange(m_samples, {});
    m_take = trimmedTake(raw);
    emit levelChanged(0);
    if (m_take.isEmpty())
        emit failed(u"Nothing was heard. Check the microphone and record again."_s);
    else
        emit finished();
}

void VoiceRecorder::cancel()
{
    if (m_capture)
        m_capture->stop();
    m_recording = false;
    m_samples.clear();
}
