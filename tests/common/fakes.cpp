// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"

#include "core/failure.h"

#include <QCoreApplication>
#include <utility>

using namespace Qt::StringLiterals;

QStringList RecordingPrompts::texts(Box::Kind kind) const
{
    QStringList result;
    for (const Box &box : boxes) {
        if (box.kind == kind)
            result.append(box.text);
    }
    return result;
}

QString FakeFileDialogs::openFile(QWidget *, const QString &title, const QString &filter)
{
    openCalls.append({title, filter, QString()});
    return openAnswers.isEmpty() ? QString() : openAnswers.dequeue();
}

QString FakeFileDialogs::saveFile(QWidget *, const QString &title, const QString &filters, const QString &previousName)
{
    saveCalls.append({title, filters, previousName});
    return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
}

void FakeLauncher::openInEditor(const QString &path)
{
    if (failToStart)
        throw Failure(u"Cannot start the editor"_s);
    editedFiles.append(path);
}

FakeSpeechVoice::FakeSpeechVoice(SpeechLog &log, QStringList voices, int id)
    : m_log(log), m_voices(std::move(voices)), m_id(id)
{
    ++m_log.liveVoices;
}

void SpeechLog::finishSpeech()
{
    const auto waiting = std::exchange(waitingForSpeech, {});
    for (const auto &[voice, then] : waiting)
        then();
}

FakeSpeechVoice::~FakeSpeechVoice()
{
    m_log.waitingForSpeech.removeIf([this](const auto &waiting) { return waiting.first == m_id; });
    --m_log.liveVoices;
    log(u"released"_s);
}

QStringList FakeSpeechVoice::voices() const
{
    return m_voices;
}

void FakeSpeechVoice::setVoice(int position)
{
    if (position < 0 || position >= m_voices.size())
        throw Failure(u"Invalid voice position"_s);
    log(u"voice(%1)"_s.arg(position));
}

void FakeSpeechVoice::setVolume(int volume)
{
    log(u"volume(%1)"_s.arg(volume));
}
void FakeSpeechVoice::setRate(int rate)
{
    log(u"rate(%1)"_s.arg(rate));
}
void FakeSpeechVoice::speak(const QString &text)
{
    m_log.waitingForSpeech.removeIf([this](const auto &waiting) { return waiting.first == m_id; });
    log(u"speak(%1)"_s.arg(text));
}

void FakeSpeechVoice::whenSpoken(std::function<void()> then)
{
    m_log.waitingForSpeech.append({m_id, std::move(then)});
}
void FakeSpeechVoice::speakAndWait(const QString &text)
{
    log(u"speakAndWait(%1)"_s.arg(text));
}

void FakeSpeechVoice::log(const QString &call)
{
    m_log.calls.append(QString::number(m_id) + u':' + call);
}

std::unique_ptr<SpeechVoice> FakeSpeechEngine::createVoice()
{
    if (broken && !starting)
        throw Failure(u"No speech engine"_s);
    return std::make_unique<FakeSpeechVoice>(log, voiceNames, ++created);
}

void FakeSpeechEngine::whenStarted(QObject *context, std::function<void()> then)
{
    if (starting)
        waitingForStart.append({context, std::move(then)});
    else
        then();
}

void FakeSpeechEngine::finishStart(bool works)
{
    starting = false;
    broken = !works;
    const auto waiting = std::exchange(waitingForStart, {});
    for (const auto &[context, then] : waiting) {
        if (context)
            then();
    }
}

QStringList FakeSpeechEngine::voicesAnew()
{
    busy(true);
    if (whileListing)
        whileListing();
    busy(false);
    if (broken)
        throw Failure(u"No speech engine"_s);
    ++listings;
    return voiceNames;
}

double ScriptedRandom::next()
{
    if (m_values.isEmpty())
        return 0.0;
    const double value = m_values.at(m_next);
    m_next = (m_next + 1) % m_values.size();
    return value;
}

void FakeDelay::pause(double seconds)
{
    pauses.append(seconds);
    if (whilePaused)
        whilePaused();
    QCoreApplication::processEvents();
}
