// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/soundplayer.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

// The sound player over Qt Multimedia: a media player with its own audio
// output, made on first use (setting up the media framework takes a moment
// and needs the application object). It reads each file afresh when its
// source is set, so a sound replaced on disk is heard the next time.
class QtSoundPlayer : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void setVolume(int volume) override;
    PlayState playState() const override;
    void stop() override;
    void setSource(const QString &path) override;
    // Throws Failure when the player reports an error at once (for instance
    // no sound output); errors found later while playing go unreported.
    void play() override;
    void close() override;

private:
    QMediaPlayer &player();

    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
};
