// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiotest.h"
#include "core/apptitle.h"
#include "testprogram.h"
#include "widgets/looks.h"
#include "windows/form3.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray handCursorFile()
{
    const QByteArray bytes = readFile(QStringLiteral(LEXIDRILL_HAND_CURSOR));
    if (bytes.isEmpty())
        qFatal("missing hand cursor");
    return bytes;
}

void moveOver(QWidget *widget)
{
    const QPointF inside(2, 2);
    QMouseEvent move(QEvent::MouseMove, inside, widget->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

int countOf(const QStringList &texts, const QString &text)
{
    return int(texts.count(text));
}

} // namespace

class tst_Form1 : public QObject
{
    Q_OBJECT

private slots:
    void controlsKeepDesignNamesAndPlaces_data();
    void controlsKeepDesignNamesAndPlaces();
    void windowLook();
    void firstRunLoadsOneToTen();
    void rememberedListIsLoaded();
    void givenListTakesThePlaceOfTheRememberedOne();
    void missingRememberedListFallsBackToSample();
    void badListIsReportedOnce_data();
    void badListIsReportedOnce();
    void noListAtAllGivesOneMessage();
    void skinFileSwitchesToButtonFace();
    void handPointerOverButtonsButNotOverBusy();
    void failingStepIsReportedAndStartUpGoesOn();
    void closingEndsProgramWithoutBringingWindowsBack();
    void speechStartEndingAfterTheLoad_data();
    void speechStartEndingAfterTheLoad();
    void closingWhileTheSpeechEngineStarts();
    void firstStartGameWhileTheSpeechEngineStarts();
};

void tst_Form1::controlsKeepDesignNamesAndPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");
    QTest::addRow("PushButton3") << u"PushButton3"_s << QRect(120, 120, 7200, 405) << u"Start Game"_s;
    QTest::addRow("PushButton5") << u"PushButton5"_s << QRect(120, 1680, 7800, 405) << u"Repeat Word (Ctrl+R)"_s;
    QTest::addRow("Frame5") << u"Frame5"_s << QRect(120, 590, 7800, 975) << u"Type Word && Press Enter"_s;
    QTest::addRow("PushButton8") << u"PushButton8"_s << QRect(6720, 315, 1065, 315) << u"Enter"_s;
    QTest::addRow("Frame3") << u"Frame3"_s << QRect(120, 2565, 7800, 2340) << u"Word List Option"_s;
    QTest::addRow("PushButton6") << u"PushButton6"_s << QRect(240, 750, 7300, 405)
                                 << u"Load Word List From Text File"_s;
    QTest::addRow("PushButton1") << u"PushButton1"_s << QRect(3960, 1770, 3600, 405)
                                 << u"Load 8th Grade Example List"_s;
    QTest::addRow("PushButton2") << u"PushButton2"_s << QRect(240, 1260, 3600, 405) << u"Help"_s;
    QTest::addRow("PushButton10") << u"PushButton10"_s << QRect(240, 1770, 3600, 405)
                                  << u"Load One-To-Ten Example List"_s;
    QTest::addRow("PushButton11") << u"PushButton11"_s << QRect(3960, 1260, 3600, 405) << u"View File You Are Using"_s;
    QTest::addRow("Text1") << u"Text1"_s << QRect(240, 300, 7300, 345) << QString();
    QTest::addRow("Label3 laid over Text1") << u"Label3"_s << QRect(240, 300, 7300, 345) << u"One-To-Ten.txt"_s;
    QTest::addRow("PushButton4") << u"PushButton4"_s << QRect(120, 5025, 7800, 405) << u"Audio Options"_s;
    QTest::addRow("PushButton12 below the design's rows")
        << u"PushButton12"_s << QRect(120, 5550, 7800, 405) << u"Progress"_s;
    QTest::addRow("Label6 empty until a sentence is asked") << u"Label6"_s << QRect(120, 6075, 7800, 405) << QString();
    QTest::addRow("Label5 empty until a round is finished") << u"Label5"_s << QRect(120, 6600, 7800, 255) << QString();
    QTest::addRow("PushButton13 on a row of its own")
        << u"PushButton13"_s << QRect(120, 6975, 7800, 405) << u"Take a Test"_s;
    QTest::addRow("PushButton14 on a row of its own")
        << u"PushButton14"_s << QRect(120, 7500, 7800, 405) << u"Edit Word List..."_s;
    QTest::addRow("Label7 on the last row") << u"Label7"_s << QRect(120, 8055, 960, 345) << u"Learner:"_s;
    QTest::addRow("Combo1 on the last row") << u"Combo1"_s << QRect(1080, 8055, 6840, 345) << QString();
    QTest::addRow("PushButton7") << u"PushButton7"_s << QRect(7440, 120, 480, 405) << u"?"_s;
    QTest::addRow("Label4") << u"Label4"_s << QRect(4080, 2220, 3840, 255) << QString();
    QTest::addRow("Label2") << u"Label2"_s << QRect(3600, 0, 3840, 255) << u"Score:"_s;
    QTest::addRow("Label1") << u"Label1"_s << QRect(120, 2220, 3840, 255) << QString();
}

