#pragma once

#include <QString>

class Globals;

// Speaks one word with the voice, volume and rate of the audio options
// window; returns once the engine has the word.
void SpeakWord(Globals &globals, const QString &word);

// Plays the right or wrong sound and returns after about one second.
void PlaySound(Globals &globals, bool isCorrect);
