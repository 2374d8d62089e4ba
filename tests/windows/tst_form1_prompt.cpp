// SPDX-License-Identifier: GPL-3.0-or-later
// The game's prompts through the program's own speech path, on the fake
// engine: what each voice is told, when the pauses start and what a cut
// leaves.

#include "audio/speakword.h"
#include "audio/wavfile.h"
#include "audiotest.h"
#include "windows/form3.h"
#include "wordlist/recordingfolder.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace AudioTest;

namespace {

const QString kSentence = u"The weather is warm today."_s;
const QByteArray kOneWord = "weather\tThe weather is warm today.\n";

// The texts spoken so far, in order.
QStringList spokenTexts(const SpeechLog &log)
{
    QStringList spoken;
    for (const QString &call : log.calls) {
        const qsizetype at = call.indexOf(u":speak("_s);
        if (at >= 0)
            spoken.append(call.mid(at + 7).chopped(1));
    }
    return spoken;
}

// Lets the speech under way end and the pause after it pass, until the
// prompt has nothing more to play.
void playToTheEnd(TestProgram &program)
{
    for (int part = 0; part < 10; ++part) {
        program.speech.log.finishSpeech();
        if (!program.pauses.elapse())
            return;
    }
    QFAIL("the prompt did not end");
}

// The sound output of recorded words: keeps what it is given to play, and
// plays it to the end when told.
class TestPlayback : public AudioPlayback
{
public:
    struct Log
    {
        QList<QByteArray> played;
        QList<int> volumes;
        Callbacks playing;
    };
    explicit TestPlayback(Log &log) : m_log(log) { }
    QString play(int, const QByteArray &samples, int volume, Callbacks callbacks) override
    {
        m_log.played.append(samples);
        m_log.volumes.append(volume);
        m_log.playing = std::move(callbacks);
        return {};
    }
    void stop() override { m_log.playing = {}; }

private:
    Log &m_log;
};

// A second of a tone, loud enough to be a voice.
VoiceAudio tone(int pitch)
{
    QByteArray samples(kRecordingSampleRate * 2, Qt::Uninitialized);
    auto *out = reinterpret_cast<qint16 *>(samples.data());
    for (int i = 0; i < kRecordingSampleRate; ++i)
        out[i] = qint16(12000 * std::sin(2 * M_PI * pitch * i / kRecordingSampleRate));
    return VoiceAudio{kRecordingSampleRate, samples};
}

} // namespace

class tst_Form1Prompt : public QObject
{
    Q_OBJECT

private slots:
    void wordSentenceWord();
    void cutAndRepeat_data();
    void cutAndRepeat();
    void listsWithoutSentencesSpeakAsBefore_data();
    void listsWithoutSentencesSpeakAsBefore();
    void practiceGameKeepsTheSentences();
    void recordingsTakeTheVoicesPlace_data();
    void recordingsTakeTheVoicesPlace();
    void practiceAndRepeatPlayTheRecording();

private:
    Form1 &start(TestProgram &program, const QByteArray &list, const QStringList &settings = {});
};

