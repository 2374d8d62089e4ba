// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtsoundplayer.h"

#include "core/failure.h"
#include "speechprotocol/voicesettings.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

using namespace Qt::StringLiterals;

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer()
{
    if (m_player)
        m_player->stop();
}

QMediaPlayer &QtSoundPlayer::player()
{
    if (!m_player) {
        m_output = std::make_unique<QAudioOutput>();
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setAudioOutput(m_output.get());
    }
    return *m_player;
}

void QtSoundPlayer::setVolume(int volume)
{
    player();
    m_output->setVolume(engineVolume(volume));
}

SoundPlayer::PlayState QtSoundPlayer::playState() const
{
    if (!m_player)
        return PlayState::Stopped;
    switch (m_player->playbackState()) {
    case QMediaPlayer::PlayingState:
        return PlayState::Playing;
    case QMediaPlayer::PausedState:
        return PlayState::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return PlayState::Stopped;
}

void QtSoundPlayer::stop()
{
    player().stop();
}

void QtSoundPlayer::setSource(const QString &path)
{
    player().setSource(QUrl::fromLocalFile(path));
}

void QtSoundPlayer::play()
{
    QMediaPlayer &p = player();
    p.play();
    if (p.error() != QMediaPlayer::NoError)
        throw Failure(u"The sound could not be played: %1"_s.arg(p.errorString()));
}

void QtSoundPlayer::close()
{
    player().setSource(QUrl());
}
