// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the audio options window with as many voices as the system's
// speech engine lists on this machine (counted once, before timing; 13,363
// stand in when no engine works): the window is loaded, its voice list
// filled, and it is shown, as the main window's Audio Options button does it.

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
int voiceCount = kStandInVoices;

int installedVoices()
{
    try {
        return int(createSystemSpeechEngine()->createVoice()->voices().size());
    } catch (const Failure &) {
        return kStandInVoices;
    }
}

class ListingVoice : public SpeechVoice
{
public:
    explicit ListingVoice(const QStringList &voices) : m_voices(voices) { }
    QStringList voices() const override { return m_voices; }
    void setVoice(int) override { }
    void setVolume(int) override { }
    void setRate(int) override { }
    void speak(const QString &) override { }
    void speakAndWait(const QString &) override { }

private:
    const QStringList &m_voices;
};

class ListingEngine : public SpeechEngine
{
public:
    ListingEngine()
    {
        for (int i = 0; i < voiceCount; ++i)
            m_voices.append(u"Language %1 (Territory)+variant %2"_s.arg(i / 130).arg(i % 130));
    }
    std::unique_ptr<SpeechVoice> createVoice() override { return std::make_unique<ListingVoice>(m_voices); }
    void whenStarted(QObject *, std::function<void()> then) override { then(); }
    QStringList voicesAnew() override { return m_voices; }

private:
    QStringList m_voices;
};

void BM_OpenAudioOptions(benchmark::State &state)
{
    QTemporaryDir folder;
    SettingsStore settings(folder.filePath(u"settings.ini"_s));
    CountingPrompts prompts;
    ListingEngine engine;
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
        if (options.Combo1->count() != voiceCount)
            state.SkipWithError("the voice list does not hold every voice");
        delete &options;
        state.ResumeTiming();
    }
    if (prompts.boxes != 0)
        state.SkipWithError("opening the window showed a message");
    state.SetLabel(std::to_string(voiceCount) + " voices");
}
BENCHMARK(BM_OpenAudioOptions)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv, [] { voiceCount = installedVoices(); });
}