void tst_Form1::controlsKeepDesignNamesAndPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    auto *control = form.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), Looks::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    const QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
    QVERIFY(!face->text(QAccessible::Name).isEmpty() || !face->text(QAccessible::Description).isEmpty());
    QString text;
    if (auto *button = qobject_cast<QPushButton *>(control))
        text = button->text();
    else if (auto *label = qobject_cast<QLabel *>(control))
        text = label->text();
    else if (auto *frame = qobject_cast<QGroupBox *>(control))
        text = frame->title();
    else if (auto *edit = qobject_cast<QLineEdit *>(control); edit && name != u"Text1")
        text = edit->text();
    QCOMPARE(text, caption);
}

void tst_Form1::windowLook()
{
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), u"Lexidrill"_s);
    QCOMPARE(applicationTitle(), u"Lexidrill"_s);
    // The design's 8040 x 5550 twips and rows for the Progress button, the
    // sentence line, the finish line, the Take a Test and Edit Word List
    // buttons and the learner.
    QCOMPARE(form.size(), QSize(536, 568));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(QAccessible::queryAccessibleInterface(form.Frame5)->text(QAccessible::Name), u"Type Word & Press Enter"_s);
    QVERIFY(form.Text1->isHidden());
    QVERIFY(form.PushButton8->isHidden());
    QVERIFY(form.Label2->isHidden());
    QVERIFY(form.PushButton7->isVisible());
    QCOMPARE(QApplication::focusWidget(), form.Text2);
    QCOMPARE(form.PushButton3->font().pointSizeF(), 11.25);
    QCOMPARE(form.Text2->font().pointSizeF(), 15.75);
    QCOMPARE(form.Label1->font().pointSizeF(), 9.0);
    QVERIFY(form.Label1->font().bold());
    QCOMPARE(form.Label1->palette().color(QPalette::Window), QColor(255, 255, 192));
    QCOMPARE(form.Label4->palette().color(QPalette::Window), QColor(192, 255, 192));
    QCOMPARE(form.Label2->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(form.Label3->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(255, 255, 255));
}

void tst_Form1::firstRunLoadsOneToTen()
{
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    const QString sample = program.path(u"\\Samples\\One-To-Ten.txt");
    QCOMPARE(program.settings->ReadSetting(u"Dictionary"_s, u"absent"_s), sample);
    QCOMPARE(form.Text1->text(), sample);
    QCOMPARE(form.Label3->text(), u"One-To-Ten.txt"_s);
    QCOMPARE(program.state().dictionary.count(), 10);
    QCOMPARE(program.state().usedWords.count(), 0);
    QVERIFY(!program.state().game.started);
    QVERIFY(form.Label1->text().isEmpty());
    QVERIFY(form.Label4->text().isEmpty());
    QVERIFY(program.prompts.errors().isEmpty());
    QVERIFY(!program.prompts.messages().contains(u"Dictionary file is not valid."_s));
}

void tst_Form1::rememberedListIsLoaded()
{
    TestProgram program;
    program.addSamples();
    const QString mine = program.writeFile(u"my words.txt"_s, "alpha\nbeta\n");
    program.settings->WriteSetting(u"Dictionary"_s, mine);
    Form1 &form = program.start();
    QCOMPARE(form.Label3->text(), u"my words.txt"_s);
    QCOMPARE(program.state().dictionary.count(), 2);
    QCOMPARE(program.settings->ReadSetting(u"Dictionary"_s, QString()), mine);
}

void tst_Form1::givenListTakesThePlaceOfTheRememberedOne()
{
    TestProgram program;
    program.settings->WriteSetting(u"Dictionary"_s, program.folder.filePath(u"deleted.txt"_s));
    const QString given = program.writeFile(u"given.txt"_s, "alpha\nbeta\n");
    Form1 &form = program.start(given);
    QCOMPARE(form.Label3->text(), u"given.txt"_s);
    QCOMPARE(program.state().dictionary.count(), 2);
    QCOMPARE(program.settings->ReadSetting(u"Dictionary"_s, QString()), given);
    // Neither the remembered list nor the samples were looked for.
    QCOMPARE(program.prompts.messages(), QStringList());
}

