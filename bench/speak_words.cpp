// SPDX-License-Identifier: GPL-3.0-or-later
// Speaks words through the program's own speech engine and records each one
// from a sound server's monitor source, for bench/intelligibility.sh.
//
//   speak_words --voices
//       prints the voice list, one "<position>\t<name>" a line, as the audio
//       options window shows it (the first is the default voice);
//   speak_words <position> <monitor source> <folder> < words
//       speaks each word (one a line) with the voice at that position, at the
//       program's default volume and rate, as the game does (a fresh voice
//       object for every word), and writes <folder>/<line number>.raw: the
//       word's sound as 16 kHz mono 16-bit little-endian samples, silence
//       around it cut off.

#include "audio/systemaudio.h"
#include "core/failure.h"
#include "core/settingkeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSampleRate = 16000;
constexpr int kBytesPerSecond = kSampleRate * 2;
// After the engine says a word has ended, the sound server still plays what
// it holds; the next word starts only when this much has passed.
constexpr auto kTail = std::chrono::milliseconds(400);
// Samples quieter than this (of 32767) count as silence (a null sink adds
// no noise); the recogniser wants some silence around the sound.
constexpr int kSilence = 30;
constexpr qsizetype kMarginBytes = kBytesPerSecond / 4;

// Reads a monitor source (through parec) on a thread of its own, so that the
// recording never waits on the speech engine.
class Recorder
{
public:
    explicit Recorder(const QString &source)
    {
        int ends[2];
        if (pipe(ends) != 0)
            throw Failure(u"Cannot make a pipe"_s);
        const QByteArray device = "--device=" + source.toLocal8Bit();
        m_parec = fork();
        if (m_parec == 0) {
            dup2(ends[1], STDOUT_FILENO);
            close(ends[0]);
            close(ends[1]);
            execlp("parec", "parec", "--raw", "--format=s16le", "--rate=16000", "--channels=1", "--latency-msec=10",
                   device.constData(), static_cast<char *>(nullptr));
            _exit(127);
        }
        close(ends[1]);
        if (m_parec < 0) {
            close(ends[0]);
            throw Failure(u"Cannot start parec"_s);
        }
        m_input = ends[0];
        m_reader = std::thread([this] {
            char chunk[4096];
            ssize_t got = 0;
            while ((got = read(m_input, chunk, sizeof chunk)) > 0) {
                const std::lock_guard lock(m_mutex);
                m_sound.append(chunk, qsizetype(got));
            }
        });
    }
    ~Recorder()
    {
        kill(m_parec, SIGTERM);
        m_reader.join();
        close(m_input);
        waitpid(m_parec, nullptr, 0);
    }
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    qsizetype size() const
    {
        const std::lock_guard lock(m_mutex);
        return m_sound.size();
    }
    QByteArray part(qsizetype from, qsizetype to) const
    {
        const std::lock_guard lock(m_mutex);
        return m_sound.mid(from, to - from);
    }

private:
    pid_t m_parec = -1;
    int m_input = -1;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    QByteArray m_sound;
};

// The sound with its leading and trailing silence cut to a margin.
QByteArray trimmed(const QByteArray &sound)
{
    const auto *samples = reinterpret_cast<const qint16 *>(sound.constData());
    const qsizetype count = sound.size() / 2;
    qsizetype first = 0;
    while (first < count && std::abs(samples[first]) < kSilence)
        ++first;
    qsizetype last = count;
    while (last > first && std::abs(samples[last - 1]) < kSilence)
        --last;
    if (first == last)
        return {};
    const qsizetype from = std::max<qsizetype>(0, first * 2 - kMarginBytes);
    const qsizetype to = std::min<qsizetype>(sound.size(), last * 2 + kMarginBytes);
    // The recording starts when the word is handed over, a few milliseconds
    // before its sound; the rest of the margin is silence, as the null sink
    // plays. Otherwise the recogniser's answer depends on how late the sound
    // came.
    return QByteArray(kMarginBytes - (first * 2 - from), '\0') + sound.mid(from, to - from)
        + QByteArray(kMarginBytes - (to - last * 2), '\0');
}

int listVoices(SpeechEngine &engine)
{
    const QStringList voices = engine.createVoice()->voices();
    QTextStream out(stdout);
    for (qsizetype i = 0; i < voices.size(); ++i)
        out << i << '\t' << voices[i] << '\n';
    return 0;
}

int speakWords(SpeechEngine &engine, int position, const QString &source, const QString &folder)
{
    QDir().mkpath(folder);
    QTextStream in(stdin);
    QStringList words;
    while (!in.atEnd()) {
        if (const QString word = in.readLine().trimmed(); !word.isEmpty())
            words.append(word);
    }
    // The engine's start is not part of any word.
    engine.createVoice()->voices();

    Recorder recorder(source);
    int silent = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const qsizetype from = recorder.size();
        {
            auto voice = engine.createVoice();
            voice->setVoice(position);
            voice->setVolume(SettingKeys::kVolume.defaultValue);
            voice->setRate(SettingKeys::kRate.defaultValue);
            voice->speakAndWait(words[i]);
        }
        std::this_thread::sleep_for(kTail);
        const QByteArray sound = trimmed(recorder.part(from, recorder.size()));
        if (sound.isEmpty())
            ++silent;
        QFile file(QDir(folder).filePath(u"%1.raw"_s.arg(i + 1, 3, 10, QChar(u'0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(sound) != sound.size())
            throw Failure(u"Cannot write %1"_s.arg(file.fileName()));
    }
    if (silent > 0)
        fprintf(stderr, "speak_words: %d of %lld words made no sound\n", silent, qlonglong(words.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    try {
        auto engine = createSystemSpeechEngine();
        if (arguments == QStringList{u"--voices"_s})
            return listVoices(*engine);
        bool isNumber = false;
        const int position = arguments.value(0).toInt(&isNumber);
        if (arguments.size() == 3 && isNumber)
            return speakWords(*engine, position, arguments[1], arguments[2]);
        fprintf(stderr, "usage: speak_words --voices | speak_words <position> <monitor source> <folder> < words\n");
        return 2;
    } catch (const std::exception &error) {
        fprintf(stderr, "speak_words: %s\n", error.what());
        return 1;
    }
}
