// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingplayer.h"

#include "core/failure.h"

RecordingPlayer::RecordingPlayer(std::unique_ptr<AudioPlayback> playback, QObject *parent)
    : QObject(parent), m_playback(std::move(playback))
{ }

RecordingPlayer::~RecordingPlayer()
{
    if (m_playback)
        m_playback->stop();
}

bool RecordingPlayer::playFile(const QString &path, int volume)
{
    const WavReading reading = readWavFile(path);
    if (!reading.ok()) {
        stop();
        m_lastError = reading.text;
        return false;
    }
    return play(reading.audio, volume);
}

bool RecordingPlayer::play(const VoiceAudio &audio, int volume)
{
    stop();
    const quint64 sound = ++m_sound;
    const auto current = [this, sound] { return sound == m_sound && m_playing; };
    // The output may start within play().
    m_playing = true;
    QString problem;
    try {
        problem = playback().play(audio.sampleRate, audio.samples, volume,
                                  {[this, current] {
                                       if (current())
                                           emit started();
                                   },
                                   [this, current] {
                                       if (!current())
                                           return;
                                       m_playing = false;
                                       emit finished();
                                   },
                                   [this, current](const QString &text) {
                                       if (!current())
                                           return;
                                       m_playing = false;
                                       emit failed(text);
                                   }});
    } catch (const Failure &failure) {
        problem = failure.description();
    }
    m_lastError = problem;
    if (!problem.isEmpty())
        m_playing = false;
    return problem.isEmpty();
}

void RecordingPlayer::stop()
{
    if (m_playback)
        m_playback->stop();
    m_playing = false;
}

AudioPlayback &RecordingPlayer::playback()
{
    if (!m_playback)
        m_playback = createAudioPlayback();
    return *m_playback;
}
