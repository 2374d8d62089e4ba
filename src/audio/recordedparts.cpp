// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordedparts.h"

#include "audio/audiopreferences.h"

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
    m_heard = std::move(heard);
    if (m_player.playFile(file, m_preferences.volume()))
        return true;
    m_heard = {};
    return false;
}

void RecordedParts::stop()
{
    m_heard = {};
    m_player.stop();
}
