// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpersupervisor.h"

#include "core/failure.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

Failure notResponding()
{
    return Failure(u"The speech engine is not responding"_s);
}

} // namespace

struct HelperSupervisor::Wait
{
    QEventLoop loop;
    bool woken = false;
    bool timedOut = false;
};

HelperSupervisor::HelperSupervisor(SpeechHelper helper, SpeechLimits limits, HelperSpeechEngine::BusyHook busy)
    : limits(limits), m_helper(std::move(helper)), m_busy(std::move(busy))
{
    m_wordWatch.setSingleShot(true);
    QObject::connect(&m_wordWatch, &QTimer::timeout, &monitor, [this] { watchWord(); });
}

std::shared_ptr<HelperSession> HelperSupervisor::start()
{
    ++helpersStarted;
    return std::make_shared<HelperSession>(*this, m_helper);
}

int HelperSupervisor::helpersRunning() const
{
    int running = 0;
    for (const QPointer<QProcess> &process : m_processes)
        running += process && process->state() != QProcess::NotRunning;
    return running;
}

std::shared_ptr<HelperSession> HelperSupervisor::fresh()
{
    std::shared_ptr<HelperSession> session = std::move(m_spare);
    if (!session || session->state != HelperSession::State::Ready || session->dead || session->broken) {
        if (session)
            letGo(session, true);
        session = start();
    }
    return session;
}

void HelperSupervisor::keepSpare()
{
    if (m_helper.keepSpare && !m_spare && !m_ended && current && current->state == HelperSession::State::Ready
        && !current->dead)
        m_spare = start();
}

void HelperSupervisor::ready(const QStringList &voices)
{
    m_lastVoices = voices;
    // Later: the helper that is ready may yet become the one in use.
    QTimer::singleShot(0, &monitor, [this] { keepSpare(); });
}

int HelperSupervisor::helpersReady() const
{
    int ready = 0;
    for (const auto &session : {current, m_spare})
        ready += session && session->state == HelperSession::State::Ready && !session->dead;
    return ready;
}

std::shared_ptr<HelperSession> HelperSupervisor::use(bool waitForStart)
{
    if (m_ended)
        throw notResponding();
    if (m_unreported) {
        m_unreported = false;
        throw notResponding();
    }
    // A helper that lost its sound output is replaced without a word: the
    // sound server went away, and a fresh helper connects to it again.
    if (current && current->dead && current->outputLost) {
        letGo(current, true);
        if (m_spare)
            letGo(m_spare, true);
    }
    if (current && current->state != HelperSession::State::Failed && (current->dead || current->overdue(limits))) {
        letGo(current, true);
        throw notResponding();
    }
    if (!current) {
        current = fresh();
        keepSpare();
    }
    std::shared_ptr<HelperSession> session = current;
    if (waitForStart && session->state == HelperSession::State::Starting
        && !waitFor([&] { return session->state != HelperSession::State::Starting || session->dead; },
                    limits.startMs)) {
        if (current == session)
            letGo(current, true);
        throw notResponding();
    }
    if (session->state == HelperSession::State::Failed || session->broken) {
        const QString why = session->problem;
        if (current == session)
            letGo(current, false);
        throw Failure(why);
    }
    if (session->dead) {
        if (current == session)
            letGo(current, true);
        throw notResponding();
    }
    return session;
}

QStringList HelperSupervisor::voices()
{
    const std::shared_ptr<HelperSession> session = use(!m_lastVoices);
    if (session->state == HelperSession::State::Ready)
        return session->voices;
    return m_lastVoices.value_or(QStringList());
}

std::optional<qsizetype> HelperSupervisor::knownVoiceCount() const
{
    if (current && current->state == HelperSession::State::Ready)
        return current->voices.size();
    if (m_lastVoices)
        return m_lastVoices->size();
    return std::nullopt;
}

bool HelperSupervisor::voicesPending() const
{
    return !m_lastVoices && current && current->state == HelperSession::State::Starting && !current->dead;
}

