// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiodevices.h"
#include "audio/wavfile.h"

#include <QObject>
#include <memory>

// Plays a recorded word or sentence through the sound output, at the volume
// of the audio options. One sound at a time: playing another ends the one
// before, without finished() for it.
class RecordingPlayer : public QObject
{
    Q_OBJECT
public:
    // Plays through the playback given, or through the system's default
    // output (createAudioPlayback()), made at the first play, when it is null.
    explicit RecordingPlayer(std::unique_ptr<AudioPlayback> playback = {}, QObject *parent = nullptr);
    ~RecordingPlayer() override;

    // Reads and plays the file. False when the file is refused (readWavFile)
    // or the output cannot play, with the reason in lastError(); nothing is
    // emitted then.
    bool playFile(const QString &path, int volume);
    // Plays audio in memory (a take not yet saved).
    bool play(const VoiceAudio &audio, int volume);
    void stop();
    bool isPlaying() const { return m_playing; }
    QString lastError() const { return m_lastError; }

signals:
    // The first samples reached the sound output.
    void started();
    void finished();
    // The output failed while playing.
    void failed(const QString &text);

private:
    AudioPlayback &playback();

    std::unique_ptr<AudioPlayback> m_playback;
    bool m_playing = false;
    QString m_lastError;
    // Tells callbacks of a sound already ended from those of the current one.
    quint64 m_sound = 0;
};
