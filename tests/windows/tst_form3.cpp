// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speakword.h"
#include "audiotest.h"
#include "widgets/busywhilewaiting.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <qtestspontaneevent.h>

using namespace Qt::StringLiterals;
using namespace AudioTest;

class tst_Form3 : public QObject
{
    Q_OBJECT

private slots:
    void firstRun();
    void storedNumbers_data();
    void storedNumbers();
    void storedOptions_data();
    void storedOptions();
    void choicesSurviveUnloading();
    void sentenceOptionsRoundTrip_data();
    void sentenceOptionsRoundTrip();
    void slidersReachTheSpeakingVoice_data();
    void slidersReachTheSpeakingVoice();
    void voiceChoiceIsSaved();
    void refusedSavesAreReported_data();
    void refusedSavesAreReported();
    void testSpeed();
    void testSpeedWithoutEngine();
    void windowHoldsTheUserDuringTheTest();
    void refreshListHoldsTheUser();
    void addVoices_data();
    void addVoices();
    void closingBringsTheMainWindowBack_data();
    void closingBringsTheMainWindowBack();
    void comingBackFromAModalBoxIsNoOpening();
    void handPointer_data();
    void handPointer();
};

const QString kFormLoad = u"in Lexidrill2021/08/31.Form3.Form_Load "_s;
const QString kTestSpeed = u"in Lexidrill2021/08/31.Form3.PushButton14_Click "_s;

void tst_Form3::firstRun()
{
    TestProgram program;
    startWith(program);

    const Form3 &form3 = program.app->audioOptions();
    QVERIFY(!form3.isVisible());
    QCOMPARE(form3.windowTitle(), u"Lexidrill - Audio Options"_s);
    QCOMPARE(form3.Slider1->value(), 100);
    QCOMPARE(form3.lblVolume->text(), u"Volume Level = 100"_s);
    QCOMPARE(form3.Slider2->value(), -4);
    QCOMPARE(form3.lblSpeed->text(), u"Speech Rate = -4"_s);
    QVERIFY(form3.Option1->isChecked());
    QVERIFY(!form3.Option2->isChecked());
    QCOMPARE(form3.Combo1->currentIndex(), 0);
    // The handlers run by the load step save what it read.
    QCOMPARE(setting(program, u"Volume Level"_s), u"100"_s);
    QCOMPARE(setting(program, u"Speech Rate"_s), u"-4"_s);
    QCOMPARE(setting(program, u"Option1"_s), u"True"_s);
    QCOMPARE(setting(program, u"Option2"_s), u"False"_s);
    QCOMPARE(setting(program, u"Combo1"_s), u"0"_s);
    QVERIFY(program.prompts.boxes.isEmpty());
}

void tst_Form3::storedNumbers_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addRow("rate 3.5 rounds up to even") << u"Speech Rate"_s << u"3.5"_s << 4;
    QTest::addRow("rate 2.5 rounds down to even") << u"Speech Rate"_s << u"2.5"_s << 2;
    QTest::addRow("rate -10") << u"Speech Rate"_s << u"-10"_s << -10;
    QTest::addRow("damaged rate reads as 0") << u"Speech Rate"_s << u"fast"_s << 0;
    QTest::addRow("damaged volume is silent") << u"Volume Level"_s << u"loud"_s << 0;
}

void tst_Form3::storedNumbers()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(int, value);
    TestProgram program;
    startWith(program, {key + u'=' + text});

    const Form3 &form3 = program.app->audioOptions();
    const bool volume = key == u"Volume Level"_s;
    QCOMPARE((volume ? form3.Slider1 : form3.Slider2)->value(), value);
    QCOMPARE((volume ? form3.lblVolume : form3.lblSpeed)->text(), key + u" = "_s + QString::number(value));
    QVERIFY(program.prompts.errors().isEmpty());
}

void tst_Form3::storedOptions_data()
{
    QTest::addColumn<QString>("option1");
    QTest::addColumn<QString>("option2");
    QTest::addColumn<bool>("playSounds");
    QTest::addColumn<bool>("doNotPlay");
    QTest::addColumn<QList<int>>("lines");
    QTest::addRow("do not play sounds") << u"False"_s << u"True"_s << false << true << QList<int>();
    QTest::addRow("numbers") << u"0"_s << u"-1"_s << false << true << QList<int>();
    QTest::addRow("any letter case") << u"tRUE"_s << u"FALSE"_s << true << false << QList<int>();
    QTest::addRow("neither, as stored") << u"False"_s << u"False"_s << false << false << QList<int>();
    QTest::addRow("unreadable: play sounds stays") << u"maybe"_s << kAbsent << true << false << QList<int>{118};
}