std::pair<quint64, quint64> HelperSupervisor::speak(const void *voice, const QString &text,
                                                    const VoiceSettings &settings, bool handOn)
{
    const std::shared_ptr<HelperSession> session = use(false);
    forget(voice);
    const quint64 utterance = ++m_utterances;
    const QList<QByteArray> word{QByteArray::number(utterance), QByteArray::number(settings.position),
                                 QByteArray::number(settings.volume), QByteArray::number(settings.rate), text.toUtf8()};
    const quint64 request = session->post("speak", word);
    session->unheardWord.reset();
    if (handOn) {
        session->unheardWord = HelperSession::Word{utterance, word, request};
        watchWord();
    }
    m_lastSpeaker = voice;
    m_lastSession = session;
    return {utterance, request};
}

void HelperSupervisor::lost(const HelperSession *session)
{
    QTimer::singleShot(0, &monitor, [this, session] {
        // A spare that ends unused is not replaced: something is wrong with
        // the helper itself, and the one in use still serves.
        if (m_spare && m_spare.get() == session && m_spare->dead)
            letGo(m_spare, true);
        if (!current || current.get() != session || !current->dead)
            return;
        const bool handOn = !current->handedOn && current->unheardWord;
        // One that lost its sound output is no fault of its own: its
        // successor starts at once, so the first word after the sound server
        // returns need not wait for a start.
        if (!handOn && !current->outputLost)
            return;
        const std::optional<HelperSession::Word> word = handOn ? current->unheardWord : std::nullopt;
        if (handOn && !current->outputLost)
            m_unreported = true;
        // The spare lost its sound output as well, only it does not know yet.
        if (current->outputLost && m_spare)
            letGo(m_spare, true);
        letGo(current, true);
        current = fresh();
        keepSpare();
        if (word) {
            current->handedOn = true;
            current->unheardWord = word;
            current->unheardWord->number = current->post("speak", word->request);
            m_lastSession = current;
            watchWord();
        }
    });
}

void HelperSupervisor::watchWord()
{
    const std::optional<qint64> left = current ? current->wordTimeLeft(limits) : std::nullopt;
    if (!left)
        return;
    if (*left > 0)
        m_wordWatch.start(int(*left));
    else
        current->notAnswering();
}

void HelperSupervisor::speakAndWait(const void *voice, const QString &text, const VoiceSettings &settings)
{
    // Named, not bound: lambdas below capture them.
    const std::pair<quint64, quint64> spoken = speak(voice, text, settings, false);
    const quint64 utterance = spoken.first;
    const quint64 request = spoken.second;
    const std::shared_ptr<HelperSession> session = m_lastSession.lock();
    const auto mine = [&] { return session->heardUtterance == utterance; };
    const auto over = [&] {
        return session->dead || session->broken || (mine() && (session->ended || !session->speechProblem.isEmpty()));
    };
    const auto giveUp = [&] {
        if (current == session)
            letGo(current, true);
        return notResponding();
    };
    const int beginLimit
        = limits.speechBeginMs + (session->state == HelperSession::State::Starting ? limits.startMs : 0);
    QString problem;
    if (!waitFor([&] { return over() || (mine() && session->began); }, beginLimit)) {
        if (!session->answered(request))
            throw giveUp();
        problem = u"speech did not begin"_s;
    } else if (!waitFor(over, limits.speechEndMs)) {
        problem = u"speech did not end in time"_s;
    } else if (session->dead && !(session->outputLost && mine())) {
        throw giveUp();
    } else if (session->broken) {
        problem = session->problem;
    } else if (!session->speechProblem.isEmpty()) {
        problem = session->speechProblem;
    }
    if (!problem.isEmpty()) {
        release(voice);
        throw Failure(u"The speech engine could not speak: %1"_s.arg(problem));
    }
}

void HelperSupervisor::whenSpoken(const void *voice, quint64 utterance, std::function<void()> then)
{
    m_listeners.append({voice, utterance, std::move(then)});
}

void HelperSupervisor::forget(const void *voice)
{
    m_listeners.removeIf([voice](const Listener &listener) { return listener.voice == voice; });
}

void HelperSupervisor::adjust(const void *voice, const QByteArray &verb, int value)
{
    if (m_lastSpeaker != voice)
        return;
    if (const auto session = m_lastSession.lock(); session && session == current)
        session->post(verb, {QByteArray::number(value)});
}

void HelperSupervisor::release(const void *voice)
{
    forget(voice);
    if (m_lastSpeaker != voice)
        return;
    m_lastSpeaker = nullptr;
    if (const auto session = m_lastSession.lock(); session && session == current && !session->dead)
        session->post("stop");
}

