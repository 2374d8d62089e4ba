// SPDX-License-Identifier: GPL-3.0-or-later
// The sound module (core/programmodule.h): the sound player, the microphone
// and the raw sound output over Qt Multimedia, which systemaudio.cpp and
// audiodevices.cpp load for the first sound.
#include "audio/qtaudiodevices.h"
#include "audio/qtsoundplayer.h"

extern "C" Q_DECL_EXPORT SoundPlayer *lexidrillNewSoundPlayer()
{
    return new QtSoundPlayer();
}

extern "C" Q_DECL_EXPORT AudioCapture *lexidrillNewAudioCapture(const QByteArray *deviceId, int sampleRate)
{
    return new QtAudioCapture(*deviceId, sampleRate);
}

extern "C" Q_DECL_EXPORT AudioPlayback *lexidrillNewAudioPlayback()
{
    return new QtAudioPlayback();
}

extern "C" Q_DECL_EXPORT void lexidrillRecordingUnavailableReason(QString *reason)
{
    *reason = qtRecordingUnavailableReason();
}
