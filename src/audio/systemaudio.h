#pragma once

#include "audio/soundplayer.h"
#include "audio/speechengine.h"

#include <memory>

// The real speech engine and sound player of this platform.
std::unique_ptr<SpeechEngine> createSystemSpeechEngine();
std::unique_ptr<SoundPlayer> createSystemSoundPlayer();
