// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speakword.h"
#include "audiotest.h"

#include <QComboBox>
#include <QSlider>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace AudioTest;

class tst_SpeakWord : public QObject
{
    Q_OBJECT

private slots:
    void speaksWithTheWindowsSettings_data();
    void speaksWithTheWindowsSettings();
    void emptyWordLeavesTheSpeakingVoiceAlone();
    void newWordReleasesThePreviousVoice();
    void failingStepsAreReportedAndTheWordStillSpoken_data();
    void failingStepsAreReportedAndTheWordStillSpoken();
    void playSoundOrder_data();
    void playSoundOrder();
    void missingSoundFileStillWaits();
};

const QString kSpeakWord = u"in Lexidrill2021/08/31.Form1.SpeakWord "_s;
const QString kPlaySound = u"in Lexidrill2021/08/31.Form1.PlaySound "_s;

void tst_SpeakWord::speaksWithTheWindowsSettings_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("calls");
    QTest::addRow("first run: first voice, full volume, slower rate")
        << QStringList() << u"cat"_s << QStringList{u"voice(0)"_s, u"volume(100)"_s, u"rate(-4)"_s, u"speak(cat)"_s};
    QTest::addRow("saved voice, volume and rate")
        << QStringList{u"Combo1=1"_s, u"Volume Level=0"_s, u"Speech Rate=10"_s} << u"dog"_s
        << QStringList{u"voice(1)"_s, u"volume(0)"_s, u"rate(10)"_s, u"speak(dog)"_s};
    QTest::addRow("no voice chosen keeps the default voice")
        << QStringList{u"Combo1=-1"_s} << u"cat"_s << QStringList{u"volume(100)"_s, u"rate(-4)"_s, u"speak(cat)"_s};
    QTest::addRow("saved voice no longer installed keeps the default voice")
        << QStringList{u"Combo1=2"_s} << u"cat"_s << QStringList{u"volume(100)"_s, u"rate(-4)"_s, u"speak(cat)"_s};
    QTest::addRow("word passed as it is")
        << QStringList() << u" Don't. "_s
        << QStringList{u"voice(0)"_s, u"volume(100)"_s, u"rate(-4)"_s, u"speak( Don't. )"_s};
    const QString thousand = QString(999, u'a') + u'z';
    QTest::addRow("a word of 1,000 characters whole")
        << QStringList() << thousand
        << QStringList{u"voice(0)"_s, u"volume(100)"_s, u"rate(-4)"_s, u"speak(%1)"_s.arg(thousand)};
    QTest::addRow("a word of 50,000 characters: its first 1,000")
        << QStringList() << thousand + QString(49'000, u'b')
        << QStringList{u"voice(0)"_s, u"volume(100)"_s, u"rate(-4)"_s, u"speak(%1)"_s.arg(thousand)};
    QTest::addRow("a character of two units at the cut is left out whole")
        << QStringList() << QString(999, u'a') + u"\U0001F600b"_s
        << QStringList{u"voice(0)"_s, u"volume(100)"_s, u"rate(-4)"_s, u"speak(%1)"_s.arg(QString(999, u'a'))};
}

void tst_SpeakWord::speaksWithTheWindowsSettings()
{
    QFETCH(QStringList, settings);
    QFETCH(QString, word);
    QFETCH(QStringList, calls);
    TestProgram program;
    startWith(program, settings);
    program.speech.log.calls.clear();

    SpeakWord(program.state().audio, word);

    // Every call goes to the new voice.
    const QString id = QString::number(program.speech.created);
    QCOMPARE(program.speech.log.calls, calls.replaceInStrings(QRegularExpression(u"^"_s), id + u':'));
    QVERIFY(program.state().audio.SpeakingVoice);
    QVERIFY(program.prompts.errors().isEmpty());
}

void tst_SpeakWord::emptyWordLeavesTheSpeakingVoiceAlone()
{
    TestProgram program;
    startWith(program);
    SpeakWord(program.state().audio, u"cat"_s);
    const SpeechVoice *speaking = program.state().audio.SpeakingVoice.get();
    const int created = program.speech.created;
    program.speech.log.calls.clear();

    SpeakWord(program.state().audio, QString());

    QCOMPARE(program.state().audio.SpeakingVoice.get(), speaking);
    QCOMPARE(program.speech.created, created);
    QVERIFY(program.speech.log.calls.isEmpty());
}

void tst_SpeakWord::newWordReleasesThePreviousVoice()
{
    TestProgram program;
    startWith(program);
    SpeakWord(program.state().audio, u"cat"_s);
    const int first = program.speech.created;
    program.speech.log.calls.clear();

    SpeakWord(program.state().audio, u"dog"_s);

    const QString second = QString::number(first + 1);
    QCOMPARE(program.speech.log.calls,
             QStringList({QString::number(first) + u":released"_s, second + u":voice(0)"_s, second + u":volume(100)"_s,
                          second + u":rate(-4)"_s, second + u":speak(dog)"_s}));
    // The catalog and the one speaking voice.
    QCOMPARE(program.speech.log.liveVoices, 2);
}

