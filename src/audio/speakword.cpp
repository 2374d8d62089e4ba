// SPDX-License-Identifier: GPL-3.0-or-later
#include "speakword.h"

#include "audio/audiopreferences.h"
#include "core/delay.h"
#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/utilities.h"

using namespace Qt::StringLiterals;

namespace {

bool isPlayingOrPaused(const SoundPlayer &player)
{
    const SoundPlayer::PlayState state = player.playState();
    return state == SoundPlayer::PlayState::Playing || state == SoundPlayer::PlayState::Paused;
}

} // namespace

QString spokenPart(const QString &word)
{
    if (word.size() <= kLongestSpoken)
        return word;
    return word.first(kLongestSpoken - (word.at(kLongestSpoken - 1).isHighSurrogate() ? 1 : 0));
}

SpeechVoice &voiceOf(const std::unique_ptr<SpeechVoice> &voice)
{
    if (!voice)
        throw Failure(u"No speech voice"_s);
    return *voice;
}

void SpeakWord(AudioContext &audio, const QString &word)
{
    Steps s(*audio.prompts, u"Form1", u"SpeakWord");
    if (s.test(100, [&] { return word.isEmpty(); }))
        return;
    // The new voice is made first; only when that works does it replace (and
    // silence) the previous one. Nothing here waits for the engine.
    bool made = false;
    s.step(102, [&] {
        audio.SpeakingVoice = audio.speech->createVoice();
        made = true;
    });
    // The fault step 102 reported is not reported again by the steps that
    // would have no voice to act on.
    if (!made && !audio.SpeakingVoice)
        return;
    int position = -1;
    s.step(104, [&] { position = audio.preferences->voicePosition(); });
    if (position != -1) {
        // Positions in the list are positions in the engine's voice list; the
        // voice checks the position against that list.
        s.step(106, [&] { voiceOf(audio.SpeakingVoice).setVoice(position); });
    }
    s.step(108, [&] { voiceOf(audio.SpeakingVoice).setVolume(audio.preferences->volume()); });
    s.step(110, [&] { voiceOf(audio.SpeakingVoice).setRate(audio.preferences->rate()); });
    s.step(112, [&] { voiceOf(audio.SpeakingVoice).speak(spokenPart(word)); });
}

void SpeechPartPlayer::play(const PromptPart &part, std::function<void()> heard)
{
    SpeakWord(m_audio, part.text);
    if (!heard || !m_audio.SpeakingVoice)
        return;
    try {
        m_audio.SpeakingVoice->whenSpoken([alive = std::weak_ptr<bool>(m_alive), heard = std::move(heard)] {
            if (alive.lock())
                heard();
        });
    } catch (const Failure &) {
        // SpeakWord reported the engine's fault; the prompt ends here.
    }
}

void SpeechPartPlayer::silence()
{
    m_audio.SpeakingVoice.reset();
}

void PlaySound(AudioContext &audio, bool isCorrect)
{
    Steps s(*audio.prompts, u"Form1", u"PlaySound");
    SoundPlayer &player = *audio.player;
    QString right;
    QString wrong;
    QString file;
    s.step(100, [&] { right = CollapseBackslashes(besideProgram(audio.programFolder, ProgramFiles::kRightSound)); });
    s.step(102, [&] { wrong = CollapseBackslashes(besideProgram(audio.programFolder, ProgramFiles::kWrongSound)); });
    if (s.test(104, [&] { return isCorrect; }))
        s.step(106, [&] { file = right; });
    else
        s.step(108, [&] { file = wrong; });
    if (s.test(110, [&] { return FileExists(file); })) {
        s.step(112, [&] { player.setVolume(audio.preferences->volume()); });
        if (s.test(114, [&] { return isPlayingOrPaused(player); }))
            s.step(116, [&] { player.stop(); });
        s.step(118, [&] { player.setSource(file); });
        s.step(120, [&] { player.play(); });
    }
    // The next word follows the sound instead of overlapping it, also when
    // there was nothing to play.
    s.step(122, [&] { audio.delay->pause(1); });
    if (s.test(124, [&] { return isPlayingOrPaused(player); }))
        s.step(126, [&] { player.stop(); });
    s.step(128, [&] { player.close(); });
}
