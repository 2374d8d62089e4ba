// SPDX-License-Identifier: GPL-3.0-or-later
#include "backgroundspeechengine.h"

#include "core/errorreport.h"
#include "core/failure.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

std::atomic<int> s_threadsRunning{0};

Failure notResponding()
{
    return Failure(u"The speech engine is not responding"_s);
}

} // namespace

namespace BackgroundSpeech {

// An address for queued calls that the receiving side can close before it
// deletes the target; calls posted after that are dropped.
class Mailbox
{
public:
    void open(QObject *target)
    {
        const std::lock_guard lock(m_mutex);
        m_target = target;
    }
    void close() { open(nullptr); }
    void post(std::function<void()> call)
    {
        const std::lock_guard lock(m_mutex);
        if (m_target)
            QMetaObject::invokeMethod(m_target, std::move(call), Qt::QueuedConnection);
    }

private:
    std::mutex m_mutex;
    QObject *m_target = nullptr;
};

// What the engine thread tells the window's thread.
struct Replies
{
    std::function<void(const QString &name, const QStringList &voices)> started;
    std::function<void(const QString &problem)> failed;
    std::function<void(quint64 utterance, SpeechBackend::Progress, const QString &problem)> progress;
    std::function<void(const QString &problem)> broken;
};

// One engine on its own thread: started first, then it runs the requests
// in the order they were posted.
class EngineThread : public QThread
{
public:
    EngineThread(SpeechBackendFactory factory, std::shared_ptr<Mailbox> toUi, Replies replies)
        : m_factory(std::move(factory)), m_toUi(std::move(toUi)), m_replies(std::move(replies))
    {
        // Requests posted before the engine has started wait in this
        // thread's queue until its event loop runs.
        m_inbox = new QObject;
        m_inbox->moveToThread(this);
        m_toEngine.open(m_inbox);
        ++s_threadsRunning;
    }

    // Runs `request` after those posted before it, unless the thread was
    // abandoned meanwhile; `utterance` tags the progress it causes.
    void post(std::function<void(SpeechBackend &)> request, quint64 utterance = 0)
    {
        m_toEngine.post([this, request = std::move(request), utterance] {
            if (!abandoned && m_backend) {
                if (utterance)
                    m_utterance = utterance;
                try {
                    request(*m_backend);
                } catch (const std::exception &error) {
                    m_toUi->post([reply = m_replies.broken, problem = describe(error)] { reply(problem); });
                }
            }
            ++processed;
        });
    }

    // Ends speech (also when abandoned) and then the thread.
    void finish()
    {
        m_toEngine.post([this] {
            if (m_backend)
                m_backend->stop();
            quit();
        });
    }

    std::atomic<bool> abandoned{false};
    std::atomic<quint64> processed{0};

protected:
    void run() override
    {
        std::unique_ptr<SpeechBackend> backend;
        try {
            backend = m_factory();
            const QString name = backend->name();
            const QStringList voices = backend->voices();
            m_toUi->post([reply = m_replies.started, name, voices] { reply(name, voices); });
        } catch (const std::exception &error) {
            backend.reset();
            m_toUi->post([reply = m_replies.failed, problem = describe(error)] { reply(problem); });
        }
        if (backend) {
            backend->setListener([this](SpeechBackend::Progress progress, const QString &problem) {
                m_toUi->post([reply = m_replies.progress, utterance = m_utterance, progress, problem] {
                    reply(utterance, progress, problem);
                });
            });
            m_backend = backend.get();
        }
        // Also after a failed start: the queued requests drain and the
        // request to finish arrives.
        exec();
        m_toEngine.close();
        delete m_inbox;
        m_backend = nullptr;
        backend.reset();
        --s_threadsRunning;
    }

private:
    SpeechBackendFactory m_factory;
    std::shared_ptr<Mailbox> m_toUi;
    Replies m_replies;
    Mailbox m_toEngine;
    QObject *m_inbox = nullptr;
    SpeechBackend *m_backend = nullptr; // engine thread only
    quint64 m_utterance = 0; // engine thread only
};

class Core;

// The window's side of one engine thread.
class Session
{
public:
    enum class State { Starting, Ready, Failed };

    Session(Core &core, const SpeechBackendFactory &factory);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    void post(std::function<void(SpeechBackend &)> request, quint64 utterance = 0)
    {
        m_unanswered.append({++m_sent, m_clock.elapsed()});
        m_thread->post(std::move(request), utterance);
    }
    // A request has waited past its limit for the engine thread.
    bool overdue(const BackgroundSpeechEngine::Limits &limits);
    bool answered(quint64 request) const { return m_thread->processed >= request; }
    quint64 lastRequest() const { return m_sent; }

