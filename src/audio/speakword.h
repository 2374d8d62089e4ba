// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiocontext.h"

#include <QString>
#include <memory>

// Speaks one word with the voice, volume and rate of the audio preferences;
// returns once the engine has the word. Each word gets a new voice object,
// and releasing the previous one ends its speech.
void SpeakWord(AudioContext &audio, const QString &word);

// Plays the right or wrong sound and returns after about one second.
void PlaySound(AudioContext &audio, bool isCorrect);

// The voice object held, or a Failure when there is none because the engine
// could not make one; the audio procedures report that at the step that
// needed the voice.
SpeechVoice &voiceOf(const std::unique_ptr<SpeechVoice> &voice);