Form1 &tst_Form1Prompt::start(TestProgram &program, const QByteArray &list, const QStringList &settings)
{
    for (const QString &entry : settings)
        program.settings->WriteSetting(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    Form1 &form1 = program.start(program.writeFile(u"list.dic"_s, list));
    form1.show();
    if (!QTest::qWaitForWindowActive(&form1))
        qFatal("the main window did not become active");
    program.speech.log.calls.clear();
    return form1;
}

void tst_Form1Prompt::wordSentenceWord()
{
    TestProgram program;
    Form1 &form1 = start(program, kOneWord);

    form1.PushButton3->click();
    const int first = program.speech.created;
    playToTheEnd(program);

    QCOMPARE(spokenTexts(program.speech.log), (QStringList{u"weather"_s, kSentence, u"weather"_s}));
    QCOMPARE(program.pauses.started, (QList<int>{400, 520}));
    // Every part with the voice, volume and rate of the audio options.
    for (int voice = first; voice < first + 3; ++voice) {
        QCOMPARE(callsOfVoice(program.speech.log, voice).mid(0, 3),
                 (QStringList{u"voice(0)"_s, u"volume(100)"_s, u"rate(-4)"_s}));
    }
    QVERIFY(program.prompts.errors().isEmpty());
}

enum class Cut { Enter, EndGame, RepeatButton, CtrlR };
enum class Stage { Word, FirstPause, Sentence, SecondPause, LastWord };

void tst_Form1Prompt::cutAndRepeat_data()
{
    QTest::addColumn<Cut>("cut");
    QTest::addColumn<Stage>("stage");
    QTest::addColumn<QStringList>("spoken");
    const QString w = u"weather"_s;
    const QStringList whole{w, kSentence, w};
    QTest::addRow("Enter in the word: the next word's prompt whole")
        << Cut::Enter << Stage::Word << QStringList{w} + whole;
    QTest::addRow("Enter in the pause: the sentence never comes")
        << Cut::Enter << Stage::FirstPause << QStringList{w} + whole;
    QTest::addRow("Enter in the sentence") << Cut::Enter << Stage::Sentence << QStringList{w, kSentence} + whole;
    QTest::addRow("End Game in the pause: nothing more") << Cut::EndGame << Stage::FirstPause << QStringList{w};
    QTest::addRow("End Game in the sentence: nothing more")
        << Cut::EndGame << Stage::Sentence << QStringList{w, kSentence};
    QTest::addRow("Repeat in the sentence: the prompt whole again")
        << Cut::RepeatButton << Stage::Sentence << QStringList{w, kSentence} + whole;
    QTest::addRow("Repeat in the last word") << Cut::RepeatButton << Stage::LastWord << whole + whole;
    QTest::addRow("Ctrl+R in the pause") << Cut::CtrlR << Stage::FirstPause << QStringList{w} + whole;
    QTest::addRow("End Game in the second pause: no last word")
        << Cut::EndGame << Stage::SecondPause << QStringList{w, kSentence};
}

void tst_Form1Prompt::cutAndRepeat()
{
    QFETCH(Cut, cut);
    QFETCH(Stage, stage);
    QFETCH(QStringList, spoken);
    TestProgram program;
    Form1 &form1 = start(program, kOneWord);
    form1.PushButton3->click();
    for (int step = 0; step < int(stage); ++step) {
        if (step % 2 == 0)
            program.speech.log.finishSpeech();
        else
            program.pauses.elapse();
    }
    const int cutVoice = program.speech.created;
    // The feedback sound of an answer comes after the cut.
    bool quietForTheSound = false;
    program.delay.whilePaused = [&] {
        quietForTheSound = callsOfVoice(program.speech.log, cutVoice).contains(u"released"_s)
            && !program.pauses.pending() && program.speech.created == cutVoice;
    };

    switch (cut) {
    case Cut::Enter:
        form1.Text2->setText(u"wether"_s);
        QTest::keyClick(form1.Text2, Qt::Key_Return);
        break;
    case Cut::EndGame:
        form1.PushButton3->click();
        break;
    case Cut::RepeatButton:
        form1.PushButton5->click();
        break;
    case Cut::CtrlR:
        QTest::keyClick(form1.Text2, Qt::Key_R, Qt::ControlModifier);
        break;
    }

    // The part under way is silenced at once: its voice is let go.
    QVERIFY(callsOfVoice(program.speech.log, cutVoice).contains(u"released"_s));
    QCOMPARE(quietForTheSound, cut == Cut::Enter);
    playToTheEnd(program);
    QCOMPARE(spokenTexts(program.speech.log), spoken);
    QVERIFY(program.prompts.errors().isEmpty());
}

void tst_Form1Prompt::listsWithoutSentencesSpeakAsBefore_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("settings");
    QTest::addRow("a list without sentences") << QByteArray("cat\r\ndog\r\nowl\r\n") << QStringList();
    QTest::addRow("sentences with the option off")
        << QByteArray("cat\tA cat sat.\ndog\tA dog ran.\nowl\tAn owl hoots.\n") << QStringList{u"Say Sentence=False"_s};
}

// The game's calls are SpeakWord's calls for the same words, and nothing
// waits for the speech or for a pause.
void tst_Form1Prompt::listsWithoutSentencesSpeakAsBefore()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, settings);
    TestProgram program;
    Form1 &form1 = start(program, list, settings);
    TestProgram reference;
    start(reference, list, settings);

    form1.PushButton3->click();
    QStringList asked{form1.state().game.currentWord};
    for (int answer = 0; answer < 5; ++answer) {
        form1.Text2->setText(u"x"_s);
        QTest::keyClick(form1.Text2, Qt::Key_Return);
        asked.append(form1.state().game.currentWord);
    }
    form1.PushButton5->click();
    asked.append(form1.state().game.currentWord);
    form1.PushButton3->click();
    for (const QString &word : std::as_const(asked))
        SpeakWord(reference.state().audio, word);

    QCOMPARE(program.speech.log.calls, reference.speech.log.calls);
    QCOMPARE(spokenTexts(program.speech.log), asked);
    QVERIFY(program.speech.log.waitingForSpeech.isEmpty());
    QVERIFY(program.pauses.started.isEmpty());
    QVERIFY(program.prompts.errors().isEmpty());
}

