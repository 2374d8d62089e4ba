// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the audio options window with the voices the system's speech
// engine lists on this machine (listed once, before timing; 13,363 stand in
// when no engine works, one voice and 129 variants of it in each language):
// the window is loaded, its voice list filled, and it is shown, as the main
// window's Audio Options button does it. Once with eSpeak NG's variants left
// out of the list, as a learner first sees it, once with "Show all voices".

#include "app/app.h"
#include "audio/systemaudio.h"
#include "benchsupport.h"
#include "core/failure.h"
#include "windows/form3.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// speech-dispatcher's count with espeak-ng and its flite module.
constexpr int kStandInVoices = 13363;
QStringList voiceNames;

QStringList installedVoices()
{
    try {
        return createSystemSpeechEngine()->createVoice()->voices();
    } catch (const Failure &) {
        QStringList names;
        for (int i = 0; i < kStandInVoices; ++i) {
            names.append(i % 130 == 0 ? u"Language %1 (Territory)"_s.arg(i / 130)
                                      : u"Language %1 (Territory)+variant %2"_s.arg(i / 130).arg(i % 130));
        }
        return names;
    }
}

void BM_OpenAudioOptions(benchmark::State &state)
{
    const bool showAll = state.range(0) != 0;
    QTemporaryDir folder;
    SettingsStore settings(folder.filePath(u"settings.ini"_s));
    settings.WriteSetting(u"Show All Voices"_s, showAll ? u"True"_s : u"False"_s);
    const auto listed = showAll ? voiceNames.size() : voiceNames.size() - voiceNames.filter(u"+"_s).size();
    CountingPrompts prompts;
    SilentEngine engine(voiceNames);
    Services services;
    services.prompts = &prompts;
    services.speech = &engine;
    services.settings = &settings;
    services.programFolder = folder.path();
    App app(services);
    for (auto _ : state) {
        Form3 &options = app.audioOptions();
        options.show();
        QCoreApplication::processEvents();

        state.PauseTiming();
        if (options.Combo1->count() != listed)
            state.SkipWithError("the voice list does not hold the voices it should");
        delete &options;
        state.ResumeTiming();
    }
    if (prompts.boxes != 0)
        state.SkipWithError("opening the window showed a message");
    state.SetLabel(std::to_string(listed) + " of " + std::to_string(voiceNames.size()) + " voices listed");
}
BENCHMARK(BM_OpenAudioOptions)->ArgName("showAll")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv, [] { voiceNames = installedVoices(); });
}
