#pragma once

#include <QString>
#include <functional>

class Globals;

// How the game reaches the audio subsystem: SpeakWord and PlaySound. Tests put
// recorders in their place to hear what the game says and to act in the
// middle of a feedback sound's wait.
struct GameAudio
{
    std::function<void(Globals &, const QString &)> speakWord;
    std::function<void(Globals &, bool)> playSound;
};

// The program-wide routing, SpeakWord and PlaySound unless replaced.
GameAudio &gameAudio();
// Back to SpeakWord and PlaySound.
void resetGameAudio();
