// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speechprotocol/speechprogress.h"
#include "speechprotocol/voicesettings.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The speech engine as the speech helper drives it. Every call may block for
// as long as the engine takes: only the helper process ever makes them.
class SpeechBackend
{
public:
    // Told how the text handed over last is going.
    using Listener = std::function<void(SpeechProgress, const QString &problem)>;

    virtual ~SpeechBackend() = default;

    // The engine's name ("speechd", "flite"...).
    virtual QString name() const = 0;
    // Every voice, in list order, with readable names; the list is read once,
    // when the engine has started.
    virtual QStringList voices() = 0;
    // Ends what is being said and hands over `text`; throws Failure when the
    // engine can no longer speak at all.
    virtual void speak(const QString &text, const VoiceSettings &settings) = 0;
    virtual void stop() = 0;
    virtual void setVolume(int volume) = 0;
    virtual void setRate(int rate) = 0;
    // True once a word failed because the sound output is lost for good.
    virtual bool outputLost() const { return false; }

    void setListener(Listener listener) { m_listener = std::move(listener); }

protected:
    void report(SpeechProgress progress, const QString &problem = {})
    {
        if (m_listener)
            m_listener(progress, problem);
    }

private:
    Listener m_listener;
};

// Starts an engine; throws Failure when none works.
using SpeechBackendFactory = std::function<std::unique_ptr<SpeechBackend>()>;