enum class Trouble { VoiceRemoved, NoCatalog, EngineGoneBeforeFirstWord, EngineGoneAfterAWord };

void tst_SpeakWord::failingStepsAreReportedAndTheWordStillSpoken_data()
{
    QTest::addColumn<Trouble>("trouble");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QStringList>("calls");
    QTest::addRow("voice removed since the list was built")
        << Trouble::VoiceRemoved << QList<int>{106} << QStringList{u"volume(100)"_s, u"rate(-4)"_s, u"speak(cat)"_s};
    // Speaking never asks the catalog voice, which may still wait for the engine.
    QTest::addRow("no catalog voice") << Trouble::NoCatalog << QList<int>()
                                      << QStringList{u"voice(1)"_s, u"volume(100)"_s, u"rate(-4)"_s, u"speak(cat)"_s};
    // One fault, one report: the steps after it have no voice to act on.
    QTest::addRow("engine gone before the first word")
        << Trouble::EngineGoneBeforeFirstWord << QList<int>{102} << QStringList();
    QTest::addRow("engine gone after a word: the previous voice speaks")
        << Trouble::EngineGoneAfterAWord << QList<int>{102}
        << QStringList{u"voice(1)"_s, u"volume(100)"_s, u"rate(-4)"_s, u"speak(cat)"_s};
}

void tst_SpeakWord::failingStepsAreReportedAndTheWordStillSpoken()
{
    QFETCH(Trouble, trouble);
    QFETCH(QList<int>, lines);
    QFETCH(QStringList, calls);
    TestProgram program;
    startWith(program, {u"Combo1=1"_s});
    ProgramState &globals = program.state();
    switch (trouble) {
    case Trouble::VoiceRemoved:
        program.speech.voiceNames.removeLast();
        globals.audio.VoiceCatalog = program.speech.createVoice();
        break;
    case Trouble::NoCatalog:
        globals.audio.VoiceCatalog.reset();
        break;
    case Trouble::EngineGoneBeforeFirstWord:
        program.speech.broken = true;
        break;
    case Trouble::EngineGoneAfterAWord:
        SpeakWord(globals.audio, u"dog"_s);
        program.speech.broken = true;
        break;
    }
    program.speech.log.calls.clear();

    SpeakWord(globals.audio, u"cat"_s);

    QCOMPARE(reportedLines(program.prompts, kSpeakWord), lines);
    QCOMPARE(callsOfVoice(program.speech.log, program.speech.created), calls);
}

void tst_SpeakWord::playSoundOrder_data()
{
    QTest::addColumn<bool>("isCorrect");
    QTest::addColumn<SoundPlayer::PlayState>("stateBefore");
    QTest::addColumn<int>("volume");
    QTest::addColumn<QStringList>("calls");
    QTest::addRow("right answer, player idle")
        << true << SoundPlayer::PlayState::Stopped << 100
        << QStringList{u"volume(100)"_s, u"source(right)"_s, u"play"_s, u"stop"_s, u"close"_s};
    QTest::addRow("wrong answer, a sound still playing")
        << false << SoundPlayer::PlayState::Playing << 35
        << QStringList{u"volume(35)"_s, u"stop"_s, u"source(wrong)"_s, u"play"_s, u"stop"_s, u"close"_s};
    QTest::addRow("wrong answer, a sound paused, silent")
        << false << SoundPlayer::PlayState::Paused << 0
        << QStringList{u"volume(0)"_s, u"stop"_s, u"source(wrong)"_s, u"play"_s, u"stop"_s, u"close"_s};
}

void tst_SpeakWord::playSoundOrder()
{
    QFETCH(bool, isCorrect);
    QFETCH(SoundPlayer::PlayState, stateBefore);
    QFETCH(int, volume);
    QFETCH(QStringList, calls);
    TestProgram program;
    const QString right = program.writeBeside(u"\\Sounds\\right.wav", "RIFF");
    const QString wrong = program.writeBeside(u"\\Sounds\\wrong.wav", "RIFF");
    startWith(program);
    program.app->audioOptions().Slider1->setValue(volume);
    program.player.state = stateBefore;

    PlaySound(program.state().audio, isCorrect);

    calls.replaceInStrings(u"source(right)"_s, u"source(%1)"_s.arg(right));
    calls.replaceInStrings(u"source(wrong)"_s, u"source(%1)"_s.arg(wrong));
    QCOMPARE(program.player.calls, calls);
    QVERIFY(program.prompts.errors().isEmpty());
}

void tst_SpeakWord::missingSoundFileStillWaits()
{
    TestProgram program;
    startWith(program);

    PlaySound(program.state().audio, true);

    // The next word must not follow at once even without a sound.
    QCOMPARE(program.delay.pauses, QList<double>{1.0});
    QCOMPARE(program.player.calls, QStringList{u"close"_s});
    QVERIFY(program.prompts.boxes.isEmpty());
}

QTEST_MAIN(tst_SpeakWord)
#include "tst_speakword.moc"
