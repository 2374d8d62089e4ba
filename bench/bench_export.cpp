// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/prompts.h"
#include "results/alignedexport.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

class CountingPrompts : public Prompts
{
public:
    void message(const QString &) override { }
    bool question(const QString &) override { return false; }
    std::optional<bool> questionOrCancel(const QString &) override { return false; }
    std::optional<QString> askText(const QString &) override { return std::nullopt; }
    void error(const QString &) override { ++errors; }
    int errors = 0;
};

// The results of a game of 32,767 answers, every fourth one wrong.
ExportTable resultsOfLongGame()
{
    ExportTable table{{u"Given word"_s, u"Your spelling"_s, u"Result"_s}, {}};
    for (int k = 0; k < 32767; ++k) {
        const QString word = u"word%1"_s.arg(k);
        const bool wrong = k % 4 == 3;
        table.rows.append({word, wrong ? word + u'x' : word, wrong ? u"Wrong"_s : u"Correct"_s});
    }
    return table;
}

void BM_SaveResultsOfLongGame(benchmark::State &state)
{
    const ExportTable table = resultsOfLongGame();
    QTemporaryDir folder;
    const QString path = folder.filePath(u"results.txt"_s);
    CountingPrompts prompts;
    for (auto _ : state)
        SaveListviewProperlySpaced(prompts, table, path, u"Correct: 24576 Wrong: 8191 Score: 75%"_s, throttledYield());
    if (prompts.errors != 0)
        state.SkipWithError("the export reported a failure");
}
BENCHMARK(BM_SaveResultsOfLongGame)->Unit(benchmark::kMillisecond);

void BM_AlignedBytesOfLongGame(benchmark::State &state)
{
    const ExportTable table = resultsOfLongGame();
    for (auto _ : state)
        benchmark::DoNotOptimize(AlignedExport::fileBytes(table, u"summary"_s));
}
BENCHMARK(BM_AlignedBytesOfLongGame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