void tst_Form3::storedOptions()
{
    QFETCH(QString, option1);
    QFETCH(QString, option2);
    QFETCH(bool, playSounds);
    QFETCH(bool, doNotPlay);
    QFETCH(QList<int>, lines);
    TestProgram program;
    startWith(program, {u"Option1="_s + option1, u"Option2="_s + option2});

    const Form3 &form3 = program.app->audioOptions();
    QCOMPARE(form3.Option1->isChecked(), playSounds);
    QCOMPARE(form3.Option2->isChecked(), doNotPlay);
    QCOMPARE(reportedLines(program.prompts, kFormLoad), lines);
}

void tst_Form3::choicesSurviveUnloading()
{
    TestProgram program;
    startWith(program);
    Form3 *form3 = &program.app->audioOptions();
    form3->Slider1->setValue(30);
    form3->Slider2->setValue(5);
    form3->Combo1->setCurrentIndex(1);
    form3->Option2->click();
    QCOMPARE(setting(program, u"Option1"_s), u"False"_s);
    QCOMPARE(setting(program, u"Option2"_s), u"True"_s);

    form3->PushButton1->click();
    QTRY_VERIFY(!program.app->isAudioOptionsLoaded());

    form3 = &program.app->audioOptions();
    QCOMPARE(form3->Slider1->value(), 30);
    QCOMPARE(form3->Slider2->value(), 5);
    QCOMPARE(form3->Combo1->currentIndex(), 1);
    QVERIFY(form3->Option2->isChecked());
    QVERIFY(!form3->Option1->isChecked());
}

void tst_Form3::sentenceOptionsRoundTrip_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("checked");
    QTest::addRow("absent: on") << kAbsent << true;
    QTest::addRow("off as stored") << u"False"_s << false;
    QTest::addRow("on as stored") << u"True"_s << true;
    QTest::addRow("a number: 0 is off") << u"0"_s << false;
    QTest::addRow("unreadable: on") << u"maybe"_s << true;
}

// Each sentence option shows what is stored, saves a click as its truth text
// and shows it again after the window is unloaded; neither touches the other.
void tst_Form3::sentenceOptionsRoundTrip()
{
    QFETCH(QString, stored);
    QFETCH(bool, checked);
    const QList<std::tuple<QString, QCheckBox * Form3::*, QString>> options{
        {u"Say Sentence"_s, &Form3::Check2, u"Say a sentence with each word"_s},
        {u"Show Sentence"_s, &Form3::Check3, u"Show the sentence"_s}};
    for (const auto &[key, box, caption] : options) {
        TestProgram program;
        startWith(program, {key + u'=' + stored});
        Form3 *form3 = &program.app->audioOptions();
        const QString other = std::get<0>(options[key == std::get<0>(options[0]) ? 1 : 0]);
        QCOMPARE((form3->*box)->text(), caption);
        QCOMPARE((form3->*box)->isChecked(), checked);
        QCOMPARE(form3->saySentence(), key == u"Say Sentence"_s ? checked : true);

        (form3->*box)->click();
        QCOMPARE(setting(program, key), checked ? u"False"_s : u"True"_s);
        QCOMPARE(setting(program, other), kAbsent);
        form3->PushButton1->click();
        QTRY_VERIFY(!program.app->isAudioOptionsLoaded());

        form3 = &program.app->audioOptions();
        QCOMPARE((form3->*box)->isChecked(), !checked);
        QVERIFY(program.prompts.errors().isEmpty());
    }
}

void tst_Form3::slidersReachTheSpeakingVoice_data()
{
    QTest::addColumn<bool>("volume");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("wordSpoken");
    QTest::addColumn<QStringList>("calls");
    QTest::addRow("volume while a word is spoken") << true << 60 << true << QStringList{u"volume(60)"_s};
    QTest::addRow("rate while a word is spoken") << false << 3 << true << QStringList{u"rate(3)"_s};
    QTest::addRow("volume before any word") << true << 0 << false << QStringList();
    QTest::addRow("rate before any word") << false << -10 << false << QStringList();
}