void tst_Form1::missingRememberedListFallsBackToSample()
{
    TestProgram program;
    program.addSamples();
    program.settings->WriteSetting(u"Dictionary"_s, program.folder.filePath(u"deleted.txt"_s));
    Form1 &form = program.start();
    const QString sample = program.path(u"\\Samples\\8th-Grade-Word-List.txt");
    QCOMPARE(form.Text1->text(), sample);
    QCOMPARE(program.settings->ReadSetting(u"Dictionary"_s, QString()), sample);
    QCOMPARE(form.Label3->text(), u"8th-Grade-Word-List.txt"_s);
    QCOMPARE(program.state().dictionary.count(), 3);
    QVERIFY(!program.prompts.messages().contains(u"Dictionary file is not valid."_s));
}

void tst_Form1::badListIsReportedOnce_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("fallsBackToTheSample");
    QTest::addRow("remembered") << u"remembered"_s << true;
    QTest::addRow("given on the command line") << u"given"_s << true;
    QTest::addRow("8th-grade sample after a missing list") << u"sample"_s << false;
}

// The start-up reads its list once: a list that is not text is reported once
// and is not taken. The start-up goes on as for a missing list: to the
// 8th-grade sample, which is then the list remembered, or, when that is the
// list refused, to the message that there is no list.
void tst_Form1::badListIsReportedOnce()
{
    QFETCH(QString, list);
    QFETCH(bool, fallsBackToTheSample);
    TestProgram program;
    program.addSamples();
    const QByteArray notText("alpha\0beta\n", 11);
    const QString deleted = program.folder.filePath(u"deleted.txt"_s);
    QString bad;
    QString given;
    if (list == u"sample"_s) {
        bad = program.writeBeside(u"\\Samples\\8th-Grade-Word-List.txt", notText);
        program.settings->WriteSetting(u"Dictionary"_s, deleted);
    } else {
        bad = program.writeFile(u"bad.txt"_s, notText);
        if (list == u"given"_s)
            given = bad;
        else
            program.settings->WriteSetting(u"Dictionary"_s, bad);
    }
    Form1 &form = program.start(given);
    QCOMPARE(program.prompts.errors().size(), 1);
    const QString report = program.prompts.errors().first();
    QVERIFY2(report.startsWith(u"\"%1\" is not a text file.\r\n"_s.arg(bad)), qPrintable(report));
    QVERIFY2(report.contains(u"\r\nin Lexidrill2021/08/31.modDictionary.loadDictionaryFile at line 102\r\r"_s),
             qPrintable(report));
    const QString inUse = fallsBackToTheSample ? program.path(u"\\Samples\\8th-Grade-Word-List.txt") : deleted;
    QCOMPARE(form.Text1->text(), inUse);
    QCOMPARE(program.settings->ReadSetting(u"Dictionary"_s, QString()), inUse);
    QCOMPARE(form.Label3->text(), fallsBackToTheSample ? u"8th-Grade-Word-List.txt"_s : u"deleted.txt"_s);
    QCOMPARE(program.state().dictionary.count(), fallsBackToTheSample ? 3 : 0);
    QCOMPARE(program.prompts.messages(),
             fallsBackToTheSample ? QStringList() : QStringList{u"Dictionary file is not valid."_s});
}

void tst_Form1::noListAtAllGivesOneMessage()
{
    TestProgram program;
    Form1 &form = program.start();
    QCOMPARE(countOf(program.prompts.messages(), u"Dictionary file is not valid."_s), 1);
    QCOMPARE(program.state().dictionary.count(), 0);
    QVERIFY(program.prompts.errors().isEmpty());
    QCOMPARE(form.Label3->text(), u"8th-Grade-Word-List.txt"_s);
    QVERIFY(form.Text1->isHidden());
}

void tst_Form1::skinFileSwitchesToButtonFace()
{
    TestProgram program;
    program.addSamples();
    program.writeBeside(u"\\x\\o.cjs", "skin");
    Form1 &form = program.start();
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    QCOMPARE(form.palette().color(QPalette::Window), face);
    QCOMPARE(form.Frame3->palette().color(QPalette::Window), face);
    // The labels still take their own colours afterwards.
    QCOMPARE(form.Label1->palette().color(QPalette::Window), QColor(255, 255, 192));
    QCOMPARE(form.Label3->palette().color(QPalette::Window), QColor(255, 255, 255));
}

void tst_Form1::handPointerOverButtonsButNotOverBusy()
{
    TestProgram program;
    program.addSamples();
    program.writeBeside(u"\\HAND-M.CUR", handCursorFile());
    Form1 &form = program.start();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QVERIFY(program.prompts.errors().isEmpty());

    moveOver(form.PushButton4);
    QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(form.cursor().hotSpot(), QPoint(7, 1));
    moveOver(form.Frame3);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);

    form.setCursor(Qt::WaitCursor);
    moveOver(form.PushButton5);
    QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
}

