// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/helpersession.h"
#include "audio/helperspeechengine.h"
#include "speechprotocol/speechprogress.h"
#include "speechprotocol/voicesettings.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

// What a HelperSpeechEngine and its voices share: the helper in use and
// those still ending, the voice list, the word spoken last and the window's
// thread's waits. It starts helpers, hands each request to the one in use
// and lets go of one that fails, as HelperSpeechEngine describes.
class HelperSupervisor
{
public:
    HelperSupervisor(SpeechHelper helper, SpeechLimits limits, HelperSpeechEngine::BusyHook busy);

    std::shared_ptr<HelperSession> start();
    // A helper to take over from one that failed: the spare when it is
    // ready, else one started now.
    std::shared_ptr<HelperSession> fresh();
    // Starts a spare when one is kept and the helper in use is ready.
    void keepSpare();
    void adopt(QProcess *process) { m_processes.append(process); }
    int helpersRunning() const;
    int helpersReady() const;

    // The helper to send a request to; starts one when there is none. Waits
    // for a start under way only when `waitForStart`.
    std::shared_ptr<HelperSession> use(bool waitForStart);

    // The voice list: the first one is waited for; later helpers list the
    // same voices, so their start is not.
    QStringList voices();
    std::optional<qsizetype> knownVoiceCount() const;
    void ready(const QStringList &voices);
    bool voicesPending() const;

    // Hands the text over; returns the utterance and the request's number.
    // A word that a helper lost before it was heard is handed on to a fresh
    // one when `handOn`.
    std::pair<quint64, quint64> speak(const void *voice, const QString &text, const VoiceSettings &settings,
                                      bool handOn);
    // A helper died or was killed. When it was the one in use and a word it
    // had was not heard yet, a fresh helper speaks that word at once and the
    // next request reports the fault. A word lost twice is not handed on. A
    // helper that lost its sound output is replaced at once, unreported.
    void lost(const HelperSession *session);
    // Lets the helper in use go when it leaves its unheard word unanswered
    // and unspoken past its limit; else looks again when that limit is due.
    void watchWord();
    void speakAndWait(const void *voice, const QString &text, const VoiceSettings &settings);
    // Runs `then` once the utterance has ended or failed, unless the voice is
    // released or speaks again first.
    void whenSpoken(const void *voice, quint64 utterance, std::function<void()> then);
    // Sends a setting to the helper while this voice is the one speaking.
    void adjust(const void *voice, const QByteArray &verb, int value);
    void release(const void *voice);

    QStringList voicesAnew();
    void whenStarted(QObject *context, std::function<void()> then);

    // Lets the helper go: it ends after the requests already sent, or at
    // once when `abandon` (a helper that does not answer).
    void letGo(std::shared_ptr<HelperSession> &session, bool abandon);
    // Runs a local event loop until `done` holds or `limitMs` has passed;
    // false on time out. Throws ProgramEnding when the program's ending
    // stops the loop first.
    bool waitFor(const std::function<bool()> &done, int limitMs);
    void wake();
    void progress(HelperSession &session, quint64 utterance, SpeechProgress progress, const QString &problem);
    // Lets every helper go, gives them a moment to end and kills those that
    // do not.
    void shutDown();

    std::shared_ptr<HelperSession> current;
    SpeechLimits limits;
    SpeechMonitor monitor;
    bool speaking = false;
    int helpersStarted = 0;

private:
    struct Wait;

    SpeechHelper m_helper;
    HelperSpeechEngine::BusyHook m_busy;
    QList<QPointer<QProcess>> m_processes;
    QList<Wait *> m_waits;
    bool m_ended = false;
    quint64 m_utterances = 0;
    const void *m_lastSpeaker = nullptr;
    std::weak_ptr<HelperSession> m_lastSession;
    std::optional<QStringList> m_lastVoices;
    bool m_unreported = false; // a lost helper's fault, for the next request
    struct Listener
    {
        const void *voice;
        quint64 utterance;
        std::function<void()> then;
    };
    QList<Listener> m_listeners; // whenSpoken's
    void forget(const void *voice);
    QTimer m_wordWatch;
    std::shared_ptr<HelperSession> m_spare;
};
