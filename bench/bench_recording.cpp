// SPDX-License-Identifier: GPL-3.0-or-later
// How soon a recorded word is heard: from asking for the word's recording,
// as the game does once Enter has judged the answer, to its first sound on
// the sound server's null sink (run under scripts/sound-server.sh; the figure
// includes the recorder's own delay). Twenty recorded words in turn, each
// time read from its file; median and 90th percentile over the repetitions.
//
// The same through the whole program (BM_EnterToNextWordSound): the main
// window as the program builds it, offscreen, on the program's own speech
// engine (createSystemSpeechEngine) and sound output, feedback sounds off,
// the practice history on; a game over twenty school words under way. Timed
// from the key press of Enter on an answer to the first loud sample of the
// next word. With `recorded:1` every word has a recording in the list's
// .audio folder, made as the word list editor makes one: the word as the
// program's voice says it, taken from the sink, trimmed and saved through
// ListRecordings; `recorded:0` is the same list without recordings, spoken by
// the synthetic voice. The figures include each word's own soft start: for
// the recordings the `onset_ms` counter is the time from where the game starts
// the word's recording to its first loud sample, and `after_onset_ms` the
// figure less that onset, so the program's own delay shows apart from the
// word's first sound.
//
// BM_OpenWordListEditor: "Edit Word List..." on a list of 32,767 words, half
// of them with a sentence, until the editor is shown and painted;
// BM_PasteIntoWordListEditor: 10,000 rows pasted into it, until drawn.

#include "app/app.h"
#include "audio/audiopreferences.h"
#include "audio/recordedparts.h"
#include "audio/systemaudio.h"
#include "audio/voicerecorder.h"
#include "audio/wavfile.h"
#include "benchsupport.h"
#include "core/failure.h"
#include "core/settingkeys.h"
#include "core/settingsstore.h"
#include "program/listrecordings.h"
#include "sinklistener.h"
#include "windows/form1.h"
#include "windows/form5.h"
#include "wordlist/recordingfolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <string>

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

// The program as a learner has it, its game under way.
struct RunningGame
{
    RunningGame(SpeechEngine &speech, const QString &list)
    {
        // The answer's own sound would come first, and the next word after it.
        settings.WriteSetting(SettingKeys::kPlaySounds.key.toString(), u"False"_s);
        settings.WriteSetting(SettingKeys::kNoSounds.key.toString(), u"True"_s);
        Services services;
        services.prompts = &prompts;
        services.speech = &speech;
        services.settings = &settings;
        services.programFolder = folder.path();
        services.historyFile = folder.filePath(u"history.sqlite"_s);
        app = std::make_unique<App>(services);
        form1 = &app->start(list);
        form1->show();
        form1->PushButton3->click();
    }

    QTemporaryDir folder;
    CountingPrompts prompts;
    SettingsStore settings{folder.filePath(u"settings.ini"_s)};
    std::unique_ptr<App> app;
    Form1 *form1 = nullptr;
};

// Says the word in the program's voice and keeps it as the word list editor
// keeps a take from the microphone: trimmed, then saved. False when no sound
// came.
bool recordWord(SpeechEngine &speech, SinkListener &listener, ListRecordings &recordings, const QString &word)
{
    if (!listener.waitForQuiet())
        return false;
    listener.keep();
    auto voice = speech.createVoice();
    voice->setVoice(0);
    voice->setVolume(SettingKeys::kVolume.defaultValue);
    voice->setRate(SettingKeys::kRate.defaultValue);
    voice->speak(word);
    if (!waitFor([&] { return listener.heard(); }) || !listener.waitForQuiet())
        return false;
    const VoiceAudio take = trimmedTake(VoiceAudio{SinkListener::kRate, listener.takeKept()});
    if (take.isEmpty())
        return false;
    recordings.keep(word, RecordingPart::Word, take);
    return true;
}

// From where the game starts the recording to its first loud sample.
double onsetMs(const QString &file)
{
    const VoiceAudio played = trimmedTake(readWavFile(file).audio, kLeadInGameMs, int(kLongestRecordingMs));
    for (qsizetype i = 0; i < played.sampleCount(); ++i) {
        if (std::abs(int(qFromLittleEndian<qint16>(played.samples.constData() + i * 2))) > SinkListener::kLoud)
            return i * 1000.0 / played.sampleRate;
    }
    return 0;
}

// What BM_EnterToNextWordSound keeps from one repetition to the next: the
// speech engine, the sink's listener, the two lists and a game on each.
struct EnterRig
{
    EnterRig()
    {
        try {
            prepare();
        } catch (const Failure &failure) {
            problem = failure.description().toStdString();
        }
    }
    void prepare()
    {
        if (!listener.start()) {
            problem = "no sound server with the lexidrill_null sink";
            return;
        }
        speech->createVoice()->voices();
        const QByteArray words = kSchoolWords.join(u'\n').toUtf8();
        ListRecordings recordings(listPath(true));
        for (const bool recorded : {false, true}) {
            QFile list(listPath(recorded));
            if (!list.open(QIODevice::WriteOnly) || list.write(words) != words.size()) {
                problem = "cannot write the lists";
                return;
            }
        }
        for (const QString &word : kSchoolWords) {
            if (!recordWord(*speech, listener, recordings, word)) {
                problem = "the program's voice could not be recorded";
                return;
            }
            onsets.insert(word, onsetMs(recordings.path(word, RecordingPart::Word)));
        }
    }
    QString listPath(bool recorded) const { return lists.filePath(recorded ? u"recorded.dic"_s : u"voice.dic"_s); }
    // The game on that list; null, with the problem told, when its first
    // word was not heard.
    RunningGame *game(bool recorded)
    {
        auto &made = games[recorded ? 1 : 0];
        if (!made) {
            made = std::make_unique<RunningGame>(*speech, listPath(recorded));
            // Else the first word could be taken for the sound of the answer after it.
            if (!waitFor([this] { return listener.heard(); })) {
                problem = "the game's first word was not heard";
                return nullptr;
            }
        }
        return made.get();
    }

