// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/soundplayer.h"
#include "audio/speechengine.h"
#include "audio/spokenprompt.h"
#include "core/delay.h"
#include "core/platform.h"
#include "core/prompts.h"
#include "core/randomsource.h"

#include <QList>
#include <QPointer>
#include <QQueue>
#include <QStringList>
#include <functional>
#include <memory>

// Records every box instead of showing it. Questions take their answers from
// a queue (No when it is empty).
class RecordingPrompts : public Prompts
{
public:
    struct Box
    {
        enum Kind { Message, Question, Error, TextQuestion } kind;
        QString text;
    };

    void message(const QString &text) override
    {
        boxes.append({Box::Message, text});
        if (whileShown)
            whileShown();
    }
    bool question(const QString &text) override
    {
        boxes.append({Box::Question, text});
        return answers.isEmpty() ? false : answers.dequeue();
    }
    void error(const QString &text) override
    {
        boxes.append({Box::Error, text});
        if (errorsTo)
            errorsTo->error(text);
    }
    std::optional<bool> questionOrCancel(const QString &text) override
    {
        if (answersOrCancel.isEmpty())
            return question(text);
        boxes.append({Box::Question, text});
        return answersOrCancel.dequeue();
    }
    std::optional<QString> askText(const QString &text) override
    {
        boxes.append({Box::TextQuestion, text});
        return typedAnswers.isEmpty() ? std::nullopt : typedAnswers.dequeue();
    }

    QStringList texts(Box::Kind kind) const;
    QStringList messages() const { return texts(Box::Message); }
    QStringList errors() const { return texts(Box::Error); }
    QStringList questions() const { return texts(Box::Question); }
    QStringList textQuestions() const { return texts(Box::TextQuestion); }

    QList<Box> boxes;
    QQueue<bool> answers;
    // Answers to questions that offer Cancel (nothing for Cancel); `answers`
    // answers them once these run out.
    QQueue<std::optional<bool>> answersOrCancel;
    // What is typed into text questions, in turn; Cancel when it is empty.
    QQueue<std::optional<QString>> typedAnswers;
    // Runs while a message is "open", e.g. to take the focus as a real box does.
    std::function<void()> whileShown;
    // Shows the error reports there too, e.g. in real boxes.
    Prompts *errorsTo = nullptr;
};

class FakeFileDialogs : public FileDialogs
{
public:
    struct Call
    {
        QString title;
        QString filter;
        QString previousName;
    };

    QString openFile(QWidget *, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *, const QString &title, const QString &filters, const QString &previousName) override;

    QList<Call> openCalls;
    QList<Call> saveCalls;
    QQueue<QString> openAnswers; // empty answer: cancelled
    QQueue<QString> saveAnswers;
};

class FakeLauncher : public Launcher
{
public:
    void openInEditor(const QString &path) override;
    void openUrl(const QUrl &address) override { urls.append(address); }

    QStringList editedFiles;
    QList<QUrl> urls;
    bool failToStart = false;
};

// One log for everything the fake engine's voices are told, so that tests can
// check the order of calls across voice objects.
struct SpeechLog
{
    QStringList calls;
    int liveVoices = 0;
    // What waits for the speech of a voice (whenSpoken), by voice number; a
    // voice's own go with it or its next speech.
    QList<std::pair<int, std::function<void()>>> waitingForSpeech;
    // Ends the speech under way: runs what waited for it.
    void finishSpeech();
};

class FakeSpeechVoice : public SpeechVoice
{
public:
    FakeSpeechVoice(SpeechLog &log, QStringList voices, int id);
    ~FakeSpeechVoice() override;

    QStringList voices() const override;
    void setVoice(int position) override;
    void setVolume(int volume) override;
    void setRate(int rate) override;
    void speak(const QString &text) override;
    void speakAndWait(const QString &text) override;
    void whenSpoken(std::function<void()> then) override;

    int id() const { return m_id; }

private:
    void log(const QString &call);

    SpeechLog &m_log;
    QStringList m_voices;
    int m_id;
};

// Voices are numbered from 1 in creation order; calls are logged as
// "<id>:<call>", e.g. "3:speak(cat)".
class FakeSpeechEngine : public SpeechEngine
{
public:
    std::unique_ptr<SpeechVoice> createVoice() override;
    // Runs `then` at once, or when finishStart() ends a start still under way.
    void whenStarted(QObject *context, std::function<void()> then) override;
    // Asks the engine anew; the window's thread waits for the answer, with
    // the busy hook told, and whileListing runs during that wait.
    QStringList voicesAnew() override;
    bool voicesPending() const override { return starting; }
    // Ends the start under way, working or failed, and runs what waited for it.
    void finishStart(bool works);

    QStringList voiceNames{QStringLiteral("English (America)"), QStringLiteral("English (Great Britain)")};
    bool broken = false; // createVoice throws, once no start is under way
    // A start under way: voices are made, and fail only once it has failed.
    bool starting = false;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> waitingForStart;
    SpeechLog log;
    int created = 0;
    int listings = 0; // voicesAnew() calls
    std::function<void(bool)> busy = [](bool) {};
    std::function<void()> whileListing;
};

class FakeSoundPlayer : public SoundPlayer
{
public:
    void setVolume(int volume) override { calls.append(QStringLiteral("volume(%1)").arg(volume)); }
    PlayState playState() const override { return state; }
    void stop() override
    {
        calls.append(QStringLiteral("stop"));
        state = PlayState::Stopped;
    }
    void setSource(const QString &path) override { calls.append(QStringLiteral("source(%1)").arg(path)); }
    void play() override
    {
        calls.append(QStringLiteral("play"));
        state = PlayState::Playing;
    }
    void close() override { calls.append(QStringLiteral("close")); }

    QStringList calls;
    PlayState state = PlayState::Stopped;
};

// Returns the numbers it is given, in turn, then starts over.
class ScriptedRandom : public RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values) : m_values(std::move(values)) { }
    double next() override;

private:
    QList<double> m_values;
    qsizetype m_next = 0;
};

// The pauses within a prompt, run when the test says.
class ManualPauses : public PauseClock
{
public:
    void start(int ms, std::function<void()> due) override
    {
        started.append(ms);
        m_due = std::move(due);
    }
    void cancel() override { m_due = {}; }
    bool pending() const { return bool(m_due); }
    // Ends the pause under way; false when there is none.
    bool elapse()
    {
        const std::function<void()> due = std::exchange(m_due, {});
        if (due)
            due();
        return bool(due);
    }

    QList<int> started; // the length of each pause started
private:
    std::function<void()> m_due;
};

// Records the waits asked for and returns at once, after one turn of the
// event loop, as a real wait would give.
class FakeDelay : public Delay
{
public:
    void pause(double seconds) override;

    QList<double> pauses;
    // Runs inside each wait, as the user's input would arrive during it.
    std::function<void()> whilePaused;
};
