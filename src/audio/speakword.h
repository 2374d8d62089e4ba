// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiocontext.h"
#include "audio/spokenprompt.h"

#include <QString>
#include <memory>

// Of a longer word only the first this many characters are spoken: more
// would take the speech engine minutes, and nobody listens that long.
inline constexpr qsizetype kLongestSpoken = 1000;

// The part of a word that is spoken: its first kLongestSpoken characters
// (UTF-16 units, a pair never split).
QString spokenPart(const QString &word);

// Speaks one word (its spoken part) with the voice, volume and rate of the
// audio preferences; returns once the engine has the word. Each word gets a
// new voice object, and releasing the previous one ends its speech.
void SpeakWord(AudioContext &audio, const QString &word);

// The synthetic voice as the player of a prompt's parts: each part is
// spoken as SpeakWord speaks a word, with the voice, volume and rate of the
// audio preferences, and silenced by releasing its voice.
class SpeechPartPlayer : public PartPlayer
{
public:
    explicit SpeechPartPlayer(AudioContext &audio) : m_audio(audio) { }
    void play(const PromptPart &part, std::function<void()> heard) override;
    void silence() override;
    // Measured on the null sink with flite's voices: 0.12-0.14 s from a
    // part's last sound to the engine's report of its end, and from handing
    // a part over to its first sound 0.05 s for a word, 0.17 s for a
    // sentence.
    int endDelayMs(const PromptPart &) const override { return 130; }
    int startDelayMs(const PromptPart &part) const override
    {
        return part.kind == PromptPart::Kind::Sentence ? 170 : 50;
    }

private:
    AudioContext &m_audio;
    // Reports of speech that come after this player is gone are dropped.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// Plays the right or wrong sound and returns after about one second.
void PlaySound(AudioContext &audio, bool isCorrect);

// The voice object held, or a Failure when there is none because the engine
// could not make one; the audio procedures report that at the step that
// needed the voice.
SpeechVoice &voiceOf(const std::unique_ptr<SpeechVoice> &voice);
