// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/speechengine.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class HelperSupervisor;

// How long the window's thread waits for the speech helper.
struct SpeechLimits
{
    int startMs = 20000; // a helper's start, engine included
    int answerMs = 3000; // any other request
    int speechBeginMs = 5000; // speakAndWait: speech under way
    // speak: a word neither answered nor begun by a ready helper; a frozen
    // helper is let go and a fresh one speaks the word
    int wordBeginMs = 2500;
    int speechEndMs = 60000; // speakAndWait: speech over
    int exitMs = 1000; // helpers ending when the engine goes
};

// The program that speaks for the engine and its arguments.
struct SpeechHelper
{
    QString program;
    QStringList arguments;
    // Keep a second helper started beside the one in use, so that a word
    // the one in use loses is spoken at once instead of after a start (with
    // speech-dispatcher, seconds for listing its voices).
    bool keepSpare = false;

    // This program's own helper, lexidrill-speech: beside the program when
    // that has one, as in a build, else in the folder the installation puts
    // it in, relative to the program's own. `engines`: Qt's engines for it to
    // try in order; empty for the helper's choice (speechhelper/qtspeechbackend.h).
    static SpeechHelper ofProgram(QStringList engines = {});
};

// Speech progress as the helper reports it.
class SpeechMonitor : public QObject
{
    Q_OBJECT

signals:
    void began();
    void ended();
    void failed(const QString &problem);
};

// The speech engine in a helper process of its own (speechhelper/, spoken to
// in the frames of speechprotocol/speechprotocol.h), so that nothing the
// engine does -- crash, freeze, hang in its library -- can crash the program
// or hold its window's thread.
//
// The helper starts as this object is made, and with speech-dispatcher its
// start takes a second or two; the program makes it once its main window
// has been painted (DeferredSpeechEngine). Requests go to the helper over its
// standard input and run there in order; a word handed over before the
// engine is ready is spoken once it is. Requests that need no answer (making
// a voice, choosing one, speak, stop, volume, rate) never wait. The voice
// list is read once per start and kept here, also for the helpers that
// follow; only the first list, voicesAnew() and speakAndWait() wait, in a
// local event loop (the windows keep painting; the busy hook shows it), each
// with a time limit.
//
// A helper that dies, writes a damaged frame or does not answer in time is
// let go (killed): the request that notices throws Failure ("The speech
// engine is not responding") once, and the next request starts a fresh
// helper. A word handed over with speak() that the helper lost, or left
// unanswered and unspoken for SpeechLimits::wordBeginMs, is spoken by a fresh
// helper at once, and the next request reports the fault. With
// SpeechHelper::keepSpare that fresh helper is the spare, already started
// while the one in use was ready, and a new spare starts. Helpers are killed
// when the engine goes.
class HelperSpeechEngine : public SpeechEngine
{
public:
    // Told true when the window's thread begins waiting for the helper, false
    // when it stops.
    using BusyHook = std::function<void(bool)>;

    explicit HelperSpeechEngine(SpeechHelper helper, SpeechLimits limits = {}, BusyHook busy = {});
    ~HelperSpeechEngine() override;
    HelperSpeechEngine(const HelperSpeechEngine &) = delete;
    HelperSpeechEngine &operator=(const HelperSpeechEngine &) = delete;

    std::unique_ptr<SpeechVoice> createVoice() override;
    void whenStarted(QObject *context, std::function<void()> then) override;
    QStringList voicesAnew() override;
    bool voicesPending() const override;

    // The name of the engine in use; waits for its start, throws Failure
    // when none works.
    QString engineName();
    bool speaking() const;
    void setLimits(const SpeechLimits &limits);
    SpeechMonitor &monitor();
    // Helper processes started so far and those still running.
    int helpersStarted() const;
    int helpersRunning() const;
    // Helper processes that have started and are not lost.
    int helpersReady() const;

private:
    std::shared_ptr<HelperSupervisor> m_supervisor;
};
