// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app.h"
#include "benchsupport.h"
#include "windows/form1.h"
#include "windows/form2.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kWords = 300;

// Take a Test over a list of 300 words, every word answered (one in four
// wrong) until the test ends by itself and the results window is filled:
// wall time minus the time spent speaking. Each answer is kept in a real
// history file, synced as the program syncs it.
void BM_TestOf300Words(benchmark::State &state)
{
    QTemporaryDir folder;
    CountingPrompts prompts;
    Services services;
    services.prompts = &prompts;
    services.historyFile = folder.filePath(u"history.sqlite"_s);
    App app(services);
    Form1 form1(app.state(), app);
    QStringList words;
    for (int k = 0; k < kWords; ++k)
        words.append(u"word%1"_s.arg(k));
    app.state().dictionary = WordStore::fromText(words.join(u'\n'));

    QElapsedTimer speaking;
    qint64 speakingNs = 0;
    int spoken = 0;
    // The speech engine is left out: its time is what the figure leaves out.
    app.state().gameAudio.speakWord = [&](const QString &) {
        speaking.start();
        ++spoken;
        speakingNs += speaking.nsecsElapsed();
    };
    for (auto _ : state) {
        speakingNs = 0;
        spoken = 0;
        QElapsedTimer wall;
        wall.start();
        form1.PushButton13_Click();
        for (int k = 0; k < kWords && app.state().game.started; ++k) {
            const QString &word = app.state().game.currentWord;
            form1.Text2->setText(k % 4 == 3 ? word + u'x' : word);
            form1.PushButton8_Click();
        }
        const qint64 wallNs = wall.nsecsElapsed();
        state.SetIterationTime(double(wallNs - speakingNs) / 1e9);

        const Form2 *results = app.loadedResults();
        if (!results || results->ListView1->topLevelItemCount() != kWords || spoken != kWords
            || results->Label1->text() != u"225 of 300 words right."_s)
            state.SkipWithError("the test did not end with every word in the results");
        delete results;
    }
    if (prompts.boxes != 0)
        state.SkipWithError("the test showed a message");
}
BENCHMARK(BM_TestOf300Words)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
