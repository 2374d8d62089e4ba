#include "speakword.h"

#include "audio/form3.h"
#include "shell/errorreport.h"
#include "shell/globals.h"
#include "shell/utilities.h"

#include <QComboBox>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace {

bool isPlayingOrPaused(const SoundPlayer &player)
{
    const SoundPlayer::PlayState state = player.playState();
    return state == SoundPlayer::PlayState::Playing || state == SoundPlayer::PlayState::Paused;
}

} // namespace

SpeechVoice &voiceOf(const std::unique_ptr<SpeechVoice> &voice)
{
    if (!voice)
        throw Failure(u"No speech voice"_s);
    return *voice;
}

void SpeakWord(Globals &globals, const QString &word)
{
    Steps s(globals.prompts(), u"Form1", u"SpeakWord");
    if (s.test(100, [&] { return word.isEmpty(); }))
        return;
    // The new voice is made first; only when that works does it replace (and
    // silence) the previous one.
    s.step(102, [&] { globals.SpeakingVoice = globals.speech().createVoice(); });
    int position = -1;
    s.step(104, [&] { position = globals.form3().Combo1->currentIndex(); });
    if (position != -1) {
        s.step(106, [&] {
            // Positions in the list are positions in the engine's voice list.
            if (position >= voiceOf(globals.VoiceCatalog).voices().size())
                throw Failure(u"No voice at position %1"_s.arg(position));
            voiceOf(globals.SpeakingVoice).setVoice(position);
        });
    }
    s.step(108, [&] { voiceOf(globals.SpeakingVoice).setVolume(globals.form3().Slider1->value()); });
    s.step(110, [&] { voiceOf(globals.SpeakingVoice).setRate(globals.form3().Slider2->value()); });
    s.step(112, [&] { voiceOf(globals.SpeakingVoice).speak(word); });
}

void PlaySound(Globals &globals, bool isCorrect)
{
    Steps s(globals.prompts(), u"Form1", u"PlaySound");
    SoundPlayer &player = globals.player();
    QString right;
    QString wrong;
    QString file;
    s.step(100, [&] { right = CollapseBackslashes(globals.besideProgram(u"\\Sounds\\right.wav")); });
    s.step(102, [&] { wrong = CollapseBackslashes(globals.besideProgram(u"\\Sounds\\wrong.wav")); });
    if (s.test(104, [&] { return isCorrect; }))
        s.step(106, [&] { file = right; });
    else
        s.step(108, [&] { file = wrong; });
    if (s.test(110, [&] { return FileExists(file); })) {
        s.step(112, [&] { player.setVolume(globals.form3().Slider1->value()); });
        if (s.test(114, [&] { return isPlayingOrPaused(player); }))
            s.step(116, [&] { player.stop(); });
        s.step(118, [&] { player.setSource(file); });
        s.step(120, [&] { player.play(); });
    }
    // The next word follows the sound instead of overlapping it, also when
    // there was nothing to play.
    s.step(122, [] { Pause(1); });
    if (s.test(124, [&] { return isPlayingOrPaused(player); }))
        s.step(126, [&] { player.stop(); });
    s.step(128, [&] { player.close(); });
}
