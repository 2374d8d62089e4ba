// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpersession.h"

#include "audio/helpersupervisor.h"
#include "speechprotocol/speechprogress.h"

#include <QTimer>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;
using namespace SpeechProtocol;

namespace {

constexpr qint64 kMaxId = std::numeric_limits<qint64>::max();

} // namespace

HelperSession::HelperSession(HelperSupervisor &supervisor, const SpeechHelper &helper)
    : m_supervisor(supervisor), m_process(new QProcess)
{
    m_clock.start();
    m_supervisor.adopt(m_process);
    // The helper's own messages (the engine's warnings) go where the
    // program's go.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(m_process, &QProcess::readyReadStandardOutput, &m_receiver, [this] { read(); });
    QObject::connect(m_process, &QProcess::finished, &m_receiver, [this](int code, QProcess::ExitStatus status) {
        read();
        outputLost = status == QProcess::NormalExit && code == kOutputLostExit;
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

HelperSession::~HelperSession()
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
        QTimer::singleShot(m_supervisor.limits.exitMs, process, &QProcess::kill);
}

quint64 HelperSession::post(const QByteArray &verb, QList<QByteArray> fields)
{
    const quint64 request = ++m_sent;
    m_unanswered.append({request, m_clock.elapsed()});
    fields.prepend(QByteArray::number(request));
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->write(encode(verb, fields));
    return request;
}

void HelperSession::read()
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

void HelperSession::handle(const Message &message)
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
        m_supervisor.ready(voices);
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
        m_supervisor.wake();
    } else if (state == State::Ready && (verb == "began" || verb == "ended" || verb == "error")
               && message.fields.size() == (verb == "error" ? 2 : 1)) {
        const std::optional<qint64> utterance = message.number(0, 0, kMaxId);
        if (!utterance)
            return damaged();
        const SpeechProgress progress = verb == "began" ? SpeechProgress::Began
            : verb == "ended"                           ? SpeechProgress::Ended
                                                        : SpeechProgress::Failed;
        m_supervisor.progress(*this, quint64(*utterance), progress, verb == "error" ? *message.text(1) : QString());
    } else if (state == State::Ready && verb == "broken" && message.fields.size() == 1) {
        broken = true;
        problem = *message.text(0);
        m_supervisor.wake();
    } else {
        damaged();
    }
}

void HelperSession::fault(const QString &why)
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
    m_supervisor.lost(this);
    m_supervisor.wake();
}

void HelperSession::notAnswering()
{
    fault(u"the speech helper did not answer"_s);
}

void HelperSession::startEnded()
{
    // Later, from the event loop: what runs may well replace this helper.
    for (auto &[context, then] : afterStart) {
        if (context)
            QTimer::singleShot(0, context, then);
    }
    afterStart.clear();
    m_supervisor.wake();
}

bool HelperSession::overdue(const SpeechLimits &limits)
{
    if (state == State::Starting)
        return m_clock.elapsed() >= limits.startMs;
    if (state != State::Ready || m_unanswered.isEmpty())
        return false;
    return m_clock.elapsed() - std::max(m_unanswered.first().second, m_readyAt) >= limits.answerMs;
}

std::optional<qint64> HelperSession::wordTimeLeft(const SpeechLimits &limits) const
{
    if (dead || !unheardWord || answered(unheardWord->number))
        return std::nullopt;
    if (state == State::Starting)
        return std::min<qint64>(limits.wordBeginMs, limits.startMs - m_clock.elapsed());
    if (state != State::Ready)
        return std::nullopt;
    const auto posted = std::find_if(m_unanswered.begin(), m_unanswered.end(),
                                     [&](const auto &entry) { return entry.first == unheardWord->number; });
    if (posted == m_unanswered.end())
        return std::nullopt;
    return std::max(posted->second, m_readyAt) + limits.wordBeginMs - m_clock.elapsed();
}
