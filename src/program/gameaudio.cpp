#include "gameaudio.h"

#include "audio/speakword.h"

namespace {
GameAudio defaultAudio() { return GameAudio{SpeakWord, PlaySound}; }
} // namespace

GameAudio &gameAudio()
{
    static GameAudio audio = defaultAudio();
    return audio;
}

void resetGameAudio()
{
    gameAudio() = defaultAudio();
}
