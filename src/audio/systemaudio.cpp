// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemaudio.h"

#include "audio/qtsoundplayer.h"
#include "audio/qtspeechengine.h"

std::unique_ptr<SpeechEngine> createSystemSpeechEngine(std::function<void(bool)> busy)
{
    return std::make_unique<QtSpeechEngine>(QStringList(), BackgroundSpeechEngine::Limits(), std::move(busy));
}

std::unique_ptr<SoundPlayer> createSystemSoundPlayer()
{
    return std::make_unique<QtSoundPlayer>();
}