void tst_Form3::slidersReachTheSpeakingVoice()
{
    QFETCH(bool, volume);
    QFETCH(int, value);
    QFETCH(bool, wordSpoken);
    QFETCH(QStringList, calls);
    TestProgram program;
    startWith(program);
    if (wordSpoken)
        SpeakWord(program.state().audio, u"cat"_s);
    program.speech.log.calls.clear();
    Form3 &form3 = program.app->audioOptions();

    QSlider *slider = volume ? form3.Slider1 : form3.Slider2;
    slider->setFocus();
    slider->setValue(value);

    const QString key = volume ? u"Volume Level"_s : u"Speech Rate"_s;
    QCOMPARE(setting(program, key), QString::number(value));
    QCOMPARE((volume ? form3.lblVolume : form3.lblSpeed)->text(), key + u" = "_s + QString::number(value));
    QCOMPARE(program.speech.log.calls.size(), calls.size());
    QCOMPARE(callsOfVoice(program.speech.log, program.speech.created), calls);
}

void tst_Form3::voiceChoiceIsSaved()
{
    TestProgram program;
    startWith(program);
    Form3 &form3 = program.app->audioOptions();

    form3.Combo1->setCurrentIndex(1);
    QCOMPARE(setting(program, u"Combo1"_s), u"1"_s);
    form3.Combo1->setCurrentIndex(-1);
    QCOMPARE(setting(program, u"Combo1"_s), u"-1"_s);
    // Nothing is told to the engine until the next word.
    QCOMPARE(program.speech.log.liveVoices, 1);
}

enum class Change { Volume, Rate, Voice, SoundOption };

void tst_Form3::refusedSavesAreReported_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("line");
    QTest::addRow("volume") << Change::Volume << u"in Lexidrill2021/08/31.Form3.Slider1_Change "_s << 102;
    QTest::addRow("rate") << Change::Rate << u"in Lexidrill2021/08/31.Form3.Slider2_Change "_s << 102;
    // The small handlers report nothing themselves; run for the user, they
    // are reported at the line they reached (a sound option writes "Option1"
    // at 100, then "Option2" at 102).
    QTest::addRow("voice") << Change::Voice << u"in Lexidrill2021/08/31.Form3.Combo1_Click "_s << 100;
    QTest::addRow("sound option") << Change::SoundOption << u"in Lexidrill2021/08/31.Form3.Option2_Click "_s << 100;
}

void tst_Form3::refusedSavesAreReported()
{
    QFETCH(Change, change);
    QFETCH(QString, location);
    QFETCH(int, line);
    TestProgram program;
    startWith(program);
    Form3 &form3 = program.app->audioOptions();
    // A folder where the settings file should be makes every write fail.
    const QString store = program.settings->fileName();
    QVERIFY(QFile::remove(store));
    QVERIFY(QDir().mkdir(store));

    switch (change) {
    case Change::Volume:
        form3.Slider1->setValue(20);
        break;
    case Change::Rate:
        form3.Slider2->setValue(0);
        break;
    case Change::Voice:
        form3.Combo1->setCurrentIndex(1);
        break;
    case Change::SoundOption:
        form3.Option2->click();
        break;
    }

    QCOMPARE(reportedLines(program.prompts, location), QList<int>{line});
    QCOMPARE(program.prompts.errors().size(), 1);
}

