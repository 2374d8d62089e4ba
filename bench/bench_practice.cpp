// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app.h"
#include "benchsupport.h"
#include "practice/misspelling.h"
#include "windows/form1.h"
#include "windows/form2.h"

#include <QPushButton>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A 64-letter word and answers of 64 letters or so.
const QString kWord = u"pneumonoultramicroscopicsilicovolcanoconiosisandantidisestablish"_s;

struct Answer
{
    const char *name;
    QString typed;
};

const QList<Answer> &answers()
{
    static const QList<Answer> list{
        {"three slips", u"pnuemonoultramicroscopicsilicovolcanokoniosisandantidisestablishh"_s},
        {"identical in other case", kWord.toUpper()},
        {"a different word", QString(64, u'x')},
        {"accents typed decomposed", QString(kWord).replace(u'o', u"o\u0302"_s)},
    };
    return list;
}

void BM_Explain64(benchmark::State &state)
{
    const Answer &answer = answers().at(state.range(0));
    state.SetLabel(answer.name);
    if (kWord.size() != 64)
        state.SkipWithError("the word is not 64 letters long");
    for (auto _ : state)
        benchmark::DoNotOptimize(Misspelling::explain(answer.typed, kWord));
}
BENCHMARK(BM_Explain64)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

constexpr int kAnswers = 32767;

// End Game after 32,767 answers, every one wrong by a slip or two, with words
// of the given length: the results window's rows, which tell where each went
// wrong when read. With `readAll`, every row is read once the window is
// filled, as a screen reader walking the whole list would.
void endLongGameAllWrong(benchmark::State &state, bool readAll)
{
    const auto length = qsizetype(state.range(0));
    QStringList given;
    QStringList typed;
    for (int k = 0; k < kAnswers; ++k) {
        QString word = (u"%1"_s.arg(k) + kWord).left(length);
        given.append(word);
        word.insert(length / 2, u'q');
        word.remove(length / 4, 1);
        typed.append(word);
    }
    given.append(u"unanswered"_s);
    CountingPrompts prompts;
    Services services;
    services.prompts = &prompts;
    App app(services);
    Form1 form1(app.state(), app);
    for (auto _ : state) {
        state.PauseTiming();
        app.state().game.started = true;
        app.state().game.givenWords = given;
        app.state().game.typedWords = typed;
        form1.PushButton3->setText(u"End Game"_s);
        state.ResumeTiming();

        form1.PushButton3_Click();
        const Form2 *results = app.loadedResults();
        qsizetype told = 0;
        if (results && readAll) {
            for (int row = 0; row < results->ListView1->topLevelItemCount(); ++row)
                told += !results->ListView1->topLevelItem(row)->text(Form2::kExplanationColumn).isEmpty();
        }

        state.PauseTiming();
        if (!results || results->ListView1->topLevelItemCount() != kAnswers
            || results->ListView1->topLevelItem(0)->text(Form2::kExplanationColumn).isEmpty()
            || (readAll && told != kAnswers))
            state.SkipWithError("the results window does not tell every wrong answer");
        delete results;
        state.ResumeTiming();
    }
    if (prompts.boxes != 0)
        state.SkipWithError("End Game showed a message");
}

void BM_EndLongGameAllWrong(benchmark::State &state)
{
    endLongGameAllWrong(state, false);
}
BENCHMARK(BM_EndLongGameAllWrong)->Arg(10)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_EndLongGameAllWrongReadAll(benchmark::State &state)
{
    endLongGameAllWrong(state, true);
}
BENCHMARK(BM_EndLongGameAllWrongReadAll)->Arg(10)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
