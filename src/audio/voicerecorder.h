// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiodevices.h"
#include "audio/wavfile.h"

#include <QObject>
#include <memory>

// Records one take of a word or a sentence from a microphone: until stop(),
// or at most kLongestTakeMs. The take ends trimmed of the silence before and
// after the voice (a little of it kept) and stays in memory (take()) until
// the next start, so that it can be heard before it is saved with
// writeWavFile().
class VoiceRecorder : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLongestTakeMs = 15'000;

    // Records from the capture given, or from the system's default input
    // (createAudioCapture()) when it is null.
    explicit VoiceRecorder(std::unique_ptr<AudioCapture> capture = {}, QObject *parent = nullptr);
    ~VoiceRecorder() override;

    // Starts a new take, dropping the last one. False when recording could
    // not start, with failed() emitted.
    bool start();
    // Ends the take: emits finished() with a take, or failed() when nothing
    // but silence was heard. Nothing happens when not recording.
    void stop();
    // Ends the take and drops it; emits nothing.
    void cancel();

    bool isRecording() const { return m_recording; }
    // The last finished take; empty while recording or after a failure.
    const VoiceAudio &take() const { return m_take; }

signals:
    // The loudness of the latest samples for a level meter, 0..1 on a
    // decibel scale from -60 dBFS (0) to full scale (1).
    void levelChanged(double level);
    // The milliseconds recorded so far in this take.
    void elapsedChanged(int milliseconds);
    // The take ended (stop() or the time limit) and take() holds it.
    void finished();
    // Recording could not start, the input went away (the take is dropped),
    // or only silence was heard; one plain sentence.
    void failed(const QString &text);

private:
    void receive(const QByteArray &samples);
    void lose(const QString &text);

    std::unique_ptr<AudioCapture> m_capture;
    bool m_recording = false;
    QByteArray m_samples;
    VoiceAudio m_take;
};

// The take with the silence before and after the voice cut away, keeping a
// little of it (kTrimLeadMs, kTrimTailMs by default) so that no soft start or
// end is clipped. Silence is what stays below a threshold set from the take's
// own noise floor and peak. A take with no voice at all comes back empty.
inline constexpr int kTrimLeadMs = 150;
inline constexpr int kTrimTailMs = 250;
VoiceAudio trimmedTake(const VoiceAudio &take, int leadMs = kTrimLeadMs, int tailMs = kTrimTailMs);
