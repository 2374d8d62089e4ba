// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordedparts.h"

#include "audio/audiopreferences.h"
#include "audio/voicerecorder.h"

RecordedParts::RecordedParts(AudioPreferences &preferences, std::unique_ptr<AudioPlayback> playback)
    : m_preferences(preferences), m_player(std::move(playback))
{
    const auto ended = [this] {
        // `heard` may play the next part.
        if (auto heard = std::exchange(m_heard, {}))
            heard();
    };
    QObject::connect(&m_player, &RecordingPlayer::finished, &m_player, ended);
    QObject::connect(&m_player, &RecordingPlayer::failed, &m_player, ended);
}

void RecordedParts::setRecordings(QString wordFile, QString sentenceFile)
{
    m_wordFile = std::move(wordFile);
    m_sentenceFile = std::move(sentenceFile);
}

bool RecordedParts::play(bool sentence, std::function<void()> heard)
{
    stop();
    const QString &file = sentence ? m_sentenceFile : m_wordFile;
    if (file.isEmpty())
        return false;
    const WavReading reading = readWavFile(file);
    if (!reading.ok())
        return false;
    // A recording of silence alone is no word either.
    const VoiceAudio voice = trimmedTake(reading.audio, kLeadInGameMs, int(kLongestRecordingMs));
    if (voice.isEmpty())
        return false;
    m_heard = std::move(heard);
    if (m_player.play(voice, m_preferences.volume()))
        return true;
    m_heard = {};
    return false;
}

void RecordedParts::stop()
{
    m_heard = {};
    m_player.stop();
}

void RecordedPartPlayer::play(const PromptPart &part, std::function<void()> heard)
{
    if (m_recordings.play(part.kind == PromptPart::Kind::Sentence, heard)) {
        m_voice.silence();
        return;
    }
    m_voice.play(part, std::move(heard));
}

void RecordedPartPlayer::silence()
{
    m_recordings.stop();
    m_voice.silence();
}

int RecordedPartPlayer::latencyMs(const PromptPart &next) const
{
    // A recording reports its end as it ends and starts at once.
    return m_recordings.has(next.kind == PromptPart::Kind::Sentence) ? 0 : m_voice.latencyMs(next);
}
