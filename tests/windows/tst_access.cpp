// SPDX-License-Identifier: GPL-3.0-or-later
#include "testprogram.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kOneWord = "<b>cat</b>\r\n";

QString accessibleName(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : u"(no interface)"_s;
}

// What a screen reader would announce for each visible push button, frame and
// label, against what the window shows.
void compareNamesWithTexts(QWidget &window)
{
    const auto widgets = window.findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(&window))
            continue;
        QString shown;
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            shown = button->text();
        else if (auto *label = qobject_cast<QLabel *>(widget))
            shown = label->text();
        else if (auto *frame = qobject_cast<QGroupBox *>(widget))
            shown = frame->title().replace(u"&&"_s, u"&"_s);
        else
            continue;
        QVERIFY2(accessibleName(widget) == shown,
                 qPrintable(widget->objectName() + u": "_s + accessibleName(widget) + u" for "_s + shown));
    }
    QCOMPARE(accessibleName(&window), window.windowTitle());
    QCOMPARE(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);
}

} // namespace

// A learner who cannot see the screen: names that follow what is shown, and
// the game played from the keyboard alone.
class tst_Access : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namesFollowTheText_data();
    void namesFollowTheText();
    void helpButtonDescribed();
    void tabFollowsTheLayout();
    void buttonKeys_data();
    void buttonKeys();
    void enterCharacter_data();
    void enterCharacter();
    void repeatRefusedOnce();
    void switchedByTheActionAsByAClick_data();
    void switchedByTheActionAsByAClick();
    void escapeClosesAsCloseDoes_data();
    void escapeClosesAsCloseDoes();

private:
    Form1 &startProgram(const QString &listName = u"a&b <i>x.txt"_s);

    std::unique_ptr<TestProgram> program;
    QStringList spoken;
};

void tst_Access::init()
{
    spoken.clear();
    program = std::make_unique<TestProgram>();
}

void tst_Access::cleanup()
{
    program.reset();
}

Form1 &tst_Access::startProgram(const QString &listName)
{
    program->settings->WriteSetting(u"Dictionary"_s, program->writeFile(listName, kOneWord));
    Form1 &form1 = program->start();
    program->state().gameAudio.speakWord = [this](const QString &word) { spoken.append(word); };
    program->app->audioOptions().Option2->setChecked(true);
    form1.show();
    if (!QTest::qWaitForWindowActive(&form1))
        qFatal("the main window did not become active");
    return form1;
}

void tst_Access::namesFollowTheText_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("feedback");
    QTest::addRow("at start-up") << u"start-up"_s << QString();
    QTest::addRow("during a game") << u"game"_s << QString();
    QTest::addRow("after a right answer") << u"right"_s << u"Correct: <b>cat</b>"_s;
    QTest::addRow("after a wrong answer") << u"wrong"_s << u"Incorrect. Correct spelling: <b>cat</b>"_s;
    QTest::addRow("results") << u"results"_s << QString();
    QTest::addRow("audio options") << u"options"_s << QString();
}

void tst_Access::namesFollowTheText()
{
    QFETCH(QString, moment);
    QFETCH(QString, feedback);
    Form1 &form1 = startProgram();
    QCOMPARE(accessibleName(form1.Label3), u"a&b <i>x.txt"_s);
    if (moment != u"start-up" && moment != u"options")
        form1.PushButton3->click();
    if (moment == u"right" || moment == u"wrong" || moment == u"results") {
        form1.Text2->setText(moment == u"wrong" ? u"dog"_s : u"<b>cat</b>"_s);
        QTest::keyClick(form1.Text2, Qt::Key_Return);
    }
    if (moment == u"results")
        form1.PushButton3->click();
    if (moment == u"options")
        form1.PushButton4->click();

    if (moment == u"results") {
        compareNamesWithTexts(program->app->results());
        QCOMPARE(accessibleName(program->app->results().lblScore), u"Score: 100%"_s);
    } else if (moment == u"options") {
        compareNamesWithTexts(program->app->audioOptions());
        QCOMPARE(accessibleName(&program->app->audioOptions()), u"Lexidrill - Audio Options"_s);
    } else {
        compareNamesWithTexts(form1);
        QCOMPARE(accessibleName(form1.Label4), feedback);
        QCOMPARE(accessibleName(form1.PushButton3), moment == u"start-up" ? u"Start Game"_s : u"End Game"_s);
    }
}