void tst_Form3::testSpeed()
{
    TestProgram program;
    startWith(program, {u"Combo1=1"_s, u"Volume Level=70"_s, u"Speech Rate=2"_s});
    Form3 &form3 = program.app->audioOptions();
    program.speech.log.calls.clear();

    form3.PushButton14->click();

    QCOMPARE(
        callsOfVoice(program.speech.log, program.speech.created),
        QStringList({u"voice(1)"_s, u"volume(70)"_s, u"rate(2)"_s, u"speakAndWait(This is a test)"_s, u"released"_s}));
    QVERIFY(!program.state().audio.SpeakingVoice);
    QCOMPARE(form3.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(program.prompts.boxes.isEmpty());
}

void tst_Form3::testSpeedWithoutEngine()
{
    TestProgram program;
    startWith(program);
    Form3 &form3 = program.app->audioOptions();
    program.speech.broken = true;

    form3.PushButton14->click();

    QCOMPARE(reportedLines(program.prompts, kTestSpeed), QList<int>({102, 106, 108, 110, 114}));
    QCOMPARE(form3.cursor().shape(), Qt::ArrowCursor);
}

namespace {

// A voice whose sentence takes as long as the test needs: the hook runs while
// the sentence is "spoken".
class HookedVoice : public SpeechVoice
{
public:
    explicit HookedVoice(std::function<void()> &hook) : m_hook(hook) { }
    QStringList voices() const override { return {u"Adam"_s}; }
    void setVoice(int) override { }
    void setVolume(int) override { }
    void setRate(int) override { }
    void speak(const QString &) override { }
    void speakAndWait(const QString &) override { m_hook(); }

private:
    std::function<void()> &m_hook;
};

class HookedEngine : public SpeechEngine
{
public:
    std::unique_ptr<SpeechVoice> createVoice() override { return std::make_unique<HookedVoice>(duringSpeech); }
    void whenStarted(QObject *, std::function<void()> then) override { then(); }
    QStringList voicesAnew() override { return createVoice()->voices(); }
    std::function<void()> duringSpeech = [] {};
};

} // namespace

namespace {

// Asks the window system to close the window, as its close box does.
void requestClose(QWidget &window)
{
    QCloseEvent request;
    QSpontaneKeyEvent::setSpontaneous(&request);
    QApplication::instance()->notify(window.windowHandle(), &request);
}

} // namespace

// What the user does while the test sentence is spoken waits until it is
// over, so that the window is not unloaded under the running test.
void tst_Form3::windowHoldsTheUserDuringTheTest()
{
    TestProgram program;
    HookedEngine engine;
    Services services;
    services.prompts = &program.prompts;
    services.dialogs = &program.dialogs;
    services.launcher = &program.launcher;
    services.speech = &engine;
    services.player = &program.player;
    services.settings = program.settings.get();
    services.programFolder = program.path(u"");
    App app(services);
    QPointer<Form3> form3 = &app.audioOptions();
    form3->show();
    QVERIFY(QTest::qWaitForWindowExposed(form3));
    Qt::CursorShape pointer = Qt::ArrowCursor;
    const QPoint onIndicator(5, form3->Option2->height() / 2);
    engine.duringSpeech = [&] {
        pointer = form3->cursor().shape();
        QTest::mouseClick(form3->Option2, Qt::LeftButton, {}, onIndicator);
        QTest::mouseClick(form3->PushButton1, Qt::LeftButton);
        requestClose(*form3);
        QCoreApplication::processEvents();
    };

    form3->PushButton14->click();

    QVERIFY(form3);
    QVERIFY(form3->isVisible());
    QCOMPARE(pointer, Qt::WaitCursor);
    QVERIFY(form3->Option1->isChecked());
    QCOMPARE(form3->cursor().shape(), Qt::ArrowCursor);
    // Afterwards the choice is made and the window closes.
    QTRY_VERIFY(!form3 || !form3->isVisible());
    QCOMPARE(program.settings->ReadSetting(u"Option2"_s, QString()), u"True"_s);
    QTRY_VERIFY(!form3);
}

// Refresh List waits for the engine's answer with the busy pointer; what the
// user does meanwhile comes after the "Done." box.
void tst_Form3::refreshListHoldsTheUser()
{
    TestProgram program;
    Form1 &form1 = startWith(program);
    BusyWhileWaiting busy(program.app->input());
    program.speech.busy = [&busy](bool waiting) { busy(waiting); };
    form1.show();
    form1.PushButton4->click();
    Form3 &form3 = program.app->audioOptions();
    QVERIFY(QTest::qWaitForWindowActive(&form3));
    const QPoint onIndicator(5, form3.Option2->height() / 2);
    bool busyPointer = false;
    program.speech.whileListing = [&] {
        busyPointer = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        QTest::mouseClick(form3.Option2, Qt::LeftButton, {}, onIndicator);
        QAccessibleInterface *close = QAccessible::queryAccessibleInterface(form3.PushButton1);
        close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(!form3.PushButton1->isDown());
        QVERIFY(form3.isVisible());
    };
    program.prompts.whileShown = [&] { QVERIFY(!form3.Option2->isChecked()); };

    QTest::mouseClick(form3.PushButton9, Qt::LeftButton);

    QVERIFY(busyPointer);
    QCOMPARE(program.prompts.messages().size(), 1);
    QVERIFY(program.prompts.messages().constFirst().startsWith(u"Done."_s));
    QTRY_VERIFY(!program.app->isAudioOptionsLoaded());
    QCOMPARE(setting(program, u"Option2"_s), u"True"_s);
    QVERIFY(form1.isVisible());
}

void tst_Form3::addVoices_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addRow("yes opens the search") << true;
    QTest::addRow("no opens nothing") << false;
}

