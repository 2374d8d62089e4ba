// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtaudiodevices.h"

#include "speechprotocol/voicesettings.h"

#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#include <QtEndian>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The samples in the device's format as 16-bit mono: channels averaged.
QByteArray toMono16(const QByteArray &data, const QAudioFormat &format)
{
    const int channels = std::max(1, format.channelCount());
    if (format.sampleFormat() == QAudioFormat::Int16 && channels == 1)
        return data;
    const int bytes = format.bytesPerSample();
    const qsizetype frames = data.size() / (bytes * channels);
    QByteArray out(frames * 2, Qt::Uninitialized);
    for (qsizetype frame = 0; frame < frames; ++frame) {
        double sum = 0;
        for (int channel = 0; channel < channels; ++channel)
            sum += format.normalizedSampleValue(data.constData() + (frame * channels + channel) * bytes);
        const double value = std::isfinite(sum) ? sum / channels : 0;
        qToLittleEndian(qint16(std::clamp(std::lround(value * 32767.0), -32768L, 32767L)), out.data() + frame * 2);
    }
    return out;
}

// How often a recording input is looked at, and how long it may send nothing.
constexpr int kWatchMs = 200;
// A busy sound server may take seconds to send the first samples.
constexpr qint64 kFirstSoundMs = 5000;
constexpr qint64 kSilentStreamMs = 2000;

bool hasDevice(const QList<QAudioDevice> &devices, const QByteArray &id)
{
    return std::any_of(devices.begin(), devices.end(), [&](const QAudioDevice &d) { return d.id() == id; });
}

} // namespace

QtAudioCapture::QtAudioCapture(QByteArray deviceId, int sampleRate)
    : m_deviceId(std::move(deviceId)), m_wantedRate(sampleRate)
{ }

QtAudioCapture::~QtAudioCapture()
{
    stop();
}

QString QtAudioCapture::start(Callbacks callbacks)
{
    stop();
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    if (m_deviceId.isEmpty()) {
        m_device = QMediaDevices::defaultAudioInput();
    } else {
        const auto found = std::find_if(inputs.begin(), inputs.end(),
                                        [this](const QAudioDevice &d) { return d.id() == m_deviceId; });
        m_device = found == inputs.end() ? QAudioDevice() : *found;
    }
    if (m_device.isNull())
        return u"No microphone was found."_s;

    m_format.setSampleRate(m_wantedRate);
    m_format.setChannelCount(1);
    m_format.setSampleFormat(QAudioFormat::Int16);
    if (!m_device.isFormatSupported(m_format))
        m_format = m_device.preferredFormat();
    m_callbacks = std::move(callbacks);
    m_source = std::make_unique<QAudioSource>(m_device, m_format);
    // Blocks of about 50 ms keep the level meter lively.
    m_source->setBufferSize(m_format.bytesForDuration(50'000));
    m_input = m_source->start();
    if (!m_input || m_source->error() != QAudio::NoError) {
        m_source.reset();
        m_input = nullptr;
        return u"The microphone could not be opened."_s;
    }
    QObject::connect(m_input, &QIODevice::readyRead, m_source.get(), [this] { read(); });
    QObject::connect(m_source.get(), &QAudioSource::stateChanged, m_source.get(), [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_source->error() != QAudio::NoError)
            lose(u"The microphone stopped working."_s);
    });
    // Unplugged: the sound server may move the stream to another input or
    // leave it without sound, and Qt 6.4 tells neither nor reliably signals
    // the changed device list. So the list is looked at, and a stream that
    // stopped sending counts as lost.
    m_heard = false;
    m_lastSound.start();
    m_watch = std::make_unique<QTimer>();
    QObject::connect(m_watch.get(), &QTimer::timeout, m_source.get(), [this] {
        if (!hasDevice(QMediaDevices::audioInputs(), m_device.id()))
            lose(u"The microphone was disconnected."_s);
        else if (m_lastSound.hasExpired(m_heard ? kSilentStreamMs : kFirstSoundMs))
            lose(u"The microphone stopped sending sound."_s);
    });
    m_watch->start(kWatchMs);
    return {};
}

void QtAudioCapture::read()
{
    if (!m_input)
        return;
    const QByteArray data = m_input->readAll();
    if (!data.isEmpty()) {
        m_heard = true;
        m_lastSound.start();
    }
    if (!data.isEmpty() && m_callbacks.samples)
        m_callbacks.samples(toMono16(data, m_format));
}

void QtAudioCapture::lose(const QString &text)
{
    auto lost = std::move(m_callbacks.lost);
    stop();
    if (lost)
        lost(text);
}

void QtAudioCapture::stop()
{
    m_callbacks = {};
    m_input = nullptr;
    if (m_source) {
        m_source->disconnect();
        m_source->stop();
        // Deleted later: stop() may be called from one of its own signals.
        m_source.release()->deleteLater();
    }
    if (m_watch)
        m_watch.release()->deleteLater();
}

QtAudioPlayback::QtAudioPlayback() = default;

QtAudioPlayback::~QtAudioPlayback()
{
    stop();
}

QString QtAudioPlayback::play(int sampleRate, const QByteArray &samples, int volume, Callbacks callbacks)
{
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return u"There is no sound output."_s;
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_callbacks = std::move(callbacks);
    m_started = false;
    m_buffer.setData(samples);
    m_buffer.open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_sink->setVolume(engineVolume(volume));
    // Room for a busy machine's late refills; the first sample still plays
    // at once, as the whole buffer is filled at the start.
    m_sink->setBufferSize(format.bytesForDuration(500'000));
    QObject::connect(m_sink.get(), &QAudioSink::stateChanged, m_sink.get(), [this](QAudio::State state) {
        if (state == QAudio::ActiveState && !m_started) {
            m_started = true;
            if (m_callbacks.started)
                m_callbacks.started();
        } else if (state == QAudio::IdleState && m_buffer.atEnd()) {
            // Every sample was handed over; the sink plays out its last ones.
            if (auto finished = std::exchange(m_callbacks.finished, {}))
                finished();
        } else if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError
                   && m_sink->error() != QAudio::UnderrunError) {
            if (auto failed = std::exchange(m_callbacks.failed, {}))
                failed(u"The sound output stopped working."_s);
        }
    });
    m_sink->start(&m_buffer);
    if (m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError) {
        m_sink.reset();
        m_callbacks = {};
        return u"The sound output could not be opened."_s;
    }
    return {};
}

void QtAudioPlayback::stop()
{
    m_callbacks = {};
    if (m_sink) {
        m_sink->disconnect();
        m_sink->stop();
        m_sink.release()->deleteLater();
    }
    m_buffer.close();
}

QString qtRecordingUnavailableReason()
{
    if (QMediaDevices::defaultAudioInput().isNull())
        return u"No microphone was found, so words and sentences cannot be recorded."_s;
    return {};
}