void tst_Form1::failingStepIsReportedAndStartUpGoesOn()
{
    TestProgram program;
    program.addSamples();
    // A store that refuses writes: the path field's change handling fails
    // while remembering the list. The speech engine is still starting, so
    // that this is the first write of the run.
    const QString blocker = program.writeFile(u"blocker"_s, "x");
    program.settings = std::make_unique<SettingsStore>(blocker + u"/settings.ini"_s);
    program.speech.starting = true;
    Form1 &form = program.start();
    const QStringList errors = program.prompts.errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(
        errors.first().startsWith(u"Cannot write the setting \"Dictionary\" to %1/settings.ini\r\n"_s.arg(blocker)),
        qPrintable(errors.first()));
    QVERIFY(errors.first().contains(u"\r\nin Lexidrill2021/08/31.Form1.Form_Load at line 138\r\r"_s));
    // The audio options refused next are the same fault, not reported again.
    program.speech.finishStart(true);
    QVERIFY(program.app->isAudioOptionsLoaded());
    QCOMPARE(program.prompts.errors().size(), 1);
    // The list was read and named all the same.
    QCOMPARE(form.Label3->text(), u"One-To-Ten.txt"_s);
    QCOMPARE(program.state().dictionary.count(), 10);
    QVERIFY(form.Text1->isHidden());
    QVERIFY(!program.state().game.started);
}

void tst_Form1::speechStartEndingAfterTheLoad_data()
{
    QTest::addColumn<bool>("works");
    QTest::addRow("the engine starts") << true;
    QTest::addRow("no engine can start") << false;
}

// The window does not wait for the speech engine; once its start ends, the
// voice list and the messages are those of a start that ended first.
void tst_Form1::speechStartEndingAfterTheLoad()
{
    QFETCH(bool, works);
    TestProgram startedFirst;
    startedFirst.addSamples();
    startedFirst.speech.broken = !works;
    startedFirst.start();

    TestProgram program;
    program.addSamples();
    program.speech.starting = true;
    program.start();
    QCOMPARE(program.state().dictionary.count(), 10);
    QVERIFY(!program.app->isAudioOptionsLoaded());
    QVERIFY(program.prompts.boxes.isEmpty());

    program.speech.finishStart(works);

    QCOMPARE(program.prompts.errors(), startedFirst.prompts.errors());
    QCOMPARE(program.prompts.messages(), startedFirst.prompts.messages());
    const QComboBox *voices = program.app->audioOptions().Combo1;
    const QComboBox *voicesStartedFirst = startedFirst.app->audioOptions().Combo1;
    QCOMPARE(voices->count(), voicesStartedFirst->count());
    QCOMPARE(voices->currentIndex(), voicesStartedFirst->currentIndex());
    QCOMPARE(bool(program.state().audio.VoiceCatalog), works);
}

void tst_Form1::closingWhileTheSpeechEngineStarts()
{
    TestProgram program;
    program.addSamples();
    program.speech.starting = true;
    program.start();
    program.app.reset();

    program.speech.finishStart(false);

    QVERIFY(program.prompts.boxes.isEmpty());
}

// The first Start Game does not wait for the engine's voice list: the word
// goes out with the saved voice choice, and the list comes with the start.
void tst_Form1::firstStartGameWhileTheSpeechEngineStarts()
{
    TestProgram program;
    program.speech.starting = true;
    Form1 &form = AudioTest::startWith(program, {u"Combo1=1"_s});
    program.speech.log.calls.clear();

    form.PushButton3->click();

    QCOMPARE(form.PushButton3->text(), u"End Game"_s);
    QVERIFY(form.Label1->text().contains(u" Word 1 of 10"_s));
    QVERIFY(program.app->isAudioOptionsLoaded());
    QCOMPARE(program.app->audioOptions().Combo1->count(), 0);
    const int speaker = program.speech.created;
    // Loading the options window first sets the sliders on the new voice.
    const QStringList calls = AudioTest::callsOfVoice(program.speech.log, speaker);
    QVERIFY2(calls.size() >= 4 && calls[calls.size() - 4] == u"voice(1)"_s && calls.last().startsWith(u"speak("_s),
             qPrintable(calls.join(u' ')));
    QVERIFY(program.prompts.boxes.isEmpty());

    program.speech.finishStart(true);
    QCOMPARE(program.app->audioOptions().Combo1->count(), program.speech.voiceNames.size());
    QCOMPARE(program.app->audioOptions().Combo1->currentIndex(), 1);
}

void tst_Form1::closingEndsProgramWithoutBringingWindowsBack()
{
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    form.show();
    form.PushButton4->click();
    QVERIFY(program.app->audioOptions().isVisible());
    QVERIFY(form.isHidden());
    form.close();
    QVERIFY(program.app->ending());
    QVERIFY(form.isHidden());
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
