// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiodevices.h"

#include "core/failure.h"
#include "core/programmodule.h"

using namespace Qt::StringLiterals;

std::unique_ptr<AudioCapture> createAudioCapture(const QByteArray &deviceId, int sampleRate)
{
    using NewCapture = AudioCapture *(*)(const QByteArray *, int);
    const auto newCapture = reinterpret_cast<NewCapture>(programModuleFunction(u"sound"_s, "lexidrillNewAudioCapture"));
    return std::unique_ptr<AudioCapture>(newCapture(&deviceId, sampleRate));
}

std::unique_ptr<AudioPlayback> createAudioPlayback()
{
    using NewPlayback = AudioPlayback *(*)();
    const auto newPlayback
        = reinterpret_cast<NewPlayback>(programModuleFunction(u"sound"_s, "lexidrillNewAudioPlayback"));
    return std::unique_ptr<AudioPlayback>(newPlayback());
}

QString recordingUnavailableReason()
{
    try {
        using Reason = void (*)(QString *);
        const auto reason
            = reinterpret_cast<Reason>(programModuleFunction(u"sound"_s, "lexidrillRecordingUnavailableReason"));
        QString text;
        reason(&text);
        return text;
    } catch (const Failure &failure) {
        return failure.description();
    }
}