void tst_Access::helpButtonDescribed()
{
    Form1 &form1 = startProgram();
    QAccessibleInterface *help = QAccessible::queryAccessibleInterface(form1.PushButton7);
    QCOMPARE(help->text(QAccessible::Name), u"?"_s);
    QVERIFY(!help->text(QAccessible::Description).isEmpty());
}

void tst_Access::tabFollowsTheLayout()
{
    Form1 &form1 = startProgram();
    QVERIFY(form1.Text2->hasFocus());
    QStringList reached;
    for (int i = 0; i < 15; ++i) {
        reached << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(reached,
             (QStringList{u"Text2"_s, u"PushButton5"_s, u"PushButton6"_s, u"PushButton2"_s, u"PushButton11"_s,
                          u"PushButton10"_s, u"PushButton1"_s, u"PushButton4"_s, u"PushButton12"_s, u"PushButton13"_s,
                          u"PushButton14"_s, u"Combo1"_s, u"PushButton3"_s, u"PushButton7"_s, u"Text2"_s}));
}

void tst_Access::buttonKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addRow("Space") << int(Qt::Key_Space);
    QTest::addRow("Return") << int(Qt::Key_Return);
    QTest::addRow("keypad Enter") << int(Qt::Key_Enter);
}

void tst_Access::buttonKeys()
{
    QFETCH(int, key);
    Form1 &form1 = startProgram();
    form1.PushButton3->setFocus(Qt::TabFocusReason);

    QTest::keyClick(form1.PushButton3, Qt::Key(key));
    QVERIFY(form1.state().game.started);
    QVERIFY(form1.Text2->hasFocus());
    form1.Text2->setText(u"<b>cat</b>"_s);
    QTest::keyClick(form1.Text2, Qt::Key_Return);
    QCOMPARE(form1.state().game.typedWords, QStringList{u"<b>cat</b>"_s});
    form1.PushButton5->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form1.PushButton5, Qt::Key(key));
    QCOMPARE(spoken.size(), 3);
    form1.PushButton3->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form1.PushButton3, Qt::Key(key));
    Form2 &results = program->app->results();
    QVERIFY(results.isVisible());

    results.PushButton2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(results.PushButton2, Qt::Key(key));
    QVERIFY(form1.isVisible());
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Access::enterCharacter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("takesAnswer");
    QTest::addRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << u"\r"_s << true;
    QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << u"\r"_s << true;
    QTest::addRow("Ctrl+M") << int(Qt::Key_M) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"\r"_s << true;
    QTest::addRow("Shift+Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"\r"_s << true;
    QTest::addRow("Ctrl+Return, CR attached")
        << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"\r"_s << false;
    QTest::addRow("Ctrl+Return, LF attached")
        << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"\n"_s << false;
    QTest::addRow("Ctrl+J") << int(Qt::Key_J) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"\n"_s << false;
    QTest::addRow("M") << int(Qt::Key_M) << Qt::KeyboardModifiers() << u"m"_s << false;
}

void tst_Access::enterCharacter()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, takesAnswer);
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    form1.Text2->setText(u"dog"_s);

    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(form1.Text2, &press);

    QCOMPARE(form1.state().game.typedWords, takesAnswer ? QStringList{u"dog"_s} : QStringList());
}

void tst_Access::repeatRefusedOnce()
{
    Form1 &form1 = startProgram();
    // A real box takes the focus from the window while it is open.
    program->prompts.whileShown = [] { QApplication::setActiveWindow(nullptr); };

    QTest::keyClick(form1.Text2, Qt::Key_R, Qt::ControlModifier);

    QCOMPARE(program->prompts.messages(), QStringList{u"Please start the game first."_s});
}

void tst_Access::switchedByTheActionAsByAClick_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("otherKey");
    QTest::addColumn<QString>("otherValue");
    QTest::addRow("Do not play sounds") << u"Option2"_s << u"Option2"_s << u"True"_s << u"Option1"_s << u"False"_s;
    QTest::addRow("Play sounds") << u"Option1"_s << u"Option1"_s << u"True"_s << u"Option2"_s << u"False"_s;
    QTest::addRow("Keep practice history")
        << u"Check1"_s << u"Keep Practice History"_s << u"False"_s << QString() << QString();
    QTest::addRow("Ask words to work on first")
        << u"Check2"_s << u"Words To Work On First"_s << u"True"_s << QString() << QString();
    QTest::addRow("Copy it right after a miss")
        << u"Check3"_s << u"Copy After Miss"_s << u"True"_s << QString() << QString();
}

