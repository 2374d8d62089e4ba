// SPDX-License-Identifier: GPL-3.0-or-later
// How long a word takes to reach the ear: from handing it over through a
// fresh voice object, as the game does for every word (createVoice, setVoice,
// setVolume, setRate, speak), to the engine reporting that it speaks, and to
// sound arriving on the sound server's null sink (run under
// scripts/sound-server.sh for that one; it includes the recorder's own delay).
// Sound on the sink is timed for one long word and for twenty others in
// turn. The shared engine is started before timing; its start-up is measured
// apart.
//
// The game's prompts (SpokenPrompt over the speech path the game uses) are
// timed the same way: a word of a list without sentences; the next word with
// a sentence list, handed over as an answer cuts the prompt before it; how
// soon a cut sentence falls quiet; and a whole prompt of a ten-word sentence.

#include "audio/audiopreferences.h"
#include "audio/helperspeechengine.h"
#include "audio/speakword.h"
#include "audio/spokenprompt.h"
#include "core/prompts.h"
#include "sinklistener.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

constexpr int defaultRate = -4;
const QString word = u"extraordinary"_s;

// Made in main() and gone before the application object.
HelperSpeechEngine *sharedEngine = nullptr;

HelperSpeechEngine &engine()
{
    return *sharedEngine;
}

std::unique_ptr<SpeechVoice> speakWord(const QString &text = word)
{
    auto voice = engine().createVoice();
    voice->setVoice(0);
    voice->setVolume(100);
    voice->setRate(defaultRate);
    voice->speak(text);
    return voice;
}

void endSpeech(std::unique_ptr<SpeechVoice> voice)
{
    voice.reset();
    waitFor([] { return !engine().speaking(); });
}

void setSeconds(benchmark::State &state, const QElapsedTimer &timer)
{
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::nanoseconds(timer.nsecsElapsed())).count());
}

