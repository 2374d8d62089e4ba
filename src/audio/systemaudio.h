// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/soundplayer.h"
#include "audio/speechengine.h"

#include <functional>
#include <memory>

// The real speech engine and sound player of this platform. The speech
// engine's helper process starts at once; `busy` is told true while the
// window's thread waits for it and false when it stops.
std::unique_ptr<SpeechEngine> createSystemSpeechEngine(std::function<void(bool)> busy = {});
std::unique_ptr<SoundPlayer> createSystemSoundPlayer();
