// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a list of a million words in each encoding, and one full pass of
// draws, against the plain rule (a position from 1..count, rejected after a
// linear search of the words used in the pass) as a reference.
//
// The reference pass over 100,000 words takes minutes; leave it out with
// --benchmark_filter=-Reference/100000.
//
// Peak memory of a million-word list: run
//   /usr/bin/time -v bench_wordlist --benchmark_filter=LoadAndDraw
// and subtract the figure for --benchmark_filter=none (the empty program).
#include "practice/draw.h"
#include "wordlist/wordlistfile.h"
#include "wordlist/wordstore.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMillion = 1'000'000;

// Eight letters from the number, every tenth word with an e acute so that the
// 8-bit list is not valid UTF-8 and takes the code-page path.
QString wordFor(int number)
{
    const bool accented = number % 10 == 0;
    QString word;
    for (int i = 0; i < 8; ++i, number /= 26)
        word.append(QChar(u'a' + number % 26));
    if (accented)
        word.append(QChar(0xE9));
    return word;
}

// Utf8Sentences: UTF-8, each word with a sentence after a TAB.
enum class ListEncoding { Ansi, Utf8, Utf16, Utf8Sentences };

// Written once per run, in pieces so that writing costs little memory.
const QString &listFile(ListEncoding encoding)
{
    static QTemporaryDir folder;
    static std::map<ListEncoding, QString> written;
    QString &path = written[encoding];
    if (!path.isEmpty())
        return path;
    path = folder.filePath(u"list%1.txt"_s.arg(int(encoding)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    if (encoding == ListEncoding::Utf16)
        file.write("\xFF\xFE");
    QString chunk;
    for (int i = 0; i < kMillion; ++i) {
        if (encoding == ListEncoding::Utf8Sentences)
            chunk += wordFor(i) + u"\tWe spell "_s + wordFor(i) + u" in a short sentence."_s + u"\r\n"_s;
        else
            chunk += wordFor(i) + u"\r\n"_s;
        if (chunk.size() > 1 << 16 || i + 1 == kMillion) {
            switch (encoding) {
            case ListEncoding::Ansi:
                file.write(chunk.toLatin1());
                break;
            case ListEncoding::Utf8:
            case ListEncoding::Utf8Sentences:
                file.write(chunk.toUtf8());
                break;
            case ListEncoding::Utf16:
                file.write(reinterpret_cast<const char *>(chunk.utf16()), chunk.size() * 2);
                break;
            }
            chunk.clear();
        }
    }
    return path;
}

class SeededRandom : public RandomSource
{
public:
    double next() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator{2021};
};

void BM_LoadList(benchmark::State &state)
{
    const auto encoding = ListEncoding(state.range(0));
    const QString &path = listFile(encoding);
    for (auto _ : state) {
        // Ready to draw: the copies of each word found as well.
        WordStore store = WordStore::fromText(readDictionaryText(path));
        benchmark::DoNotOptimize(store.distinctCount());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
    const char *const labels[] = {"8-bit", "UTF-8", "UTF-16", "UTF-8 with sentences"};
    state.SetLabel(labels[int(encoding)]);
}
BENCHMARK(BM_LoadList)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

WordStore distinctStore(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += wordFor(i) + u'\n';
    return WordStore::fromText(text);
}

void BM_DrawPass(benchmark::State &state)
{
    const WordStore store = distinctStore(int(state.range(0)));
    PassRecord pass;
    SeededRandom random;
    for (auto _ : state) {
        pass.clear();
        for (qsizetype i = 0; i < store.distinctCount(); ++i)
            benchmark::DoNotOptimize(drawWord(store, pass, random));
    }
    state.SetItemsProcessed(state.iterations() * store.count());
}
BENCHMARK(BM_DrawPass)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The draw as first written: try positions until one's word is not found by
// a linear search of the pass.
void BM_DrawPassLinearReference(benchmark::State &state)
{
    const WordStore store = distinctStore(int(state.range(0)));
    SeededRandom random;
    for (auto _ : state) {
        QStringList used;
        while (used.size() < store.distinctCount()) {
            const auto position = qsizetype(random.next() * double(store.count()) + 1);
            const QStringView word = store.wordView(position);
            if (!used.contains(word))
                used.append(word.toString());
        }
        benchmark::DoNotOptimize(used.size());
    }
    state.SetItemsProcessed(state.iterations() * store.count());
}
BENCHMARK(BM_DrawPassLinearReference)->Arg(10'000)->Arg(100'000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_LoadAndDrawMillion(benchmark::State &state)
{
    const QString &path = listFile(ListEncoding::Ansi);
    SeededRandom random;
    for (auto _ : state) {
        WordStore store = WordStore::fromText(readDictionaryText(path));
        PassRecord pass;
        for (int i = 0; i < 1000; ++i)
            benchmark::DoNotOptimize(drawWord(store, pass, random));
        // A reload, as loadDictionaryFile does it: the old store goes first.
        store = WordStore();
        store = WordStore::fromText(readDictionaryText(path));
        pass.clear();
        for (int i = 0; i < 1000; ++i)
            benchmark::DoNotOptimize(drawWord(store, pass, random));
    }
}
BENCHMARK(BM_LoadAndDrawMillion)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