void BM_EngineStart(benchmark::State &state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        HelperSpeechEngine fresh(SpeechHelper::ofProgram());
        benchmark::DoNotOptimize(fresh.createVoice()->voices().size());
        setSeconds(state, timer);
    }
}
BENCHMARK(BM_EngineStart)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WordToSpeakingState(benchmark::State &state)
{
    bool speaking = false;
    QObject context;
    QObject::connect(&engine().monitor(), &SpeechMonitor::began, &context, [&] { speaking = true; });
    for (auto _ : state) {
        speaking = false;
        QElapsedTimer timer;
        timer.start();
        auto voice = speakWord();
        if (!waitFor([&] { return speaking; })) {
            state.SkipWithError("the engine did not begin to speak");
            break;
        }
        setSeconds(state, timer);
        endSpeech(std::move(voice));
    }
}
BENCHMARK(BM_WordToSpeakingState)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Times `texts` in turn, round and round.
void timeToSoundOnSink(benchmark::State &state, const QStringList &texts)
{
    SinkListener listener;
    if (!listener.start()) {
        state.SkipWithError("no sound server with the lexidrill_null sink");
        return;
    }
    qsizetype next = 0;
    for (auto _ : state) {
        if (!listener.waitForQuiet()) {
            state.SkipWithError("the sink does not fall quiet");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        auto voice = speakWord(texts[next++ % texts.size()]);
        if (!waitFor([&] { return listener.heard(); })) {
            state.SkipWithError("no sound arrived on the sink");
            break;
        }
        setSeconds(state, timer);
        endSpeech(std::move(voice));
    }
}

void BM_WordToSoundOnSink(benchmark::State &state)
{
    timeToSoundOnSink(state, {word});
}
BENCHMARK(BM_WordToSoundOnSink)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_SchoolWordsToSoundOnSink(benchmark::State &state)
{
    timeToSoundOnSink(state, kSchoolWords);
}
BENCHMARK(BM_SchoolWordsToSoundOnSink)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

class NoPrompts : public Prompts
{
public:
    void message(const QString &) override { }
    bool question(const QString &) override { return false; }
    std::optional<bool> questionOrCancel(const QString &) override { return false; }
    std::optional<QString> askText(const QString &) override { return std::nullopt; }
    void error(const QString &text) override { qWarning("%s", qPrintable(text)); }
};

class DefaultPreferences : public AudioPreferences
{
public:
    int volume() const override { return 100; }
    int rate() const override { return defaultRate; }
    int voicePosition() const override { return 0; }
    bool playSounds() const override { return false; }
    bool saySentence() const override { return true; }
};

// The game's prompt on the shared engine.
struct GamePrompt
{
    GamePrompt()
    {
        audio.prompts = &prompts;
        audio.speech = &engine();
        audio.preferences = &preferences;
    }
    // The sentence of each school word: the word said in a sentence.
    void say(qsizetype index, bool withSentence)
    {
        const QString &text = kSchoolWords[index % kSchoolWords.size()];
        prompt.play(promptParts(text, withSentence ? u"Say %1 again, please."_s.arg(text) : QString(), true));
    }

    NoPrompts prompts;
    DefaultPreferences preferences;
    AudioContext audio;
    SpeechPartPlayer parts{audio};
    TimerPauseClock pauses;
    SpokenPrompt prompt{parts, pauses};
};

// From the word's prompt handed over to its sound; with a sentence list the
// prompt before it is cut in its first pause, as an answer typed then would.
void nextWordToSound(benchmark::State &state, bool sentences)
{
    SinkListener listener;
    if (!listener.start()) {
        state.SkipWithError("no sound server with the lexidrill_null sink");
        return;
    }
    GamePrompt game;
    qsizetype next = 0;
    for (auto _ : state) {
        if (sentences) {
            game.say(next++, true);
            if (!waitFor([&] { return listener.heard(); })) {
                state.SkipWithError("no sound arrived on the sink");
                break;
            }
        }
        if (!listener.waitForQuiet()) {
            state.SkipWithError("the sink does not fall quiet");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        game.say(next++, sentences);
        if (!waitFor([&] { return listener.heard(); })) {
            state.SkipWithError("no sound arrived on the sink");
            break;
        }
        setSeconds(state, timer);
        // The voice stays, as in the game: the next word's voice lets it go.
        game.prompt.stop();
        waitFor([] { return !engine().speaking(); });
    }
}

void BM_NextWordToSound_NoSentences(benchmark::State &state)
{
    nextWordToSound(state, false);
}
BENCHMARK(BM_NextWordToSound_NoSentences)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

void BM_NextWordToSound_SentenceList(benchmark::State &state)
{
    nextWordToSound(state, true);
}
BENCHMARK(BM_NextWordToSound_SentenceList)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

// From the cut of a sentence under way to the last sound of it on the sink.
void BM_SentenceCutToQuiet(benchmark::State &state)
{
    SinkListener listener;
    if (!listener.start()) {
        state.SkipWithError("no sound server with the lexidrill_null sink");
        return;
    }
    GamePrompt game;
    for (auto _ : state) {
        if (!listener.waitForQuiet()) {
            state.SkipWithError("the sink does not fall quiet");
            break;
        }
        game.prompt.play(promptParts(u"weather"_s, u"The weather is warm and sunny by the sea today."_s, true));
        // The word, its pause, then the sentence for a moment.
        if (!waitFor([&] { return listener.heard(); }) || !listener.waitForQuiet()
            || !waitFor([&] { return listener.heard(); })) {
            state.SkipWithError("no sentence arrived on the sink");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        game.prompt.stop();
        qint64 lastSound = 0;
        waitFor([&] {
            if (listener.heard())
                lastSound = timer.nsecsElapsed();
            return timer.elapsed() > 1000;
        });
        state.SetIterationTime(double(lastSound) / 1e9);
    }
}
BENCHMARK(BM_SentenceCutToQuiet)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

// A whole prompt with a sentence of ten words, at the default rate: from
// handing it over to the end of its last word.
void BM_TenWordSentencePrompt(benchmark::State &state)
{
    GamePrompt game;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        game.prompt.play(promptParts(u"weather"_s, u"The weather is warm and sunny by the sea today."_s, true));
        if (!waitFor([&] { return !game.prompt.playing(); })) {
            state.SkipWithError("the prompt did not end");
            break;
        }
        setSeconds(state, timer);
    }
}
BENCHMARK(BM_TenWordSentencePrompt)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The speech helpers this process started that still run.
QList<pid_t> helperProcesses()
{
    QList<pid_t> found;
    const QByteArray parent = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(u"/proc/%1/stat"_s.arg(entry));
        QFile command(u"/proc/%1/cmdline"_s.arg(entry));
        if (!stat.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state parent ..."
        const QByteArray line = stat.readAll();
        const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (after.size() > 1 && after[1] == parent
            && command.readAll().split('\0').value(0).endsWith("/lexidrill-speech"))
            found.append(pid_t(entry.toInt()));
    }
    return found;
}

// From freezing the helper in use (SIGSTOP) to its word's sound on the sink,
// as the game hands the word over. Each run has an engine of its own, given
// time to settle first (the spare, when one is kept, has started), as a
// learner's would be by the time a helper freezes.
void BM_FrozenHelperToSoundOnSink(benchmark::State &state)
{
    SinkListener listener;
    if (!listener.start()) {
        state.SkipWithError("no sound server with the lexidrill_null sink");
        return;
    }
    for (auto _ : state) {
        const QList<pid_t> others = helperProcesses();
        SpeechHelper helper = SpeechHelper::ofProgram();
        helper.keepSpare = state.range(0) != 0;
        HelperSpeechEngine fresh(helper);
        fresh.createVoice()->voices();
        waitFor([&] { return fresh.helpersReady() == 1 + helper.keepSpare; });
        QList<pid_t> helpers = helperProcesses();
        helpers.removeIf([&](pid_t pid) { return others.contains(pid); });
        if (!listener.waitForQuiet() || helpers.isEmpty()) {
            state.SkipWithError("no helper, or the sink does not fall quiet");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        // The first started is the one in use: pids rise.
        ::kill(*std::min_element(helpers.begin(), helpers.end()), SIGSTOP);
        auto voice = fresh.createVoice();
        voice->setVoice(0);
        voice->speak(word);
        if (!waitFor([&] { return listener.heard(); })) {
            state.SkipWithError("no sound arrived on the sink");
            break;
        }
        setSeconds(state, timer);
    }
}
// Argument: whether a spare helper is kept, as the program does.
BENCHMARK(BM_FrozenHelperToSoundOnSink)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    HelperSpeechEngine shared(SpeechHelper::ofProgram());
    sharedEngine = &shared;
    shared.createVoice()->voices();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
