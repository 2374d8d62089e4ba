// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpervoice.h"

#include "audio/helpersupervisor.h"
#include "core/failure.h"

using namespace Qt::StringLiterals;

HelperVoice::HelperVoice(std::shared_ptr<HelperSupervisor> supervisor) : m_supervisor(std::move(supervisor)) { }

HelperVoice::~HelperVoice()
{
    m_supervisor->release(this);
}

QStringList HelperVoice::voices() const
{
    return m_supervisor->voices();
}

void HelperVoice::setVoice(int position)
{
    const std::optional<qsizetype> count = m_supervisor->knownVoiceCount();
    if (position < 0 || (count && position >= *count))
        throw Failure(
            u"There is no voice at position %1; %2 voices are installed."_s.arg(position).arg(count.value_or(0)));
    m_settings.position = position;
}

void HelperVoice::setVolume(int volume)
{
    m_settings.volume = volume;
    m_supervisor->adjust(this, "volume", volume);
}

void HelperVoice::setRate(int rate)
{
    m_settings.rate = rate;
    m_supervisor->adjust(this, "rate", rate);
}

void HelperVoice::speak(const QString &text)
{
    m_utterance = m_supervisor->speak(this, text, m_settings, true).first;
}

void HelperVoice::speakAndWait(const QString &text)
{
    if (!text.isEmpty())
        m_supervisor->speakAndWait(this, text, m_settings);
}

void HelperVoice::whenSpoken(std::function<void()> then)
{
    if (m_utterance != 0)
        m_supervisor->whenSpoken(this, m_utterance, std::move(then));
}
