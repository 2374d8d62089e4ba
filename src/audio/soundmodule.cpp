// SPDX-License-Identifier: GPL-3.0-or-later
// The sound module (core/programmodule.h): the sound player over Qt
// Multimedia, which createSystemSoundPlayer() loads for the first sound.
#include "audio/qtsoundplayer.h"

extern "C" Q_DECL_EXPORT SoundPlayer *lexidrillNewSoundPlayer()
{
    return new QtSoundPlayer();
}
