// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The player of the feedback sounds.
class SoundPlayer
{
public:
    enum class PlayState { Stopped = 1, Paused = 2, Playing = 3 };

    virtual ~SoundPlayer() = default;
    virtual void setVolume(int volume) = 0; // 0..100
    virtual PlayState playState() const = 0;
    virtual void stop() = 0;
    virtual void setSource(const QString &path) = 0;
    virtual void play() = 0;
    // Releases the opened file.
    virtual void close() = 0;
};
