// SPDX-License-Identifier: GPL-3.0-or-later
// How soon a recorded word is heard: from asking for the word's recording,
// as the game does once Enter has judged the answer, to its first sound on
// the sound server's null sink (run under scripts/sound-server.sh; the figure
// includes the recorder's own delay). Twenty recorded words in turn, each
// time read from its file; median and 90th percentile over the repetitions.

#include "audio/audiopreferences.h"
#include "audio/recordedparts.h"
#include "audio/wavfile.h"
#include "sinklistener.h"
#include "wordlist/recordingfolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRate = 22050;
constexpr int kWords = 20;

class Preferences : public AudioPreferences
{
public:
    int volume() const override { return 100; }
    int rate() const override { return 0; }
    int voicePosition() const override { return 0; }
    bool playSounds() const override { return true; }
    bool saySentence() const override { return true; }
};

// A take as the recorder leaves it: the silence it keeps, a word's worth of
// voice (a tone that swells in 5 ms, so its onset is sharp), silence after.
VoiceAudio recordedWord(int number)
{
    const int lead = kRate * 150 / 1000;
    const int voice = kRate * 600 / 1000;
    QByteArray samples(qsizetype(lead + voice + kRate / 4) * 2, '\0');
    const double hz = 200 + 20 * number;
    for (int i = 0; i < voice; ++i) {
        const double swell = std::min(1.0, i / (kRate * 0.005));
        qToLittleEndian(qint16(std::lround(16000 * swell * std::sin(2 * M_PI * hz * i / kRate))),
                        samples.data() + (lead + i) * 2);
    }
    return VoiceAudio{kRate, samples};
}

double percentile(const std::vector<double> &values, double share)
{
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, size_t(std::ceil(share * sorted.size())) - 1)];
}

void BM_RecordedWordToSoundOnSink(benchmark::State &state)
{
    QTemporaryDir lists;
    const QString list = lists.filePath(u"week.dic"_s);
    const RecordingFolder folder(list, lists.filePath(u"data"_s));
    QStringList files;
    for (int i = 0; i < kWords; ++i) {
        files.append(folder.pathForNew(u"word%1"_s.arg(i), RecordingPart::Word));
        writeWavFile(files.last(), recordedWord(i));
    }
    SinkListener listener;
    if (!listener.start()) {
        state.SkipWithError("no sound server with the lexidrill_null sink");
        return;
    }
    Preferences preferences;
    RecordedParts parts(preferences);
    // The sound module and the output are made once, for the game's first word.
    parts.setRecordings(files[0], {});
    parts.play(false, {});
    int next = 0;
    for (auto _ : state) {
        if (!listener.waitForQuiet()) {
            state.SkipWithError("the sink does not fall quiet");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        const QString word = u"word%1"_s.arg(next++ % kWords);
        parts.setRecordings(folder.existing(word, RecordingPart::Word), folder.existing(word, RecordingPart::Sentence));
        if (!parts.play(false, {})) {
            state.SkipWithError("the recording was not played");
            break;
        }
        if (!waitFor([&] { return listener.heard(); })) {
            state.SkipWithError("no sound arrived on the sink");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::nanoseconds(timer.nsecsElapsed())).count());
        parts.stop();
    }
}
BENCHMARK(BM_RecordedWordToSoundOnSink)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(40)
    ->ComputeStatistics("p90", [](const std::vector<double> &v) { return percentile(v, 0.9); })
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
