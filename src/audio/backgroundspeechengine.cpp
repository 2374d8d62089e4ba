// SPDX-License-Identifier: GPL-3.0-or-later
#include "backgroundspeechengine.h"

#include "core/failure.h"
#include "speechprotocol/speechprogress.h"
#include "speechprotocol/speechprotocol.h"
#include "speechprotocol/voicesettings.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;
using namespace SpeechProtocol;

namespace {

Failure notResponding()
{
    return Failure(u"The speech engine is not responding"_s);
}

constexpr qint64 kMaxId = std::numeric_limits<qint64>::max();

} // namespace

namespace BackgroundSpeech {

class Core;

// The window's side of one helper process.
class Session
{
public:
    enum class State { Starting, Ready, Failed };

    Session(Core &core, const SpeechHelper &helper);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Sends a request; returns its number.
    quint64 post(const QByteArray &verb, QList<QByteArray> fields = {})
    {
        const quint64 request = ++m_sent;
        m_unanswered.append({request, m_clock.elapsed()});
        fields.prepend(QByteArray::number(request));
        if (m_process && m_process->state() != QProcess::NotRunning)
            m_process->write(encode(verb, fields));
        return request;
    }
    // A request has waited past its limit for the helper.
    bool overdue(const BackgroundSpeechEngine::Limits &limits);
    bool answered(quint64 request) const { return m_answered >= request; }

    State state = State::Starting;
    bool dead = false; // died, damaged its output or was killed
    bool broken = false; // the engine can no longer speak
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
    };
    std::optional<Word> unheardWord;
    bool handedOn = false; // speaks a word a lost helper left

private:
    void read();
    void handle(const Message &message);
    void fault(const QString &why);
    void startEnded();

    Core &m_core;
    QObject m_receiver; // the context of the process's signals
    QPointer<QProcess> m_process;
    FrameReader m_reader;
    bool m_greeted = false;
    QElapsedTimer m_clock;
    qint64 m_readyAt = 0;
    quint64 m_sent = 0;
    quint64 m_answered = 0;
    QList<std::pair<quint64, qint64>> m_unanswered; // request, posted at
};

class Core
{
public:
    Core(SpeechHelper helper, BackgroundSpeechEngine::Limits limits, BackgroundSpeechEngine::BusyHook busy)
        : limits(limits), m_helper(std::move(helper)), m_busy(std::move(busy))
    { }

    std::shared_ptr<Session> start()
    {
        ++helpersStarted;
        return std::make_shared<Session>(*this, m_helper);
    }

    void adopt(QProcess *process) { m_processes.append(process); }

    int helpersRunning() const
    {
        int running = 0;
        for (const QPointer<QProcess> &process : m_processes)
            running += process && process->state() != QProcess::NotRunning;
        return running;
    }

