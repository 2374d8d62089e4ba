// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiodevices.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QAudioSink;
class QAudioSource;

// The sound card's input and output over Qt Multimedia's raw audio classes
// (the sound module's part of audiodevices.h).

class QtAudioCapture : public AudioCapture
{
public:
    // An empty id: the default input at start().
    QtAudioCapture(QByteArray deviceId, int sampleRate);
    ~QtAudioCapture() override;

    int sampleRate() const override { return m_format.sampleRate(); }
    QString start(Callbacks callbacks) override;
    void stop() override;

private:
    void read();
    void lose(const QString &text);

    QByteArray m_deviceId;
    int m_wantedRate;
    QAudioFormat m_format;
    QAudioDevice m_device;
    Callbacks m_callbacks;
    std::unique_ptr<QAudioSource> m_source;
    QIODevice *m_input = nullptr;
    std::unique_ptr<QTimer> m_watch;
    QElapsedTimer m_lastSound;
    bool m_heard = false;
};

class QtAudioPlayback : public AudioPlayback
{
public:
    QtAudioPlayback();
    ~QtAudioPlayback() override;

    QString play(int sampleRate, const QByteArray &samples, int volume, Callbacks callbacks) override;
    void stop() override;

private:
    Callbacks m_callbacks;
    std::unique_ptr<QAudioSink> m_sink;
    QBuffer m_buffer;
    bool m_started = false;
};

// Why the system cannot record; empty when it has a default input.
QString qtRecordingUnavailableReason();
