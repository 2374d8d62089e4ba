// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/speechengine.h"
#include "speechprotocol/voicesettings.h"

#include <memory>

class HelperSupervisor;

// A voice of HelperSpeechEngine: it keeps its voice, volume and rate and
// hands them to the helper with each word it speaks.
class HelperVoice : public SpeechVoice
{
public:
    explicit HelperVoice(std::shared_ptr<HelperSupervisor> supervisor);
    ~HelperVoice() override;

    QStringList voices() const override;
    // Never waits: a position is checked against the voice list once one
    // is known; before that the helper speaks an unknown position with the
    // engine's default voice.
    void setVoice(int position) override;
    void setVolume(int volume) override;
    void setRate(int rate) override;
    void speak(const QString &text) override;
    void speakAndWait(const QString &text) override;
    void whenSpoken(std::function<void()> then) override;

private:
    std::shared_ptr<HelperSupervisor> m_supervisor;
    VoiceSettings m_settings;
    quint64 m_utterance = 0; // handed over last with speak()
};
