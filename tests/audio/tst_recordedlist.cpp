// SPDX-License-Identifier: GPL-3.0-or-later
// A list with a recorded word, asked by the main window's game on the real
// speech engine and sound server: the null sink of scripts/sound-server.sh is
// recorded, and each part of a prompt is told apart by its sound. The
// recording is a sweep that lines up with itself at one place only, so a part
// played from it correlates with it and a part the synthetic voice spoke
// does not.
#include "audio/systemaudio.h"
#include "audio/wavfile.h"
#include "soundcheck.h"
#include "testprogram.h"
#include "wordlist/recordingfolder.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

using namespace Qt::StringLiterals;
using namespace SoundCheck;

namespace {

constexpr int kRate = 22050;
constexpr int kTimeoutMs = 20000;
// The quiet between the parts of a prompt is about 0.7 s; the words of a
// sentence are closer together.
constexpr int kPartGapMs = 450;
const QByteArray kList = "cat\tThe cat sat.\ndog\n";

// What the sink heard of one prompt: its parts, each with a little of the
// quiet around it.
struct HeardPrompt
{
    QList<QByteArray> parts;
    // The quiet between one part and the next, in ms.
    QList<int> pauses;
    QString shown; // the parts' times, for failure messages
};

// Waits until `count` parts were heard from sample `from` on and a second of
// quiet followed the last, or more parts than that came.
HeardPrompt listen(SourceRecording &sink, qsizetype from, int count)
{
    QByteArray heard;
    QList<Span> spans;
    // The caller checks how many parts were heard.
    std::ignore = QTest::qWaitFor(
        [&] {
            heard = sink.samples().mid(from * 2);
            spans = soundSpans(heard, kRate, kPartGapMs);
            return spans.size() > count || (spans.size() == count && heard.size() / 2 - spans.last().to > kRate);
        },
        kTimeoutMs);
    HeardPrompt prompt;
    QStringList times;
    for (qsizetype i = 1; i < spans.size(); ++i)
        prompt.pauses.append(int((spans.at(i).from - spans.at(i - 1).to) * 1000 / kRate));
    for (const Span &span : spans) {
        const qsizetype start = std::max<qsizetype>(0, span.from - kRate / 10);
        prompt.parts.append(heard.mid(start * 2, (span.to - start + kRate / 5) * 2));
        times.append(u"%1-%2 s"_s.arg(double(span.from) / kRate, 0, 'f', 2).arg(double(span.to) / kRate, 0, 'f', 2));
    }
    prompt.shown = times.join(u", "_s);
    return prompt;
}

} // namespace

class tst_RecordedList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordedAndSpokenPartsAreHeard();

private:
    // What each part of the prompt was: "recording" when it lines up with
    // the recording, "voice" when it is a loud sound of another shape (the
    // synthetic voice), else what was measured.
    QStringList heardAs(const HeardPrompt &prompt) const;

    QByteArray m_sweep;
    std::unique_ptr<SpeechEngine> m_speech;
};

void tst_RecordedList::initTestCase()
{
    const QByteArray sinks = run(u"pactl"_s, {u"list"_s, u"short"_s, u"sinks"_s});
    if (!sinks.contains(kSink.toUtf8()))
        QFAIL("No sound server with the lexidrill_null sink: source scripts/sound-server.sh first");
    m_sweep = sweep(kRate, 700, 0.5);
    // The engine the program makes, started before the game so that the
    // first word is not held up by its start.
    m_speech = createSystemSpeechEngine();
    QVERIFY(!m_speech->createVoice()->voices().isEmpty());
}

QStringList tst_RecordedList::heardAs(const HeardPrompt &prompt) const
{
    QStringList parts;
    for (const QByteArray &heard : prompt.parts) {
        const double alike = similarity(heard, m_sweep);
        if (alike > 0.9)
            parts.append(u"recording"_s);
        else if (alike < 0.5 && peak(heard) > 3000)
            parts.append(u"voice"_s);
        else
            parts.append(u"similarity %1, peak %2 in %3"_s.arg(alike, 0, 'f', 2).arg(peak(heard)).arg(prompt.shown));
    }
    return parts;
}

void tst_RecordedList::recordedAndSpokenPartsAreHeard()
{
    // The word "cat" is recorded, its sentence and the word "dog" are not.
    QTemporaryDir home;
    const QString list = home.filePath(u"week 3.dic"_s);
    {
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(kList), kList.size());
    }
    writeWavFile(RecordingFolder(list).pathForNew(u"cat"_s, RecordingPart::Word),
                 VoiceAudio{kRate, silence(kRate, 300) + m_sweep + silence(kRate, 300)});

    TimerPauseClock pauses;
    TestProgram program;
    program.realSpeech = m_speech.get();
    program.realPauses = &pauses;
    // The first word not yet asked, each time: "cat" first.
    program.random = std::make_unique<ScriptedRandom>(QList<double>{0.0});
    program.settings->WriteSetting(u"Option1"_s, u"False"_s);
    program.settings->WriteSetting(u"Option2"_s, u"True"_s);
    Form1 &form1 = program.start(list);
    form1.show();
    QVERIFY(QTest::qWaitForWindowActive(&form1));
    SourceRecording sink(kSink + u".monitor"_s, kRate);
    QVERIFY(sink.start());

    form1.PushButton3->click();
    QCOMPARE(form1.state().game.currentWord, u"cat"_s);
    const HeardPrompt cat = listen(sink, 0, 3);
    QCOMPARE(heardAs(cat), (QStringList{u"recording"_s, u"voice"_s, u"recording"_s}));
    // The same pause of about 0.7 s between the parts, whichever plays them.
    for (const int pause : cat.pauses)
        QVERIFY2(pause > 600 && pause < 850, qPrintable(cat.shown));

    qsizetype mark = sink.sampleCount();
    form1.Text2->setText(u"cat"_s);
    QTest::keyClick(form1.Text2, Qt::Key_Return);
    QCOMPARE(form1.state().game.currentWord, u"dog"_s);
    const HeardPrompt dog = listen(sink, mark, 1);
    QCOMPARE(heardAs(dog), QStringList{u"voice"_s});
    form1.PushButton3->click(); // End Game

    // The list and its folder copied together to another place, and the
    // originals gone: the copy chosen in the open dialog brings its own
    // recording along.
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath(u"week 3.dic"_s);
    QVERIFY(QFile::copy(list, copy));
    QVERIFY(QDir().mkdir(copy + u".audio"_s));
    const QDir audio(list + u".audio"_s);
    for (const QString &name : audio.entryList(QDir::Files))
        QVERIFY(QFile::copy(audio.filePath(name), copy + u".audio/"_s + name));
    QVERIFY(QDir(home.path()).removeRecursively());
    program.dialogs.openAnswers.enqueue(copy);
    form1.PushButton6->click();
    QCOMPARE(form1.Text1->text(), copy);

    mark = sink.sampleCount();
    form1.PushButton3->click();
    QCOMPARE(form1.state().game.currentWord, u"cat"_s);
    const HeardPrompt again = listen(sink, mark, 3);
    QCOMPARE(heardAs(again), (QStringList{u"recording"_s, u"voice"_s, u"recording"_s}));
    QVERIFY(program.prompts.boxes.isEmpty());
}

QTEST_MAIN(tst_RecordedList)
#include "tst_recordedlist.moc"
