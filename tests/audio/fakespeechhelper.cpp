// SPDX-License-Identifier: GPL-3.0-or-later
// A speech helper for the tests: the real helper's service over a scripted
// engine that misbehaves as told. Usage:
//   fake-speech-helper <folder> <fault> [<faulty helpers>]
// Helpers are numbered in start order through files in <folder>; the first
// <faulty helpers> of them (default 1) have the fault, the rest work. Every
// engine call is appended to <folder>/log as "<number>:<call>". The voices
// are the lines of <folder>/voices when it exists.
//
// Faults: none; crash-on-speak; hang-start (never says anything);
// hang-speak (stuck inside the engine on the first word); late (starts after
// <folder>/go exists; every helper waits for it); damaged (answers the first
// word with a damaged frame); fail-start; no-end (speech never ends).
#include "core/failure.h"
#include "speechhelper/speechservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString folder;
int number = 0;
bool faulty = false;
QString fault;

void log(const QString &call)
{
    QFile file(folder + u"/log"_s);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((QString::number(number) + u':' + call + u'\n').toUtf8());
}

int claimNumber()
{
    for (int n = 1;; ++n) {
        const QByteArray path = (folder + u"/helper-%1"_s.arg(n)).toLocal8Bit();
        const int fd = ::open(path.constData(), O_CREAT | O_EXCL | O_WRONLY, 0600);
        if (fd >= 0) {
            const QByteArray pid = QByteArray::number(::getpid());
            (void)!::write(fd, pid.constData(), size_t(pid.size()));
            ::close(fd);
            return n;
        }
    }
}

[[noreturn]] void hang()
{
    for (;;)
        ::pause();
}

class ScriptedBackend : public SpeechBackend
{
public:
    QString name() const override { return u"scripted"_s; }
    QStringList voices() override
    {
        QFile file(folder + u"/voices"_s);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {u"Amy (English – United States)"_s, u"Hans (German – Germany)"_s};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    void speak(const QString &text, const VoiceSettings &settings) override
    {
        log(u"speak(%1,%2,%3,%4)"_s.arg(text).arg(settings.position).arg(settings.volume).arg(settings.rate));
        if (faulty && fault == u"crash-on-speak"_s)
            ::abort();
        if (faulty && fault == u"hang-speak"_s)
            hang();
        if (faulty && fault == u"damaged"_s) {
            // A frame cut off inside an escape, then a byte no frame holds.
            (void)!::write(STDOUT_FILENO, "done %4\x01\n", 9);
            hang();
        }
        report(SpeechProgress::Began);
        if (!(faulty && fault == u"no-end"_s))
            report(SpeechProgress::Ended);
    }
    void stop() override { log(u"stop"_s); }
    void setVolume(int volume) override { log(u"volume(%1)"_s.arg(volume)); }
    void setRate(int rate) override { log(u"rate(%1)"_s.arg(rate)); }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3)
        return 2;
    folder = arguments[1];
    fault = arguments[2];
    number = claimNumber();
    faulty = number <= (arguments.size() > 3 ? arguments[3].toInt() : 1);
    if (faulty && fault == u"hang-start"_s) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        hang();
    }
    return runSpeechService([]() -> std::unique_ptr<SpeechBackend> {
        if (fault == u"late"_s) {
            // The test decides when the start ends.
            while (!QFile::exists(folder + u"/go"_s))
                QThread::msleep(5);
        }
        if (faulty && fault == u"fail-start"_s)
            throw Failure(u"No speech engine works (scripted: offers no voices)."_s);
        return std::make_unique<ScriptedBackend>();
    });
}
