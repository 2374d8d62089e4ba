// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a voice object speaks with: a position in the voice list, volume
// 0..100 and rate -10..10.
struct VoiceSettings
{
    int position = 0;
    int volume = 100;
    int rate = 0;
};

// Volume 0..100 to the 0.0..1.0 of Qt's speech engines and audio outputs:
// the words and the feedback sounds are set alike.
inline double engineVolume(int volume)
{
    return volume / 100.0;
}
