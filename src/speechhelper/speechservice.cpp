// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechservice.h"

#include "core/errorreport.h"
#include "speechprotocol/speechprotocol.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <limits>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace SpeechProtocol;

namespace {

// Whole frames or nothing: a frame cut short would look damaged.
void send(const QByteArray &frame)
{
    qsizetype written = 0;
    while (written < frame.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, frame.constData() + written, size_t(frame.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ::_exit(3);
        written += n;
    }
}

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

constexpr qint64 kMaxId = std::numeric_limits<qint64>::max();

class Service
{
public:
    explicit Service(SpeechBackend &backend) : m_backend(backend)
    {
        m_backend.setListener([this](SpeechProgress progress, const QString &problem) {
            switch (progress) {
            case SpeechProgress::Began:
                send(encode("began", {number(m_utterance)}));
                break;
            case SpeechProgress::Ended:
                send(encode("ended", {number(m_utterance)}));
                break;
            case SpeechProgress::Failed:
                send(encode("error", {number(m_utterance), problem.toUtf8()}));
                // A fresh helper speaks again; this one never would.
                if (m_backend.outputLost())
                    ::_exit(kOutputLostExit);
                break;
            }
        });
    }

    // False when the input is damaged or ended.
    bool read()
    {
        char buffer[65536];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0)
            return errno == EINTR || errno == EAGAIN;
        if (n == 0)
            return false;
        m_reader.feed(QByteArray(buffer, n));
        while (const std::optional<Message> message = m_reader.next()) {
            if (!handle(*message))
                return false;
        }
        return !m_reader.damaged();
    }

private:
    bool handle(const Message &message)
    {
        const std::optional<qint64> request = message.number(0, 1, kMaxId);
        if (!request)
            return false;
        try {
            if (message.verb == "speak" && message.fields.size() == 6) {
                const auto utterance = message.number(1, 1, kMaxId);
                const auto position = message.number(2, -1, std::numeric_limits<int>::max());
                const auto volume = message.number(3, 0, 100);
                const auto rate = message.number(4, -10, 10);
                if (!utterance || !position || !volume || !rate)
                    return false;
                m_utterance = *utterance;
                m_backend.speak(*message.text(5), {int(*position), int(*volume), int(*rate)});
            } else if (message.verb == "stop" && message.fields.size() == 1) {
                m_backend.stop();
            } else if (message.verb == "volume" && message.fields.size() == 2) {
                const auto volume = message.number(1, 0, 100);
                if (!volume)
                    return false;
                m_backend.setVolume(int(*volume));
            } else if (message.verb == "rate" && message.fields.size() == 2) {
                const auto rate = message.number(1, -10, 10);
                if (!rate)
                    return false;
                m_backend.setRate(int(*rate));
            } else {
                return false;
            }
        } catch (const std::exception &error) {
            send(encode("broken", {describe(error).toUtf8()}));
        }
        send(encode("done", {number(*request)}));
        return true;
    }

    SpeechBackend &m_backend;
    FrameReader m_reader;
    qint64 m_utterance = 0;
};

} // namespace

int runSpeechService(const SpeechBackendFactory &start)
{
    // Also a helper stuck in the engine ends with the program.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    send(encode("hello", {number(kVersion)}));
    std::unique_ptr<SpeechBackend> backend;
    try {
        backend = start();
        QStringList ready{backend->name()};
        ready += backend->voices();
        send(encodeTexts("ready", ready));
    } catch (const std::exception &error) {
        send(encode("failed", {describe(error).toUtf8()}));
        return 1;
    }
    Service service(*backend);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &input, [&] {
        if (!service.read()) {
            input.setEnabled(false);
            QCoreApplication::exit(0);
        }
    });
    const int result = QCoreApplication::exec();
    backend->stop();
    return result;
}
