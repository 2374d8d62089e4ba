// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordedparts.h"

#include "audio/audiopreferences.h"
#include "audio/voicerecorder.h"

namespace {

// Measured in a game on the null sink: a recording after a sentence of the
// synthetic voice is heard 0.13 s after play(); its end is reported as its
// voice ends (the quiet kept after it plays on during the pause).
constexpr int kRecordingStartMs = 130;

} // namespace

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
    m_lastRecorded = m_recordings.play(part.kind == PromptPart::Kind::Sentence, heard);
    if (m_lastRecorded) {
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

int RecordedPartPlayer::endDelayMs(const PromptPart &part) const
{
    return m_lastRecorded ? 0 : m_voice.endDelayMs(part);
}

int RecordedPartPlayer::startDelayMs(const PromptPart &part) const
{
    return m_recordings.has(part.kind == PromptPart::Kind::Sentence) ? kRecordingStartMs : m_voice.startDelayMs(part);
}
