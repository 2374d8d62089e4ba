// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/speechengine.h"

#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

// The speech engine, made only when start() is called: main() calls it once
// the main window has been painted. Starting the engine spawns the speech
// daemon and its voice modules, which on a machine of two cores take the
// processor from the window's first paint; the start takes seconds either
// way, so beginning it a few milliseconds later costs nothing.
//
// Until then this is an engine whose start is under way: what waits for the
// start (whenStarted) waits for the real engine's start, and a voice made
// meanwhile makes its real voice when first told anything. Asking for the
// voices anew starts the engine at once.
class DeferredSpeechEngine : public SpeechEngine
{
public:
    using Factory = std::function<std::unique_ptr<SpeechEngine>()>;

    explicit DeferredSpeechEngine(Factory factory);
    ~DeferredSpeechEngine() override;
    DeferredSpeechEngine(const DeferredSpeechEngine &) = delete;
    DeferredSpeechEngine &operator=(const DeferredSpeechEngine &) = delete;

    // Makes the real engine, if not made yet, and hands it what waited.
    void start();
    bool started() const { return m_engine != nullptr; }
    // The real engine, made now when it is not made yet.
    SpeechEngine &engine();

    std::unique_ptr<SpeechVoice> createVoice() override;
    void whenStarted(QObject *context, std::function<void()> then) override;
    QStringList voicesAnew() override;
    bool voicesPending() const override;

private:
    Factory m_factory;
    std::unique_ptr<SpeechEngine> m_engine;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> m_waiting;
};

// Calls engine.start() once `window` has been painted for the first time, or
// after `latestMs` when it is not painted by then (a minimised start).
void startAfterFirstPaint(DeferredSpeechEngine &engine, QObject &window, int latestMs = 1000);
