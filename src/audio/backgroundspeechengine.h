// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/speechbackend.h"
#include "audio/speechengine.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace BackgroundSpeech {
class Core;
}

// How long the window's thread waits for the engine thread.
struct SpeechLimits
{
    int startMs = 20000; // an engine start
    int answerMs = 3000; // any other request
    int speechBeginMs = 5000; // speakAndWait: speech under way
    int speechEndMs = 60000; // speakAndWait: speech over
    int exitMs = 1000; // engine threads ending when the engine goes
};

// Speech progress as the engine thread reports it, on the window's thread.
class SpeechMonitor : public QObject
{
    Q_OBJECT

signals:
    void began();
    void ended();
    void failed(const QString &problem);
};

// A speech engine on a thread of its own, so that the window's thread never
// waits on the engine.
//
// The engine starts on its thread as this object is made (with
// speech-dispatcher that takes seconds), while the program builds its windows.
// Requests go to the engine thread as queued calls and run there in order;
// a word handed over before the engine is ready is spoken once it is.
// Requests that need no answer (speak, stop, volume, rate) never wait. The
// voice list is read once per start and kept here; asking for it while the
// engine starts, making a voice after a failed start, voicesAnew() and
// speakAndWait() wait in a local event loop (the windows keep painting; the
// busy hook shows it), each with a time limit.
//
// An engine that does not answer in time is let go: the request that noticed
// throws Failure ("The speech engine is not responding"), and the next one
// starts a fresh engine on a new thread. A thread stuck in the engine is never
// destroyed while it runs; threadsRunning() tells the program whether it must
// end without waiting for it.
class BackgroundSpeechEngine : public SpeechEngine
{
public:
    using Limits = SpeechLimits;
    // Told true when the window's thread begins waiting for the engine, false
    // when it stops.
    using BusyHook = std::function<void(bool)>;

    explicit BackgroundSpeechEngine(SpeechBackendFactory factory, Limits limits = {}, BusyHook busy = {});
    ~BackgroundSpeechEngine() override;
    BackgroundSpeechEngine(const BackgroundSpeechEngine &) = delete;
    BackgroundSpeechEngine &operator=(const BackgroundSpeechEngine &) = delete;

    std::unique_ptr<SpeechVoice> createVoice() override;
    void whenStarted(QObject *context, std::function<void()> then) override;
    QStringList voicesAnew() override;

    // The name of the engine in use; waits for its start, throws Failure
    // when none works.
    QString engineName();
    bool speaking() const;
    void setLimits(const Limits &limits);
    SpeechMonitor &monitor();

    // Engine threads of every engine of this kind still running.
    static int threadsRunning();

private:
    std::shared_ptr<BackgroundSpeech::Core> m_core;
};
