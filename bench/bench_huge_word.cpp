// SPDX-License-Identifier: GPL-3.0-or-later
// A word list of one line of 50 million characters, as a careless or hostile
// user may load: loading it, answering it (judged, recorded in a real history
// file, told on the feedback line, the next word handed to speech), and End
// Game after 20 wrong answers to it, the results window shown and painted.
// Peak memory: run under /usr/bin/time -v.

#include "app/app.h"
#include "benchsupport.h"
#include "windows/form1.h"
#include "windows/form2.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kWordLength = 50'000'000;
constexpr int kAnswers = 20;

// Keeps the length of the longest text handed to speech.
class MeasuringVoice : public SpeechVoice
{
public:
    explicit MeasuringVoice(qsizetype &longest) : m_longest(longest) { }
    QStringList voices() const override { return {u"Voice"_s}; }
    void setVoice(int) override { }
    void setVolume(int) override { }
    void setRate(int) override { }
    void speak(const QString &text) override { m_longest = std::max(m_longest, text.size()); }
    void speakAndWait(const QString &text) override { speak(text); }

private:
    qsizetype &m_longest;
};

class MeasuringEngine : public SpeechEngine
{
public:
    std::unique_ptr<SpeechVoice> createVoice() override { return std::make_unique<MeasuringVoice>(longestSpoken); }
    void whenStarted(QObject *, std::function<void()> then) override { then(); }
    QStringList voicesAnew() override { return {u"Voice"_s}; }
    qsizetype longestSpoken = 0;
};

class TellingPrompts : public CountingPrompts
{
public:
    void message(const QString &text) override
    {
        CountingPrompts::message(text);
        told.append(text);
    }
    void error(const QString &text) override
    {
        CountingPrompts::error(text);
        told.append(text);
    }
    QStringList told;
};

// The program over a list holding only the long word, with a history file.
struct Fixture
{
    Fixture()
    {
        QFile list(listPath);
        if (!list.open(QIODevice::WriteOnly) || list.write(QByteArray(kWordLength, 'a') + "\r\n") < kWordLength)
            qFatal("cannot write the list");
        list.close();
        Services services;
        services.prompts = &prompts;
        services.speech = &engine;
        services.settings = &settings;
        services.programFolder = folder.path();
        services.historyFile = folder.filePath(u"history.sqlite"_s);
        app = std::make_unique<App>(services);
        form1 = &app->start(listPath);
        // The feedback sound's one-second wait is the design's, not the word's.
        app->state().gameAudio.playSound = [](bool) {};
    }

    QTemporaryDir folder;
    const QString listPath = folder.filePath(u"long.txt"_s);
    SettingsStore settings{folder.filePath(u"settings.ini"_s)};
    TellingPrompts prompts;
    MeasuringEngine engine;
    std::unique_ptr<App> app;
    Form1 *form1 = nullptr;
};

void check(benchmark::State &state, const Fixture &fixture)
{
    if (fixture.prompts.boxes != 0)
        state.SkipWithError(
            ("a message was shown: " + fixture.prompts.told.join(u" / "_s).left(300).toStdString()).c_str());
    if (fixture.engine.longestSpoken > 1000)
        state.SkipWithError("more than 1,000 characters were handed to speech");
    state.counters["spoken"] = double(fixture.engine.longestSpoken);
}

void BM_LoadLongWord(benchmark::State &state)
{
    Fixture fixture;
    for (auto _ : state) {
        fixture.form1->setText1(fixture.listPath);
        if (fixture.app->state().dictionary.count() != 1)
            state.SkipWithError("the list was not loaded");
    }
    check(state, fixture);
}
BENCHMARK(BM_LoadLongWord)->Unit(benchmark::kMillisecond)->Iterations(3);

// One wrong answer, from Return to the next word handed to speech.
void BM_AnswerLongWord(benchmark::State &state)
{
    Fixture fixture;
    Form1 &form1 = *fixture.form1;
    form1.PushButton3_Click();
    for (auto _ : state) {
        form1.Text2->setText(u"aaa"_s);
        form1.PushButton8_Click();
    }
    check(state, fixture);
}
BENCHMARK(BM_AnswerLongWord)->Unit(benchmark::kMillisecond)->Iterations(kAnswers);

// End Game after 20 wrong answers: the results window filled, shown and
// painted, with where each answer went wrong.
void BM_ResultsOfLongWord(benchmark::State &state)
{
    Fixture fixture;
    Form1 &form1 = *fixture.form1;
    ProgramState &program = fixture.app->state();
    for (auto _ : state) {
        state.PauseTiming();
        form1.PushButton3_Click();
        const QString word = program.game.currentWord;
        program.game.givenWords = QStringList(kAnswers + 1, word);
        program.game.typedWords = QStringList(kAnswers, u"aaa"_s);
        state.ResumeTiming();

        form1.PushButton3_Click();
        Form2 *results = fixture.app->loadedResults();
        QCoreApplication::processEvents();
        if (results)
            results->grab();

        state.PauseTiming();
        if (!results || results->ListView1->topLevelItemCount() != kAnswers
            || results->ListView1->topLevelItem(0)->text(Form2::kExplanationColumn) != u"a different word"_s)
            state.SkipWithError("the results window does not tell every answer");
        delete results;
        state.ResumeTiming();
    }
    check(state, fixture);
}
BENCHMARK(BM_ResultsOfLongWord)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
