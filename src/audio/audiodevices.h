// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// The sound card's input and output as raw 16-bit mono samples. They are
// made in the sound module (core/programmodule.h), so that the program loads
// Qt Multimedia only when it first records or plays a recording. Plain
// classes, not QObjects: the module and the program each have their own copy
// of what they share.

// Raw audio from a microphone. Calls back on the thread that started it.
class AudioCapture
{
public:
    struct Callbacks
    {
        // Each block of 16-bit mono little-endian samples as it arrives.
        std::function<void(const QByteArray &samples)> samples;
        // The device went away (unplugged) or stopped with an error; nothing
        // more comes after it.
        std::function<void(const QString &text)> lost;
    };

    virtual ~AudioCapture() = default;
    // The samples' rate: the one asked for, or the device's own when it
    // cannot give that one. Known once start() has succeeded.
    virtual int sampleRate() const = 0;
    // Starts reading; an empty text when reading, else why not.
    virtual QString start(Callbacks callbacks) = 0;
    // Stops reading; no callback comes after it returns.
    virtual void stop() = 0;
};

// Plays 16-bit mono samples through the sound output. Calls back on the
// thread that started it.
class AudioPlayback
{
public:
    struct Callbacks
    {
        // The first samples were handed to the sound output.
        std::function<void()> started;
        // Every sample was played (not called after stop()).
        std::function<void()> finished;
        // The output failed; nothing more comes after it.
        std::function<void(const QString &text)> failed;
    };

    virtual ~AudioPlayback() = default;
    // Plays the samples at the volume (0 silent .. 100 loudest), ending any
    // sound this object was playing. An empty text when playing, else why not.
    virtual QString play(int sampleRate, const QByteArray &samples, int volume, Callbacks callbacks) = 0;
    virtual void stop() = 0;
};

// The rate the program records at: 22.05 kHz keeps the hiss of s, f and th
// that tell words apart, at 44 kB a second.
inline constexpr int kRecordingSampleRate = 22050;

// Reads from the input device with that id (QAudioDevice::id()), or from the
// system's default input when the id is empty. Throws Failure when the sound
// module cannot be loaded.
std::unique_ptr<AudioCapture> createAudioCapture(const QByteArray &deviceId = {},
                                                 int sampleRate = kRecordingSampleRate);
// Plays on the system's default output. Throws Failure when the sound module
// cannot be loaded.
std::unique_ptr<AudioPlayback> createAudioPlayback();
// Why nothing can be recorded, in one plain sentence (no microphone, no
// sound module); empty when the system has a default input device.
QString recordingUnavailableReason();
