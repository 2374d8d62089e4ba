// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/helperspeechengine.h"
#include "speechprotocol/speechprotocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

class HelperSupervisor;

// The window's side of one helper process: starts it, sends it requests and
// reads what it answers. HelperSupervisor decides what to do about it.
class HelperSession
{
public:
    enum class State { Starting, Ready, Failed };

    HelperSession(HelperSupervisor &supervisor, const SpeechHelper &helper);
    ~HelperSession();
    HelperSession(const HelperSession &) = delete;
    HelperSession &operator=(const HelperSession &) = delete;

    // Sends a request; returns its number.
    quint64 post(const QByteArray &verb, QList<QByteArray> fields = {});
    // A request has waited past its limit for the helper.
    bool overdue(const SpeechLimits &limits);
    bool answered(quint64 request) const { return m_answered >= request; }
    // How long the helper may still leave the unheard word unanswered and
    // unspoken (while it starts, until the start's limit); nullopt when there
    // is nothing to wait for.
    std::optional<qint64> wordTimeLeft(const SpeechLimits &limits) const;
    // Lets a helper that does not answer go as one that died.
    void notAnswering();

    State state = State::Starting;
    bool dead = false; // died, damaged its output or was killed
    bool broken = false; // the engine can no longer speak
    bool outputLost = false; // ended as its sound output was lost; no fault of its own
    QString problem; // why it failed or broke
    QString name;
    QStringList voices;
    // Progress of the text handed over last.
    quint64 heardUtterance = 0;
    bool began = false;
    bool ended = false;
    QString speechProblem;
    // Runs once the start has ended.
    QList<std::pair<QPointer<QObject>, std::function<void()>>> afterStart;
    bool abandonOnRelease = false;
    // The word handed over last, until its speech is heard of: a fresh
    // helper speaks it when this one is lost first.
    struct Word
    {
        quint64 utterance = 0;
        QList<QByteArray> request;
        quint64 number = 0; // the request's
    };
    std::optional<Word> unheardWord;
    bool handedOn = false; // speaks a word a lost helper left

private:
    void read();
    void handle(const SpeechProtocol::Message &message);
    void fault(const QString &why);
    void startEnded();

    HelperSupervisor &m_supervisor;
    QObject m_receiver; // the context of the process's signals
    QPointer<QProcess> m_process;
    SpeechProtocol::FrameReader m_reader;
    bool m_greeted = false;
    QElapsedTimer m_clock;
    qint64 m_readyAt = 0;
    quint64 m_sent = 0;
    quint64 m_answered = 0;
    QList<std::pair<quint64, qint64>> m_unanswered; // request, posted at
};
