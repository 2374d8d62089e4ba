// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app.h"
#include "benchsupport.h"
#include "practice/scoring.h"
#include "windows/form1.h"
#include "windows/form2.h"

#include <QPushButton>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAnswers = 32767;

struct LongGame
{
    QStringList given;
    QStringList typed;
};

LongGame longGame()
{
    LongGame game;
    for (int k = 0; k < kAnswers; ++k) {
        const QString word = u"word%1"_s.arg(k);
        game.given.append(word);
        game.typed.append(k % 4 == 3 ? word + u'x' : word.toUpper());
    }
    game.given.append(u"unanswered"_s);
    return game;
}

void BM_ScoreLongGame(benchmark::State &state)
{
    const LongGame game = longGame();
    for (auto _ : state)
        benchmark::DoNotOptimize(Scoring::scoreText(Scoring::tally(game.given, game.typed)));
}
BENCHMARK(BM_ScoreLongGame)->Unit(benchmark::kMillisecond);

// End Game after 32,767 answers: the final score and the results window's
// rows and labels.
void BM_EndLongGame(benchmark::State &state)
{
    const LongGame game = longGame();
    CountingPrompts prompts;
    Services services;
    services.prompts = &prompts;
    App app(services);
    Form1 form1(app.state(), app);
    for (auto _ : state) {
        state.PauseTiming();
        app.state().game.started = true;
        app.state().game.givenWords = game.given;
        app.state().game.typedWords = game.typed;
        form1.PushButton3->setText(u"End Game"_s);
        state.ResumeTiming();

        form1.PushButton3_Click();

        state.PauseTiming();
        const Form2 *results = app.loadedResults();
        if (!results || results->ListView1->topLevelItemCount() != kAnswers)
            state.SkipWithError("the results window does not list every answer");
        delete results;
        state.ResumeTiming();
    }
    if (prompts.boxes != 0)
        state.SkipWithError("End Game showed a message");
}
BENCHMARK(BM_EndLongGame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