void tst_Form3::addVoices()
{
    QFETCH(bool, yes);
    TestProgram program;
    startWith(program);
    program.prompts.answers.enqueue(yes);

    program.app->audioOptions().PushButton4->click();

    QCOMPARE(program.prompts.questions(),
             QStringList{u"This software uses Microsoft Text to Speech (TTS) as its backbone. If you would like "
                         "to add voices, you need to:\r\n\r\n"
                         "1. Download them from the web.\r\n"
                         "2. Install them to the 'Text to Speech' feature in the Windows Control Panel.\r\n"
                         "2. Click the 'Refresh List' button in this software.\r\n\r\n"
                         "Would you like to see the voices available for download on the web?"_s});
    QCOMPARE(program.launcher.urls.size(), yes ? 1 : 0);
    if (yes) {
        const QUrl address = program.launcher.urls.constFirst();
        QCOMPARE(address.scheme(), u"https"_s);
        QCOMPARE(address.path(), u"/"_s);
        QCOMPARE(address.query(QUrl::FullyEncoded), u"q=microsoft%20text%20to%20speech%20voices"_s);
    }
}

void tst_Form3::closingBringsTheMainWindowBack_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<bool>("ending");
    QTest::addRow("Close button") << false << false;
    QTest::addRow("close box") << true << false;
    QTest::addRow("program ending") << true << true;
}

void tst_Form3::closingBringsTheMainWindowBack()
{
    QFETCH(bool, closeBox);
    QFETCH(bool, ending);
    TestProgram program;
    Form1 &form1 = startWith(program);
    form1.show();
    form1.PushButton4->click();
    Form3 &form3 = program.app->audioOptions();
    QVERIFY(form3.isVisible());
    QVERIFY(!form1.isVisible());
    program.app->setEnding(ending);

    if (closeBox)
        form3.close();
    else
        form3.PushButton1->click();

    QCOMPARE(form1.isVisible(), !ending);
    QTRY_VERIFY(!program.app->isAudioOptionsLoaded());
}

void tst_Form3::comingBackFromAModalBoxIsNoOpening()
{
    TestProgram program;
    Form1 &form1 = startWith(program);
    form1.show();
    form1.PushButton4->click();
    Form3 &form3 = program.app->audioOptions();
    QTRY_VERIFY(form3.isActiveWindow());
    const int voicesMade = program.speech.created;

    // A message box shown by the window takes the focus and gives it back;
    // a box shown on every activation would otherwise never end.
    QDialog box(&form3);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QTRY_VERIFY(box.isActiveWindow());
    box.close();
    form3.activateWindow();
    QTRY_VERIFY(form3.isActiveWindow());
    QCOMPARE(program.speech.created, voicesMade);

    // Coming from another window of the program is an opening again, and
    // the list shows the voices the engine has now.
    program.speech.voiceNames.append(u"Mary"_s);
    form1.show();
    form1.activateWindow();
    QTRY_VERIFY(form1.isActiveWindow());
    form3.activateWindow();
    QTRY_COMPARE(program.speech.created, voicesMade + 1);
    QCOMPARE(form3.Combo1->count(), 3);
}

namespace {

// A pointer move over the widget, as the window system delivers it.
void hover(QWidget *widget)
{
    const QPoint inside(2, widget->height() - 2);
    QMouseEvent move(QEvent::MouseMove, inside, widget->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

void tst_Form3::handPointer_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Qt::CursorShape>("overButton");
    QTest::addColumn<QList<int>>("lines");
    QByteArray picture;
    QBuffer buffer(&picture);
    buffer.open(QIODevice::WriteOnly);
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QVERIFY(image.save(&buffer, "ICO"));
    QTest::addRow("picture beside the program") << picture << Qt::BitmapCursor << QList<int>();
    QTest::addRow("no picture") << QByteArray() << Qt::ArrowCursor << QList<int>();
    QTest::addRow("damaged picture") << QByteArray("not a picture") << Qt::ArrowCursor << QList<int>{108};
}

void tst_Form3::handPointer()
{
    QFETCH(QByteArray, file);
    QFETCH(Qt::CursorShape, overButton);
    QFETCH(QList<int>, lines);
    TestProgram program;
    if (!file.isEmpty())
        program.writeBeside(u"\\HAND-M.CUR", file);
    startWith(program);
    Form3 &form3 = program.app->audioOptions();
    form3.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form3));

    QCOMPARE(reportedLines(program.prompts, kFormLoad), lines);
    for (QWidget *button : {form3.PushButton1, form3.PushButton9, form3.PushButton4}) {
        hover(form3.Frame1);
        QCOMPARE(form3.cursor().shape(), Qt::ArrowCursor);
        hover(button);
        QCOMPARE(form3.cursor().shape(), overButton);
    }
    // The hourglass of a long operation stays.
    form3.setCursor(Qt::WaitCursor);
    hover(form3.Frame2);
    hover(form3.PushButton9);
    QCOMPARE(form3.cursor().shape(), Qt::WaitCursor);
}

QTEST_MAIN(tst_Form3)
#include "tst_form3.moc"
