#include "systemaudio.h"

#include "audio/qtsoundplayer.h"
#include "audio/qtspeechengine.h"

std::unique_ptr<SpeechEngine> createSystemSpeechEngine() { return std::make_unique<QtSpeechEngine>(); }
std::unique_ptr<SoundPlayer> createSystemSoundPlayer() { return std::make_unique<QtSoundPlayer>(); }