    std::unique_ptr<SpeechEngine> speech = createSystemSpeechEngine();
    SinkListener listener;
    QTemporaryDir lists;
    std::string problem;
    // Each recording's first loud sample, by word.
    QHash<QString, double> onsets;
    std::unique_ptr<RunningGame> games[2];
};

// Made by the first repetition, gone before the application.
std::unique_ptr<EnterRig> enterRig;

// Return pressed and let go, as the keyboard sends it.
void pressEnter(QWidget &widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, u"\r"_s);
    QApplication::sendEvent(&widget, &release);
}

void BM_EnterToNextWordSound(benchmark::State &state)
{
    if (!enterRig)
        enterRig = std::make_unique<EnterRig>();
    EnterRig &rig = *enterRig;
    if (!rig.problem.empty()) {
        state.SkipWithError(rig.problem.c_str());
        return;
    }
    const bool recorded = state.range(0) != 0;
    RunningGame *game = rig.game(recorded);
    if (!game) {
        state.SkipWithError(rig.problem.c_str());
        return;
    }
    Form1 &form1 = *game->form1;
    for (auto _ : state) {
        // The learner answers once the word has been heard.
        if (!rig.listener.waitForQuiet()) {
            state.SkipWithError("the sink does not fall quiet");
            break;
        }
        form1.Text2->setText(form1.state().game.currentWord);
        QElapsedTimer timer;
        timer.start();
        pressEnter(*form1.Text2);
        if (!waitFor([&] { return rig.listener.heard(); })) {
            state.SkipWithError("no sound arrived on the sink");
            break;
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        if (recorded) {
            const double onset = rig.onsets.value(form1.state().game.currentWord);
            state.counters["onset_ms"] = onset;
            state.counters["after_onset_ms"] = ms - onset;
        }
    }
    if (game->prompts.boxes != 0)
        state.SkipWithError("the game showed a message");
}
BENCHMARK(BM_EnterToNextWordSound)
    ->ArgName("recorded")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(40)
    ->ComputeStatistics("p90", [](const std::vector<double> &v) { return percentile(v, 0.9); })
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The main window on a list of 32,767 words, half of them with a sentence.
class LargeListProgram
{
public:
    LargeListProgram()
    {
        const QString listPath = m_folder.filePath(u"large.dic"_s);
        QFile list(listPath);
        QByteArray bytes;
        for (int i = 0; i < kWords; ++i)
            bytes += "word" + QByteArray::number(i) + (i % 2 ? "\tSentence " + QByteArray::number(i) + ".\n" : "\n");
        if (!list.open(QIODevice::WriteOnly) || list.write(bytes) != bytes.size())
            qFatal("cannot write the list");
        list.close();
        m_services.prompts = &prompts;
        m_services.speech = &m_engine;
        m_services.settings = &m_settings;
        m_services.programFolder = m_folder.path();
        m_services.historyFile = m_folder.filePath(u"history.sqlite"_s);
        m_app = std::make_unique<App>(m_services);
        m_app->start(listPath).show();
    }

    Form5 *openEditor()
    {
        m_app->mainWindow()->PushButton14->click();
        return m_app->loadedWordListEditor();
    }

    // Closed without saving: the prompts answer no.
    static void close(Form5 *editor)
    {
        editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static constexpr int kWords = 32'767;
    CountingPrompts prompts;

private:
    QTemporaryDir m_folder;
    SettingsStore m_settings{m_folder.filePath(u"settings.ini"_s)};
    SilentEngine m_engine{{u"Voice"_s}};
    Services m_services;
    std::unique_ptr<App> m_app;
};

void BM_OpenWordListEditor(benchmark::State &state)
{
    LargeListProgram program;
    for (auto _ : state) {
        Form5 *editor = program.openEditor();
        if (!editor) {
            state.SkipWithError("the editor did not open");
            break;
        }
        editor->repaint();
        state.PauseTiming();
        const bool whole = editor->model().rowCount() == LargeListProgram::kWords;
        LargeListProgram::close(editor);
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("the editor does not hold the whole list");
            break;
        }
    }
    if (program.prompts.boxes != 0)
        state.SkipWithError("a message was shown");
}
BENCHMARK(BM_OpenWordListEditor)->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

// 10,000 rows pasted into the large list, until the editor has drawn them.
void BM_PasteIntoWordListEditor(benchmark::State &state)
{
    LargeListProgram program;
    QString pasted;
    for (int i = 0; i < 10'000; ++i)
        pasted += u"new%1\tPasted %1.\n"_s.arg(i);
    for (auto _ : state) {
        state.PauseTiming();
        Form5 *editor = program.openEditor();
        if (!editor) {
            state.SkipWithError("the editor did not open");
            break;
        }
        editor->repaint();
        editor->Grid1->setCurrentIndex(editor->model().index(100, 0));
        state.ResumeTiming();
        editor->pasteText(pasted);
        editor->repaint();
        state.PauseTiming();
        const bool pastedAll = editor->model().rowCount() == LargeListProgram::kWords + 10'000;
        LargeListProgram::close(editor);
        state.ResumeTiming();
        if (!pastedAll) {
            state.SkipWithError("not every row was pasted");
            break;
        }
    }
    if (program.prompts.boxes != 0)
        state.SkipWithError("a message was shown");
}
BENCHMARK(BM_PasteIntoWordListEditor)->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv, {}, [] { enterRig.reset(); });
}