QStringList HelperSupervisor::voicesAnew()
{
    if (m_ended)
        throw notResponding();
    std::shared_ptr<HelperSession> anew = start();
    if (!waitFor([&] { return anew->state != HelperSession::State::Starting || anew->dead; }, limits.startMs)
        || anew->dead) {
        letGo(anew, true);
        throw notResponding();
    }
    if (anew->state == HelperSession::State::Failed) {
        const QString why = anew->problem;
        letGo(anew, false);
        throw Failure(why);
    }
    if (current)
        letGo(current, false);
    current = anew;
    // The spare listed the voices as they were.
    if (m_spare)
        letGo(m_spare, m_spare->state != HelperSession::State::Ready);
    keepSpare();
    return current->voices;
}

void HelperSupervisor::whenStarted(QObject *context, std::function<void()> then)
{
    if (current && current->state == HelperSession::State::Starting && !current->dead)
        current->afterStart.append({context, std::move(then)});
    else
        then();
}

void HelperSupervisor::letGo(std::shared_ptr<HelperSession> &session, bool abandon)
{
    session->abandonOnRelease = abandon;
    for (auto &[context, then] : session->afterStart) {
        if (context)
            QTimer::singleShot(0, context, then);
    }
    session->afterStart.clear();
    session.reset();
}

bool HelperSupervisor::waitFor(const std::function<bool()> &done, int limitMs)
{
    if (done())
        return true;
    Wait wait;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &wait.loop, [&] {
        wait.timedOut = true;
        wait.loop.quit();
    });
    limit.start(limitMs);
    m_waits.append(&wait);
    if (m_busy)
        m_busy(true);
    bool ending = false;
    while (!done() && !wait.timedOut && !m_ended) {
        wait.woken = false;
        wait.loop.exec();
        // Quit from outside: the program is ending.
        if (!wait.woken && !wait.timedOut) {
            ending = true;
            break;
        }
    }
    m_waits.removeOne(&wait);
    if (m_busy)
        m_busy(false);
    if (ending && !done())
        throw ProgramEnding();
    return done();
}

void HelperSupervisor::wake()
{
    for (Wait *wait : std::as_const(m_waits)) {
        wait->woken = true;
        wait->loop.quit();
    }
}

void HelperSupervisor::progress(HelperSession &session, quint64 utterance, SpeechProgress progress,
                                const QString &problem)
{
    // A word that failed was not heard: a fresh helper speaks it when this
    // one ends over it.
    if (progress != SpeechProgress::Failed && session.unheardWord && session.unheardWord->utterance == utterance)
        session.unheardWord.reset();
    if (session.heardUtterance != utterance) {
        session.heardUtterance = utterance;
        session.began = false;
        session.ended = false;
        session.speechProblem.clear();
    }
    switch (progress) {
    case SpeechProgress::Began:
        session.began = true;
        speaking = true;
        emit monitor.began();
        break;
    case SpeechProgress::Ended:
        session.ended = true;
        speaking = false;
        emit monitor.ended();
        break;
    case SpeechProgress::Failed:
        session.speechProblem = problem.isEmpty() ? u"unknown error"_s : problem;
        speaking = false;
        emit monitor.failed(session.speechProblem);
        break;
    }
    if (progress != SpeechProgress::Began) {
        // Run after this report is handled: they may speak again.
        for (qsizetype i = 0; i < m_listeners.size();) {
            if (m_listeners[i].utterance == utterance)
                QTimer::singleShot(0, &monitor, m_listeners.takeAt(i).then);
            else
                ++i;
        }
    }
    wake();
}

void HelperSupervisor::shutDown()
{
    m_ended = true;
    m_listeners.clear();
    wake();
    if (current) {
        current->afterStart.clear();
        // One still starting has nothing to stop and would read its
        // closed input only once started.
        letGo(current, current->state != HelperSession::State::Ready);
    }
    if (m_spare)
        letGo(m_spare, m_spare->state != HelperSession::State::Ready);
    const QDeadlineTimer deadline(limits.exitMs);
    for (const QPointer<QProcess> &process : std::as_const(m_processes)) {
        if (process && process->state() != QProcess::NotRunning
            && !process->waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
            process->kill();
            process->waitForFinished(limits.exitMs);
        }
        delete process.data();
    }
    m_processes.clear();
}