// Switch access, voice control and test tools switch option buttons and
// check boxes through their accessible toggle, which is no click: it must
// do all that a click does, and the choice outlives the window.
void tst_Access::switchedByTheActionAsByAClick()
{
    QFETCH(QString, control);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, otherKey);
    QFETCH(QString, otherValue);
    const bool soundOption = control.startsWith(u"Option"_s);
    program->settings->WriteSetting(u"Option1"_s, control == u"Option1" ? u"False"_s : u"True"_s);
    program->settings->WriteSetting(u"Option2"_s, control == u"Option1" ? u"True"_s : u"False"_s);
    program->settings->WriteSetting(u"Dictionary"_s, program->writeFile(u"list.txt"_s, kOneWord));
    Form1 &form1 = program->start();
    QList<bool> sounds;
    program->state().gameAudio.speakWord = [](const QString &) {};
    program->state().gameAudio.playSound = [&sounds](bool isCorrect) { sounds.append(isCorrect); };
    QWidget *window = soundOption ? static_cast<QWidget *>(&program->app->audioOptions())
                                  : &program->app->progress(form1.Text1->text());
    auto *button = window->findChild<QAbstractButton *>(control);
    QVERIFY(button);
    const bool before = button->isChecked();

    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button);
    QVERIFY(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(button->isChecked(), !before);

    QTRY_COMPARE(program->settings->ReadSetting(key, QString()), value);
    if (!otherKey.isEmpty())
        QCOMPARE(program->settings->ReadSetting(otherKey, QString()), otherValue);
    QPointer<QWidget> closing = window;
    window->close();
    QTRY_VERIFY(closing.isNull());
    if (soundOption) {
        // The next answer hears the choice.
        form1.PushButton3->click();
        form1.Text2->setText(u"<b>cat</b>"_s);
        QTest::keyClick(form1.Text2, Qt::Key_Return);
        QCOMPARE(sounds, control == u"Option1" ? QList<bool>{true} : QList<bool>());
        QVERIFY(program->app->audioOptions().findChild<QAbstractButton *>(control)->isChecked());
    } else {
        QCOMPARE(program->app->progress(form1.Text1->text()).findChild<QAbstractButton *>(control)->isChecked(),
                 value == u"True");
    }
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Access::escapeClosesAsCloseDoes_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("key"); // pressed on the focused control first
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("value"); // the setting's value afterwards
    QTest::addRow("Audio Options, the volume lowered")
        << u"options"_s << int(Qt::Key_Left) << u"Volume Level"_s << u"99"_s;
    QTest::addRow("Results, from the answers") << u"results"_s << int(Qt::Key_Down) << QString() << QString();
    QTest::addRow("Progress, words to work on first")
        << u"progress"_s << int(Qt::Key_Space) << u"Words To Work On First"_s << u"True"_s;
}

void tst_Access::escapeClosesAsCloseDoes()
{
    QFETCH(QString, window);
    QFETCH(int, key);
    QFETCH(QString, setting);
    QFETCH(QString, value);
    Form1 &form1 = startProgram();
    QPointer<QWidget> opened;
    QWidget *focus = nullptr;
    if (window == u"options") {
        form1.PushButton4->click();
        opened = &program->app->audioOptions();
        focus = program->app->audioOptions().Slider1;
    } else if (window == u"results") {
        form1.PushButton3->click();
        form1.Text2->setText(u"dog"_s);
        QTest::keyClick(form1.Text2, Qt::Key_Return);
        form1.PushButton3->click();
        opened = program->app->loadedResults();
        focus = program->app->loadedResults()->ListView1;
    } else {
        form1.PushButton12->click();
        opened = program->app->loadedProgress();
        focus = program->app->loadedProgress()->Check2;
    }
    QVERIFY(opened && opened->isVisible());
    QVERIFY(form1.isHidden());
    focus->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focus, Qt::Key(key));
    QVERIFY(opened);

    QTest::keyClick(focus, Qt::Key_Escape);

    QVERIFY(form1.isVisible());
    QTRY_VERIFY(opened.isNull());
    if (!setting.isEmpty())
        QCOMPARE(program->settings->ReadSetting(setting, QString()), value);
    QVERIFY(program->prompts.boxes.isEmpty());
}

QTEST_MAIN(tst_Access)
#include "tst_access.moc"
