// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A recorded voice in memory: 16-bit mono samples, little-endian, at a rate.
struct VoiceAudio
{
    int sampleRate = 0;
    QByteArray samples; // 2 bytes a sample

    qsizetype sampleCount() const { return samples.size() / 2; }
    qint64 durationMs() const { return sampleRate > 0 ? sampleCount() * 1000 / sampleRate : 0; }
    bool isEmpty() const { return samples.isEmpty(); }
};

// A recording longer than this is not one word or one sentence: refused.
inline constexpr qint64 kLongestRecordingMs = 60'000;

// What reading a WAV file found.
struct WavReading
{
    enum class Problem {
        None,
        Missing,
        Unreadable, // a folder, no permission, a read error
        NotWav,
        Damaged, // a header that does not match the file, an unknown encoding
        TooLong, // longer than kLongestRecordingMs
    };

    Problem problem = Problem::None;
    // One plain sentence saying why the file was refused; empty when read.
    QString text;
    // The sound as 16-bit mono: other PCM sample sizes, float samples and
    // several channels are converted.
    VoiceAudio audio;

    bool ok() const { return problem == Problem::None; }
};

// Reads a PCM WAV file (8, 16, 24 or 32-bit integer or 32-bit float samples,
// any number of channels, 8 to 192 kHz). The header is checked against the
// file before any sample is read, so a file of gigabytes or one whose header
// claims more than it holds is refused at once.
WavReading readWavFile(const QString &path);

// The bytes of a 16-bit mono PCM WAV file holding the audio.
QByteArray wavFileBytes(const VoiceAudio &audio);

// Writes the audio as a 16-bit mono PCM WAV file through SafeSave: a file
// already at the path stays as it was unless the new one is complete.
// Throws Failure when it cannot be written.
void writeWavFile(const QString &path, const VoiceAudio &audio);