    State state = State::Starting;
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

private:
    void startEnded();

    Core &m_core;
    QObject m_receiver;
    std::shared_ptr<Mailbox> m_toUi = std::make_shared<Mailbox>();
    EngineThread *m_thread = nullptr;
    QElapsedTimer m_clock;
    qint64 m_readyAt = 0;
    quint64 m_sent = 0;
    QList<std::pair<quint64, qint64>> m_unanswered; // request, posted at
};

class Core
{
public:
    Core(SpeechBackendFactory factory, BackgroundSpeechEngine::Limits limits, BackgroundSpeechEngine::BusyHook busy)
        : limits(limits), m_factory(std::move(factory)), m_busy(std::move(busy))
    { }

    std::shared_ptr<Session> start()
    {
        auto session = std::make_shared<Session>(*this, m_factory);
        return session;
    }

    void registerThread(EngineThread *thread) { m_threads.append(thread); }

    // The engine to send a request to. Starts one when there is none and
    // waits for that start, or for a start under way when `needVoices`.
    std::shared_ptr<Session> use(bool needVoices)
    {
        if (m_ended)
            throw notResponding();
        if (current && current->overdue(limits)) {
            letGo(current, true);
            throw notResponding();
        }
        bool begun = false;
        if (!current) {
            current = start();
            begun = true;
        }
        std::shared_ptr<Session> session = current;
        if ((needVoices || begun) && session->state == Session::State::Starting
            && !waitFor([&] { return session->state != Session::State::Starting; }, limits.startMs)) {
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
        return session;
    }

    quint64 speak(const void *voice, const QString &text, const VoiceSettings &settings)
    {
        const std::shared_ptr<Session> session = use(false);
        const quint64 utterance = ++m_utterances;
        session->post([text, settings](SpeechBackend &backend) { backend.speak(text, settings); }, utterance);
        m_lastSpeaker = voice;
        m_lastSession = session;
        return utterance;
    }

    void speakAndWait(const void *voice, const QString &text, const VoiceSettings &settings)
    {
        const quint64 utterance = speak(voice, text, settings);
        const std::shared_ptr<Session> session = m_lastSession.lock();
        const quint64 request = session->lastRequest();
        const auto mine = [&] { return session->heardUtterance == utterance; };
        const auto over
            = [&] { return session->broken || (mine() && (session->ended || !session->speechProblem.isEmpty())); };
        const int beginLimit = limits.speechBeginMs + (session->state == Session::State::Starting ? limits.startMs : 0);
        QString problem;
        if (!waitFor([&] { return over() || (mine() && session->began); }, beginLimit)) {
            if (!session->answered(request)) {
                if (current == session)
                    letGo(current, true);
                throw notResponding();
            }
            problem = u"speech did not begin"_s;
        } else if (!waitFor(over, limits.speechEndMs)) {
            problem = u"speech did not end in time"_s;
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

    // Sends a setting to the engine while this voice is the one speaking.
    void adjust(const void *voice, std::function<void(SpeechBackend &)> request)
    {
        if (m_lastSpeaker != voice)
            return;
        if (const auto session = m_lastSession.lock(); session && session == current)
            session->post(std::move(request));
    }

    void release(const void *voice)
    {
        if (m_lastSpeaker != voice)
            return;
        m_lastSpeaker = nullptr;
        if (const auto session = m_lastSession.lock(); session && session == current)
            session->post([](SpeechBackend &backend) { backend.stop(); });
    }

    QStringList voicesAnew()
    {
        if (m_ended)
            throw notResponding();
        std::shared_ptr<Session> fresh = start();
        if (!waitFor([&] { return fresh->state != Session::State::Starting; }, limits.startMs)) {
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
        if (current && current->state == Session::State::Starting)
            current->afterStart.append({context, std::move(then)});
        else
            then();
    }

    // Lets the engine thread go: it ends after the requests already posted,
    // or at once when `abandon` (an engine that does not answer).
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

    void progress(Session &session, quint64 utterance, SpeechBackend::Progress progress, const QString &problem)
    {
        if (session.heardUtterance != utterance) {
            session.heardUtterance = utterance;
            session.began = false;
            session.ended = false;
            session.speechProblem.clear();
        }
        switch (progress) {
        case SpeechBackend::Progress::Began:
            session.began = true;
            speaking = true;
            emit monitor.began();
            break;
        case SpeechBackend::Progress::Ended:
            session.ended = true;
            speaking = false;
            emit monitor.ended();
            break;
        case SpeechBackend::Progress::Failed:
            session.speechProblem = problem.isEmpty() ? u"unknown error"_s : problem;
            speaking = false;
            emit monitor.failed(session.speechProblem);
            break;
        }
        wake();
    }

    // Lets every engine thread go and waits a little for them to end; one
    // that does not is left running, never destroyed.
    void shutDown()
    {
        m_ended = true;
        wake();
        if (current) {
            current->afterStart.clear();
            letGo(current, true);
        }
        const QDeadlineTimer deadline(limits.exitMs);
        for (const QPointer<EngineThread> &thread : std::as_const(m_threads)) {
            if (thread && thread->wait(deadline))
                delete thread.data();
        }
        m_threads.clear();
    }

    std::shared_ptr<Session> current;
    BackgroundSpeechEngine::Limits limits;
    SpeechMonitor monitor;
    bool speaking = false;

private:
    struct Wait
    {
        QEventLoop loop;
        bool woken = false;
        bool timedOut = false;
    };

    SpeechBackendFactory m_factory;
    BackgroundSpeechEngine::BusyHook m_busy;
    QList<QPointer<EngineThread>> m_threads;
    QList<Wait *> m_waits;
    bool m_ended = false;
    quint64 m_utterances = 0;
    const void *m_lastSpeaker = nullptr;
    std::weak_ptr<Session> m_lastSession;
};

Session::Session(Core &core, const SpeechBackendFactory &factory) : m_core(core)
{
    m_clock.start();
    m_toUi->open(&m_receiver);
    Replies replies;
    replies.started = [this](const QString &engineName, const QStringList &list) {
        name = engineName;
        voices = list;
        state = State::Ready;
        m_readyAt = m_clock.elapsed();
        startEnded();
    };
    replies.failed = [this](const QString &why) {
        problem = why;
        state = State::Failed;
        startEnded();
    };
    replies.progress = [this](quint64 utterance, SpeechBackend::Progress progress, const QString &why) {
        m_core.progress(*this, utterance, progress, why);
    };
    replies.broken = [this](const QString &why) {
        broken = true;
        problem = why;
        m_core.wake();
    };
    m_thread = new EngineThread(factory, m_toUi, std::move(replies));
    m_core.registerThread(m_thread);
    m_thread->start();
}

Session::~Session()
{
    m_toUi->close();
    m_thread->abandoned = abandonOnRelease;
    m_thread->finish();
    QObject::connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    if (m_thread->isFinished())
        m_thread->deleteLater();
}

void Session::startEnded()
{
    // Later, from the event loop: what runs may well replace this engine.
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
    if (state != State::Ready)
        return false;
    const quint64 done = m_thread->processed;
    while (!m_unanswered.isEmpty() && m_unanswered.first().first <= done)
        m_unanswered.removeFirst();
    if (m_unanswered.isEmpty())
        return false;
    return m_clock.elapsed() - std::max(m_unanswered.first().second, m_readyAt) >= limits.answerMs;
}

namespace {

class Voice : public SpeechVoice
{
public:
    explicit Voice(std::shared_ptr<Core> core) : m_core(std::move(core)) { }
    ~Voice() override { m_core->release(this); }

    QStringList voices() const override { return m_core->use(true)->voices; }

    void setVoice(int position) override
    {
        const qsizetype count = voices().size();
        if (position < 0 || position >= count)
            throw Failure(u"There is no voice at position %1; %2 voices are installed."_s.arg(position).arg(count));
        m_settings.position = position;
    }

    void setVolume(int volume) override
    {
        m_settings.volume = volume;
        m_core->adjust(this, [volume](SpeechBackend &backend) { backend.setVolume(volume); });
    }

    void setRate(int rate) override
    {
        m_settings.rate = rate;
        m_core->adjust(this, [rate](SpeechBackend &backend) { backend.setRate(rate); });
    }

    void speak(const QString &text) override { m_core->speak(this, text, m_settings); }

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

BackgroundSpeechEngine::BackgroundSpeechEngine(SpeechBackendFactory factory, Limits limits, BusyHook busy)
    : m_core(std::make_shared<BackgroundSpeech::Core>(std::move(factory), limits, std::move(busy)))
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

int BackgroundSpeechEngine::threadsRunning()
{
    return s_threadsRunning;
}
