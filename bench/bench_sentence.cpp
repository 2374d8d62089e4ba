// SPDX-License-Identifier: GPL-3.0-or-later
// Start Game over a list of one word whose sentence is 100,000 characters of
// right-to-left text, the word twice in it: the time to the word handed to
// speech with its sentence on the main window's line, cut to the line's
// width, and whole for a screen reader. The same list without the sentence
// is the baseline.

#include "app/app.h"
#include "benchsupport.h"
#include "windows/form1.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void BM_StartWithLongSentence(benchmark::State &state)
{
    const bool withSentence = state.range(0) != 0;
    QTemporaryDir folder;
    const QString half = QString(u"שלום עולם "_s).repeated(5'000);
    const QString line = u"\uFEFFכלב"_s + (withSentence ? u"\t"_s + half + u"כלב "_s + half + u"כלב"_s : QString());
    const QString listPath = folder.filePath(u"sentence.dic"_s);
    QFile list(listPath);
    if (!list.open(QIODevice::WriteOnly)
        || list.write(reinterpret_cast<const char *>(line.utf16()), line.size() * 2) != line.size() * 2)
        qFatal("cannot write the list");
    list.close();
    SettingsStore settings(folder.filePath(u"settings.ini"_s));
    CountingPrompts prompts;
    SilentEngine engine({u"Voice"_s});
    Services services;
    services.prompts = &prompts;
    services.speech = &engine;
    services.settings = &settings;
    services.programFolder = folder.path();
    services.historyFile = folder.filePath(u"history.sqlite"_s);
    App app(services);
    Form1 &form1 = app.start(listPath);

    for (auto _ : state) {
        form1.PushButton3_Click();
        state.PauseTiming();
        const bool followed
            = form1.Label6->text().isEmpty() != withSentence && form1.PushButton3->text() == u"End Game";
        form1.PushButton3_Click();
        state.ResumeTiming();
        if (!followed) {
            state.SkipWithError("the sentence line does not follow the list");
            break;
        }
    }
    if (prompts.boxes != 0)
        state.SkipWithError("a message was shown");
}
BENCHMARK(BM_StartWithLongSentence)->ArgName("sentence")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
