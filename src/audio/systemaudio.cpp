// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemaudio.h"

#include "audio/helperspeechengine.h"
#include "audio/qtsoundplayer.h"

std::unique_ptr<SpeechEngine> createSystemSpeechEngine(std::function<void(bool)> busy)
{
    return std::make_unique<HelperSpeechEngine>(SpeechHelper::ofProgram(), SpeechLimits(), std::move(busy));
}

std::unique_ptr<SoundPlayer> createSystemSoundPlayer()
{
    return std::make_unique<QtSoundPlayer>();
}
