// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/soundplayer.h"
#include "audio/speechengine.h"

#include <QString>
#include <memory>

class AudioPreferences;
class Delay;
class Prompts;

// What speaking a word and playing a feedback sound work with: the outside
// components, the user's preferences and the program's voices.
struct AudioContext
{
    Prompts *prompts = nullptr;
    SpeechEngine *speech = nullptr;
    SoundPlayer *player = nullptr;
    AudioPreferences *preferences = nullptr;
    Delay *delay = nullptr;
    // The folder that holds the feedback sounds' Sounds folder.
    QString programFolder;

    // The voice that speaks the words; replaced for every word.
    std::unique_ptr<SpeechVoice> SpeakingVoice;
    // The main window's voice, used only to list the voices.
    std::unique_ptr<SpeechVoice> VoiceCatalog;
};
