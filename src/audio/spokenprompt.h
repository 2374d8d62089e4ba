// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QTimer>
#include <functional>

// One part of the prompt a word is asked with: the word itself or the
// sentence given with it.
struct PromptPart
{
    enum class Kind { Word, Sentence };

    Kind kind = Kind::Word;
    QString text;

    friend bool operator==(const PromptPart &, const PromptPart &) = default;
};
using PromptParts = QList<PromptPart>;

// The prompt of a word: the word alone, or when it has a sentence that is to
// be said, the word, the sentence and the word again.
PromptParts promptParts(const QString &word, const QString &sentence, bool saySentence);

// Makes one part of a prompt heard: the synthetic voice speaks it, or a
// player plays it from a recording of it.
class PartPlayer
{
public:
    virtual ~PartPlayer() = default;
    // Starts the part and returns at once. `heard`, when given, runs later on
    // this thread once the part has been heard or could not be.
    virtual void play(const PromptPart &part, std::function<void()> heard) = 0;
    // Ends the part under way at once; its `heard` does not run.
    virtual void silence() = 0;
    // The player's own delays, which the pause between two parts counts in:
    // from the last sound of the part just heard to its `heard` (quiet
    // played after it included),
    virtual int endDelayMs(const PromptPart &part) const
    {
        Q_UNUSED(part);
        return 0;
    }
    // and from play() to the first sound of the next part.
    virtual int startDelayMs(const PromptPart &part) const
    {
        Q_UNUSED(part);
        return 0;
    }
};

// The timer of the pause between two parts, so that tests can step it.
class PauseClock
{
public:
    virtual ~PauseClock() = default;
    // Runs `due` once, `ms` from now; replaces a pause under way.
    virtual void start(int ms, std::function<void()> due) = 0;
    virtual void cancel() = 0;
};

// The real pause: a single-shot timer of the window's thread.
class TimerPauseClock : public PauseClock
{
public:
    TimerPauseClock();
    void start(int ms, std::function<void()> due) override;
    void cancel() override;

private:
    QTimer m_timer;
    std::function<void()> m_due;
};

// Plays one prompt at a time, part after part with a pause between, and
// never waits: the window's thread goes on while a prompt plays, and so does
// the learner's typing. A new prompt or stop() ends the one under way.
//
// A prompt of one part is a word spoken as a word has always been: handed
// over and left to end by itself, so stop() leaves it alone.
class SpokenPrompt
{
public:
    // The quiet heard between the word and its sentence, and between the
    // sentence and the word.
    static constexpr int kPauseMs = 700;

    SpokenPrompt(PartPlayer &player, PauseClock &clock);

    void play(PromptParts parts);
    void stop();
    // A prompt of several parts is under way: a part or a pause.
    bool playing() const { return m_parts.size() > 1; }

private:
    void playNext();
    void heard(quint64 prompt);

    PartPlayer &m_player;
    PauseClock &m_clock;
    PromptParts m_parts;
    qsizetype m_next = 0;
    // Counts prompts, so that a late report of an ended one is ignored.
    quint64 m_prompt = 0;
};
