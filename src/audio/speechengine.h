// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QObject;

// One voice object of the speech engine. Destroying it ends any speech still
// under way on it. Every operation throws Failure when the engine refuses.
class SpeechVoice
{
public:
    virtual ~SpeechVoice() = default;
    // Every voice the engine offers, in an order that stays the same between
    // calls while no voice is installed or removed, each with a readable name.
    virtual QStringList voices() const = 0;
    // Chooses the voice at that position of voices().
    virtual void setVoice(int position) = 0;
    virtual void setVolume(int volume) = 0; // 0 silent .. 100 loudest
    virtual void setRate(int rate) = 0; // -10 slowest .. 0 normal .. 10 fastest
    // Hands the text to the engine and returns at once.
    virtual void speak(const QString &text) = 0;
    // Returns when the text has been spoken.
    virtual void speakAndWait(const QString &text) = 0;
    // Runs `then` later on this thread once the text handed over last with
    // speak() has been spoken or has failed; not at all when this voice is
    // gone or speaks again first, or its speech is lost with the engine. A
    // voice that cannot tell never runs it.
    virtual void whenSpoken(std::function<void()> /*then*/) { }
};

class SpeechEngine
{
public:
    virtual ~SpeechEngine() = default;
    // A new voice with the engine's default voice, volume and rate; throws
    // Failure when no engine works.
    virtual std::unique_ptr<SpeechVoice> createVoice() = 0;
    // Runs `then` once the engine's start has ended, worked or not: at once
    // when it is not starting, else later on this thread (not at all when
    // `context` is gone by then).
    virtual void whenStarted(QObject *context, std::function<void()> then) = 0;
    // Asks the engine for its voices anew, so that voices installed or
    // removed since it started show; later voices() calls give this list.
    virtual QStringList voicesAnew() = 0;
    // True while the first voice list is still on its way with the engine's
    // start: voices() would wait for it.
    virtual bool voicesPending() const { return false; }
};