void tst_Form1Prompt::practiceGameKeepsTheSentences()
{
    TestProgram program;
    Form1 &form1 = start(program, "cat\nweather\tThe weather is warm today.\n");

    form1.startGameOver({u"weather"_s});
    playToTheEnd(program);

    QCOMPARE(spokenTexts(program.speech.log), (QStringList{u"weather"_s, kSentence, u"weather"_s}));
}

enum class Recording { None, Good, Damaged };

void tst_Form1Prompt::recordingsTakeTheVoicesPlace_data()
{
    QTest::addColumn<Recording>("word");
    QTest::addColumn<Recording>("sentence");
    QTest::addColumn<QStringList>("spoken");
    QTest::addColumn<int>("played");
    const QString w = u"weather"_s;
    QTest::addRow("a recorded word plays twice, its sentence is spoken")
        << Recording::Good << Recording::None << QStringList{kSentence} << 2;
    QTest::addRow("word and sentence recorded: the voice says nothing")
        << Recording::Good << Recording::Good << QStringList{} << 3;
    QTest::addRow("only the sentence recorded") << Recording::None << Recording::Good << QStringList{w, w} << 1;
    QTest::addRow("a damaged word recording is left to the voice")
        << Recording::Damaged << Recording::Good << QStringList{w, w} << 1;
    QTest::addRow("no recordings: the voice as before")
        << Recording::None << Recording::None << QStringList{w, kSentence, w} << 0;
}

void tst_Form1Prompt::recordingsTakeTheVoicesPlace()
{
    QFETCH(Recording, word);
    QFETCH(Recording, sentence);
    QFETCH(QStringList, spoken);
    QFETCH(int, played);
    // Outlives the program, whose playback reports to it to the end.
    TestPlayback::Log output;
    TestProgram program;
    program.recordingOutput = [&] { return std::make_unique<TestPlayback>(output); };
    const QString audioFolder = program.folder.filePath(u"list.dic.audio"_s);
    QVERIFY(QDir().mkpath(audioFolder));
    const auto record = [&](Recording kind, RecordingPart part, int pitch) {
        const QString path = audioFolder + u'/' + recordingFileName(u"weather"_s, part);
        if (kind == Recording::Good)
            writeWavFile(path, tone(pitch));
        else if (kind == Recording::Damaged)
            program.writeFile(u"list.dic.audio/"_s + recordingFileName(u"weather"_s, part),
                              wavFileBytes(tone(pitch)).left(30));
    };
    record(word, RecordingPart::Word, 440);
    record(sentence, RecordingPart::Sentence, 660);
    Form1 &form1 = start(program, kOneWord, {u"Volume Level=60"_s});

    form1.PushButton3->click();
    for (int part = 0; part < 10; ++part) {
        if (auto finished = std::exchange(output.playing.finished, {}))
            finished();
        else
            program.speech.log.finishSpeech();
        if (!program.pauses.elapse())
            break;
    }

    QCOMPARE(spokenTexts(program.speech.log), spoken);
    QCOMPARE(output.played.size(), played);
    QCOMPARE(output.volumes, QList<int>(played, 60));
    // The word's recording comes first and last, the sentence's between.
    if (word == Recording::Good)
        QCOMPARE(output.played.first(), output.played.last());
    if (played == 3)
        QVERIFY(output.played.at(1) != output.played.first());
    QVERIFY(program.prompts.boxes.isEmpty());
}

// A practice game plays the recordings of the list in use, and Repeat plays
// the recording again.
void tst_Form1Prompt::practiceAndRepeatPlayTheRecording()
{
    TestPlayback::Log output;
    TestProgram program;
    program.recordingOutput = [&] { return std::make_unique<TestPlayback>(output); };
    QVERIFY(QDir().mkpath(program.folder.filePath(u"list.dic.audio"_s)));
    writeWavFile(program.folder.filePath(u"list.dic.audio/"_s + recordingFileName(u"cat"_s, RecordingPart::Word)),
                 tone(440));
    Form1 &form1 = start(program, "cat\nweather\tThe weather is warm today.\n");

    form1.startGameOver({u"cat"_s});
    QCOMPARE(output.played.size(), 1);
    QVERIFY(output.playing.finished);
    form1.PushButton5->click();
    QCOMPARE(output.played.size(), 2);
    QCOMPARE(output.played.last(), output.played.first());
    QVERIFY(spokenTexts(program.speech.log).isEmpty());
    QVERIFY(program.prompts.boxes.isEmpty());
}

QTEST_MAIN(tst_Form1Prompt)
#include "tst_form1_prompt.moc"
