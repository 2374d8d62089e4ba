// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The audio preferences as the user set them: the audio options window
// holds them, speaking a word and the feedback sounds read them here.
class AudioPreferences
{
public:
    virtual ~AudioPreferences() = default;
    virtual int volume() const = 0; // 0 silent .. 100 loudest
    virtual int rate() const = 0; // -10 slowest .. 10 fastest
    // Position of the chosen voice in the engine's voice list; -1 for none.
    virtual int voicePosition() const = 0;
    virtual bool playSounds() const = 0;
    // Whether a word that has a sentence is asked with it: word, sentence,
    // word.
    virtual bool saySentence() const = 0;
};
