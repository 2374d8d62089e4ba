// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/recordingplayer.h"
#include "audio/spokenprompt.h"

#include <QString>
#include <functional>
#include <memory>

class AudioPreferences;

// The game starts a recording this close before its voice: the silence kept
// before it (kTrimLeadMs) would only delay the word after Enter.
inline constexpr int kLeadInGameMs = 10;

// The recorded word and sentence of the word a game asks: each part that has
// a recording is played from it, at the volume of the audio options (the
// rate is the synthetic voice's alone). A part without one, or whose file is
// missing, damaged, not a WAV, too long or silent, is left to the synthetic
// voice, without a word about it. The silence kept before the voice is
// skipped.
class RecordedParts
{
public:
    // Plays through the playback given, or through the system's default
    // output when it is null.
    explicit RecordedParts(AudioPreferences &preferences, std::unique_ptr<AudioPlayback> playback = {});

    // The recordings of the word asked now: file paths, empty for none.
    void setRecordings(QString wordFile, QString sentenceFile);
    // Plays the recording of the word or of its sentence; `heard`, when
    // given, runs once it has been played or the output failed. False, with
    // nothing played, when there is none that can be played.
    bool play(bool sentence, std::function<void()> heard);
    // Ends the recording under way; its `heard` does not run.
    void stop();
    // A file is given for the word or its sentence (it may still be
    // unplayable).
    bool has(bool sentence) const { return !(sentence ? m_sentenceFile : m_wordFile).isEmpty(); }

private:
    AudioPreferences &m_preferences;
    RecordingPlayer m_player;
    QString m_wordFile;
    QString m_sentenceFile;
    std::function<void()> m_heard;
};

// The player of a prompt's parts when they may have recordings: a part with
// a playable recording plays from it, with the voice silenced; every other
// part is spoken by the voice.
class RecordedPartPlayer : public PartPlayer
{
public:
    RecordedPartPlayer(RecordedParts &recordings, PartPlayer &voice) : m_recordings(recordings), m_voice(voice) { }
    void play(const PromptPart &part, std::function<void()> heard) override;
    void silence() override;
    int endDelayMs(const PromptPart &part) const override;
    int startDelayMs(const PromptPart &part) const override;

private:
    RecordedParts &m_recordings;
    PartPlayer &m_voice;
    // The part played last came from its recording.
    bool m_lastRecorded = false;
};