    // The helper to send a request to; starts one when there is none. Waits
    // for a start under way only when `waitForStart`.
    std::shared_ptr<Session> use(bool waitForStart)
    {
        if (m_ended)
            throw notResponding();
        if (m_unreported) {
            m_unreported = false;
            throw notResponding();
        }
        if (current && current->state != Session::State::Failed && (current->dead || current->overdue(limits))) {
            letGo(current, true);
            throw notResponding();
        }
        if (!current)
            current = start();
        std::shared_ptr<Session> session = current;
        if (waitForStart && session->state == Session::State::Starting
            && !waitFor([&] { return session->state != Session::State::Starting || session->dead; }, limits.startMs)) {
            if (current == session)
                letGo(current, true);
            throw notResponding();
        }
        if (session->state == Session::State::Failed || session->broken) {
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

    // The voice list: the first one is waited for; later helpers list the
    // same voices, so their start is not.
    QStringList voices()
    {
        const std::shared_ptr<Session> session = use(!m_lastVoices);
        if (session->state == Session::State::Ready)
            return session->voices;
        return m_lastVoices.value_or(QStringList());
    }

    std::optional<qsizetype> knownVoiceCount() const
    {
        if (current && current->state == Session::State::Ready)
            return current->voices.size();
        if (m_lastVoices)
            return m_lastVoices->size();
        return std::nullopt;
    }

    void ready(const QStringList &voices) { m_lastVoices = voices; }

    bool voicesPending() const
    {
        return !m_lastVoices && current && current->state == Session::State::Starting && !current->dead;
    }

    // Hands the text over; returns the utterance and the request's number.
    // A word that a helper lost before it was heard is handed on to a fresh
    // one when `handOn`.
    std::pair<quint64, quint64> speak(const void *voice, const QString &text, const VoiceSettings &settings,
                                      bool handOn)
    {
        const std::shared_ptr<Session> session = use(false);
        const quint64 utterance = ++m_utterances;
        const QList<QByteArray> word{QByteArray::number(utterance), QByteArray::number(settings.position),
                                     QByteArray::number(settings.volume), QByteArray::number(settings.rate),
                                     text.toUtf8()};
        const quint64 request = session->post("speak", word);
        session->unheardWord.reset();
        if (handOn)
            session->unheardWord = Session::Word{utterance, word};
        m_lastSpeaker = voice;
        m_lastSession = session;
        return {utterance, request};
    }

    // A helper died or was killed. When it was the one in use and a word it
    // had was not heard yet, a fresh helper speaks that word at once and the
    // next request reports the fault. A word lost twice is not handed on.
    void lost(const Session *session)
    {
        QTimer::singleShot(0, &monitor, [this, session] {
            if (!current || current.get() != session || !current->dead || current->handedOn || !current->unheardWord)
                return;
            const QList<QByteArray> word = current->unheardWord->request;
            const quint64 utterance = current->unheardWord->utterance;
            letGo(current, true);
            current = start();
            current->handedOn = true;
            current->post("speak", word);
            current->unheardWord = Session::Word{utterance, word};
            m_lastSession = current;
            m_unreported = true;
        });
    }

    void speakAndWait(const void *voice, const QString &text, const VoiceSettings &settings)
    {
        // Named, not bound: lambdas below capture them.
        const std::pair<quint64, quint64> spoken = speak(voice, text, settings, false);
        const quint64 utterance = spoken.first;
        const quint64 request = spoken.second;
        const std::shared_ptr<Session> session = m_lastSession.lock();
        const auto mine = [&] { return session->heardUtterance == utterance; };
        const auto over = [&] {
            return session->dead || session->broken
                || (mine() && (session->ended || !session->speechProblem.isEmpty()));
        };
        const auto giveUp = [&] {
            if (current == session)
                letGo(current, true);
            return notResponding();
        };
        const int beginLimit = limits.speechBeginMs + (session->state == Session::State::Starting ? limits.startMs : 0);
        QString problem;
        if (!waitFor([&] { return over() || (mine() && session->began); }, beginLimit)) {
            if (!session->answered(request))
                throw giveUp();
            problem = u"speech did not begin"_s;
        } else if (!waitFor(over, limits.speechEndMs)) {
            problem = u"speech did not end in time"_s;
        } else if (session->dead) {
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

    // Sends a setting to the helper while this voice is the one speaking.
    void adjust(const void *voice, const QByteArray &verb, int value)
    {
        if (m_lastSpeaker != voice)
            return;
        if (const auto session = m_lastSession.lock(); session && session == current)
            session->post(verb, {QByteArray::number(value)});
    }

    void release(const void *voice)
    {
        if (m_lastSpeaker != voice)
            return;
        m_lastSpeaker = nullptr;
        if (const auto session = m_lastSession.lock(); session && session == current && !session->dead)
            session->post("stop");
    }

    QStringList voicesAnew()
    {
        if (m_ended)
            throw notResponding();
        std::shared_ptr<Session> fresh = start();
        if (!waitFor([&] { return fresh->state != Session::State::Starting || fresh->dead; }, limits.startMs)
            || fresh->dead) {
            letGo(fresh, true);
            throw notResponding();
        }
        if (fresh->state == Session::State::Failed) {
            const QString why = fresh->problem;
            letGo(fresh, false);
            throw Failure(why);
        }
        if (current)
            letGo(current, false);
        current = fresh;
        return current->voices;
    }

    void whenStarted(QObject *context, std::function<void()> then)
    {
        if (current && current->state == Session::State::Starting && !current->dead)
            current->afterStart.append({context, std::move(then)});
        else
            then();
    }

    // Lets the helper go: it ends after the requests already sent, or at
    // once when `abandon` (a helper that does not answer).
    void letGo(std::shared_ptr<Session> &session, bool abandon)
    {
        session->abandonOnRelease = abandon;
        for (auto &[context, then] : session->afterStart) {
            if (context)
                QTimer::singleShot(0, context, then);
        }
        session->afterStart.clear();
        session.reset();
    }

    // Runs a local event loop until `done` holds or `limitMs` has passed;
    // false on time out. Throws ProgramEnding when the program's ending
    // stops the loop first.
    bool waitFor(const std::function<bool()> &done, int limitMs)
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

    void wake()
    {
        for (Wait *wait : std::as_const(m_waits)) {
            wait->woken = true;
            wait->loop.quit();
        }
    }

    void progress(Session &session, quint64 utterance, SpeechProgress progress, const QString &problem)
    {
        if (session.unheardWord && session.unheardWord->utterance == utterance)
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
        wake();
    }

    // Lets every helper go, gives them a moment to end and kills those that
    // do not.
    void shutDown()
    {
        m_ended = true;
        wake();
        if (current) {
            current->afterStart.clear();
            // One still starting has nothing to stop and would read its
            // closed input only once started.
            letGo(current, current->state != Session::State::Ready);
        }
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

    std::shared_ptr<Session> current;
    BackgroundSpeechEngine::Limits limits;
    SpeechMonitor monitor;
    bool speaking = false;
    int helpersStarted = 0;

private:
    struct Wait
    {
        QEventLoop loop;
        bool woken = false;
        bool timedOut = false;
    };

    SpeechHelper m_helper;
    BackgroundSpeechEngine::BusyHook m_busy;
    QList<QPointer<QProcess>> m_processes;
    QList<Wait *> m_waits;
    bool m_ended = false;
    quint64 m_utterances = 0;
    const void *m_lastSpeaker = nullptr;
    std::weak_ptr<Session> m_lastSession;
    std::optional<QStringList> m_lastVoices;
    bool m_unreported = false; // a lost helper's fault, for the next request
};

Session::Session(Core &core, const SpeechHelper &helper) : m_core(core), m_process(new QProcess)
{
    m_clock.start();
    m_core.adopt(m_process);
    // The helper's own messages (the engine's warnings) go where the
    // program's go.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(m_process, &QProcess::readyReadStandardOutput, &m_receiver, [this] { read(); });
    QObject::connect(m_process, &QProcess::finished, &m_receiver, [this](int code, QProcess::ExitStatus status) {
        read();
        fault(status == QProcess::CrashExit ? u"the speech helper crashed"_s
                                            : u"the speech helper ended with code %1"_s.arg(code));
    });
    QObject::connect(m_process, &QProcess::errorOccurred, &m_receiver, [this](QProcess::ProcessError error) {
        // A helper that is missing or cannot run is a failed start.
        if (error == QProcess::FailedToStart && state == State::Starting && !dead) {
            problem = u"The speech helper %1 could not be started: %2"_s.arg(m_process->program(),
                                                                             m_process->errorString());
            state = State::Failed;
            startEnded();
        }
    });
    m_process->start(helper.program, helper.arguments);
}

Session::~Session()
{
    QProcess *process = m_process;
    if (!process)
        return;
    QObject::disconnect(process, nullptr, &m_receiver, nullptr);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // A closed input ends the helper once it has stopped speaking.
    process->closeWriteChannel();
    if (abandonOnRelease)
        process->kill();
    else
        QTimer::singleShot(m_core.limits.exitMs, process, &QProcess::kill);
}

void Session::read()
{
    if (!m_process || dead)
        return;
    m_reader.feed(m_process->readAllStandardOutput());
    while (const std::optional<Message> message = m_reader.next()) {
        handle(*message);
        if (dead)
            return;
    }
    if (m_reader.damaged())
        fault(u"the speech helper wrote %1"_s.arg(m_reader.problem()));
}

void Session::handle(const Message &message)
{
    const auto damaged
        = [&] { fault(u"the speech helper wrote a malformed \"%1\" frame"_s.arg(QString::fromLatin1(message.verb))); };
    const QByteArray &verb = message.verb;
    if (!m_greeted) {
        const std::optional<qint64> version = message.number(0, 0, kMaxId);
        if (verb != "hello" || !version)
            return damaged();
        if (*version != kVersion)
            return fault(u"the speech helper speaks version %1, not %2"_s.arg(*version).arg(kVersion));
        m_greeted = true;
    } else if (state == State::Starting && verb == "ready" && !message.fields.isEmpty()) {
        name = *message.text(0);
        voices.clear();
        for (qsizetype i = 1; i < message.fields.size(); ++i)
            voices.append(*message.text(i));
        state = State::Ready;
        m_readyAt = m_clock.elapsed();
        m_core.ready(voices);
        startEnded();
    } else if (state == State::Starting && verb == "failed" && message.fields.size() == 1) {
        problem = *message.text(0);
        state = State::Failed;
        startEnded();
    } else if (state == State::Ready && verb == "done" && message.fields.size() == 1) {
        const std::optional<qint64> request = message.number(0, 1, qint64(m_sent));
        if (!request)
            return damaged();
        m_answered = std::max(m_answered, quint64(*request));
        while (!m_unanswered.isEmpty() && m_unanswered.first().first <= m_answered)
            m_unanswered.removeFirst();
        m_core.wake();
    } else if (state == State::Ready && (verb == "began" || verb == "ended" || verb == "error")
               && message.fields.size() == (verb == "error" ? 2 : 1)) {
        const std::optional<qint64> utterance = message.number(0, 0, kMaxId);
        if (!utterance)
            return damaged();
        const SpeechProgress progress = verb == "began" ? SpeechProgress::Began
            : verb == "ended"                           ? SpeechProgress::Ended
                                                        : SpeechProgress::Failed;
        m_core.progress(*this, quint64(*utterance), progress, verb == "error" ? *message.text(1) : QString());
    } else if (state == State::Ready && verb == "broken" && message.fields.size() == 1) {
        broken = true;
        problem = *message.text(0);
        m_core.wake();
    } else {
        damaged();
    }
}

void Session::fault(const QString &why)
{
    // A helper whose engine failed to start ends by itself.
    if (dead || state == State::Failed)
        return;
    dead = true;
    if (problem.isEmpty())
        problem = why;
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->kill();
    if (state == State::Starting)
        startEnded();
    m_core.lost(this);
    m_core.wake();
}

void Session::startEnded()
{
    // Later, from the event loop: what runs may well replace this helper.
    for (auto &[context, then] : afterStart) {
        if (context)
            QTimer::singleShot(0, context, then);
    }
    afterStart.clear();
    m_core.wake();
}

bool Session::overdue(const BackgroundSpeechEngine::Limits &limits)
{
    if (state == State::Starting)
        return m_clock.elapsed() >= limits.startMs;
    if (state != State::Ready || m_unanswered.isEmpty())
        return false;
    return m_clock.elapsed() - std::max(m_unanswered.first().second, m_readyAt) >= limits.answerMs;
}

namespace {

class Voice : public SpeechVoice
{
public:
    explicit Voice(std::shared_ptr<Core> core) : m_core(std::move(core)) { }
    ~Voice() override { m_core->release(this); }

    QStringList voices() const override { return m_core->voices(); }

    // Never waits: a position is checked against the voice list once one
    // is known; before that the helper speaks an unknown position with the
    // engine's default voice.
    void setVoice(int position) override
    {
        const std::optional<qsizetype> count = m_core->knownVoiceCount();
        if (position < 0 || (count && position >= *count))
            throw Failure(
                u"There is no voice at position %1; %2 voices are installed."_s.arg(position).arg(count.value_or(0)));
        m_settings.position = position;
    }

    void setVolume(int volume) override
    {
        m_settings.volume = volume;
        m_core->adjust(this, "volume", volume);
    }

    void setRate(int rate) override
    {
        m_settings.rate = rate;
        m_core->adjust(this, "rate", rate);
    }

    void speak(const QString &text) override { m_core->speak(this, text, m_settings, true); }

    void speakAndWait(const QString &text) override
    {
        if (!text.isEmpty())
            m_core->speakAndWait(this, text, m_settings);
    }

private:
    std::shared_ptr<Core> m_core;
    VoiceSettings m_settings;
};

} // namespace
} // namespace BackgroundSpeech

BackgroundSpeechEngine::BackgroundSpeechEngine(SpeechHelper helper, Limits limits, BusyHook busy)
    : m_core(std::make_shared<BackgroundSpeech::Core>(std::move(helper), limits, std::move(busy)))
{
    m_core->current = m_core->start();
}

BackgroundSpeechEngine::~BackgroundSpeechEngine()
{
    m_core->shutDown();
}

std::unique_ptr<SpeechVoice> BackgroundSpeechEngine::createVoice()
{
    m_core->use(false);
    return std::make_unique<BackgroundSpeech::Voice>(m_core);
}

void BackgroundSpeechEngine::whenStarted(QObject *context, std::function<void()> then)
{
    m_core->whenStarted(context, std::move(then));
}

QStringList BackgroundSpeechEngine::voicesAnew()
{
    return m_core->voicesAnew();
}

bool BackgroundSpeechEngine::voicesPending() const
{
    return m_core->voicesPending();
}

QString BackgroundSpeechEngine::engineName()
{
    return m_core->use(true)->name;
}

bool BackgroundSpeechEngine::speaking() const
{
    return m_core->speaking;
}

SpeechMonitor &BackgroundSpeechEngine::monitor()
{
    return m_core->monitor;
}

void BackgroundSpeechEngine::setLimits(const Limits &limits)
{
    m_core->limits = limits;
}

int BackgroundSpeechEngine::helpersStarted() const
{
    return m_core->helpersStarted;
}

int BackgroundSpeechEngine::helpersRunning() const
{
    return m_core->helpersRunning();
}
