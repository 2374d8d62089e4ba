// SPDX-License-Identifier: GPL-3.0-or-later
#include "spokenprompt.h"

#include <algorithm>

PromptParts promptParts(const QString &word, const QString &sentence, bool saySentence)
{
    const PromptPart alone{PromptPart::Kind::Word, word};
    if (sentence.isEmpty() || !saySentence)
        return {alone};
    return {alone, {PromptPart::Kind::Sentence, sentence}, alone};
}

TimerPauseClock::TimerPauseClock()
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        // `due` may start another pause.
        const std::function<void()> due = std::exchange(m_due, {});
        if (due)
            due();
    });
}

void TimerPauseClock::start(int ms, std::function<void()> due)
{
    m_due = std::move(due);
    m_timer.start(ms);
}

void TimerPauseClock::cancel()
{
    m_timer.stop();
    m_due = {};
}

SpokenPrompt::SpokenPrompt(PartPlayer &player, PauseClock &clock) : m_player(player), m_clock(clock) { }

void SpokenPrompt::play(PromptParts parts)
{
    stop();
    m_parts = std::move(parts);
    m_next = 0;
    playNext();
}

void SpokenPrompt::stop()
{
    ++m_prompt;
    if (playing()) {
        m_clock.cancel();
        m_player.silence();
    }
    m_parts.clear();
    m_next = 0;
}

void SpokenPrompt::playNext()
{
    if (m_next >= m_parts.size())
        return;
    // A copy: the player may report a fault in a message box, and what runs
    // meanwhile may end this prompt.
    const PromptPart part = m_parts.at(m_next++);
    if (!playing()) {
        m_player.play(part, {});
        m_parts.clear();
        return;
    }
    const quint64 prompt = m_prompt;
    m_player.play(part, [this, prompt] { heard(prompt); });
}

void SpokenPrompt::heard(quint64 prompt)
{
    if (prompt != m_prompt)
        return;
    if (m_next >= m_parts.size()) {
        m_parts.clear();
        return;
    }
    const int latency = m_player.endDelayMs(m_parts.at(m_next - 1)) + m_player.startDelayMs(m_parts.at(m_next));
    m_clock.start(std::max(0, kPauseMs - latency), [this, prompt] {
        if (prompt == m_prompt)
            playNext();
    });
}
