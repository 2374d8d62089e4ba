// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speakword.h"
#include "boxwatch.h"
#include "testprogram.h"
#include "widgets/busywhilewaiting.h"
#include "widgets/looks.h"
#include "widgets/qtplatform.h"
#include "windows/form2.h"
#include "windows/form3.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kSixWords = "cat\r\ndog\r\nowl\r\nemu\r\nyak\r\nant\r\n";

} // namespace

class tst_Game : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startGame();
    void guards_data();
    void guards();
    void startWithEmptyList();
    void startAndEndAtOnce();
    void answer_data();
    void answer();
    void wordAsTheLearnerSeesIt_data();
    void wordAsTheLearnerSeesIt();
    void refusals_data();
    void refusals();
    void threeAnswersTwoRight();
    void counterRestartsEachPass();
    void repeatKeys_data();
    void repeatKeys();
    void help();
    void inputDuringAnAnswerComesAfterIt_data();
    void inputDuringAnAnswerComesAfterIt();
    void typingDuringTheFeedbackSoundIsKept();
    void typingWhileTheEngineStarts();
    void anUnaskedReportTakesNoKeyTypedForTheGame_data();
    void anUnaskedReportTakesNoKeyTypedForTheGame();
    void accessibleEndGameDuringTheSound();
    void longGameScores();
    void firstWordsOfTheListInUse_data();
    void firstWordsOfTheListInUse();

private:
    Form1 &startProgram(const QByteArray &words = kSixWords);
    void type(const QString &text);

    std::unique_ptr<TestProgram> program;
    QStringList spoken;
    QList<bool> sounds;
};

void tst_Game::init()
{
    spoken.clear();
    sounds.clear();
    program = std::make_unique<TestProgram>();
}

void tst_Game::cleanup()
{
    program.reset();
}

Form1 &tst_Game::startProgram(const QByteArray &words)
{
    if (!words.isNull())
        program->writeBeside(u"\\Samples\\One-To-Ten.txt", words);
    Form1 &form1 = program->start();
    program->state().gameAudio.speakWord = [this](const QString &word) { spoken.append(word); };
    program->state().gameAudio.playSound = [this](bool isCorrect) { sounds.append(isCorrect); };
    program->app->audioOptions().Option2->setChecked(true);
    form1.show();
    if (!QTest::qWaitForWindowActive(&form1))
        qFatal("the main window did not become active");
    return form1;
}

void tst_Game::type(const QString &text)
{
    Form1 &form1 = *program->app->mainWindow();
    form1.Text2->setText(text);
    QTest::keyClick(form1.Text2, Qt::Key_Return);
}

void tst_Game::startGame()
{
    Form1 &form1 = startProgram();
    form1.PushButton3->click();

    QCOMPARE(form1.PushButton3->text(), u"End Game"_s);
    QCOMPARE(form1.PushButton3->width(), Looks::px(7200));
    QVERIFY(form1.PushButton7->isVisible());
    QVERIFY(form1.Text2->hasFocus());
    QVERIFY(form1.state().game.started);
    QVERIFY(QString::fromLatin1(kSixWords).split(u"\r\n"_s).contains(form1.state().game.currentWord));
    QCOMPARE(spoken, QStringList{form1.state().game.currentWord});
    QCOMPARE(form1.state().game.givenWords, QStringList{form1.state().game.currentWord});
    QVERIFY(form1.state().game.typedWords.isEmpty());
    QCOMPARE(form1.Label1->text(), u" Word 1 of 6"_s);
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Game::guards_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("captionAfter");
    QTest::addRow("start during a game") << u"Start Game"_s << true << u"Game already started."_s << u"Start Game"_s;
    QTest::addRow("end without a game") << u"End Game"_s << false << u"Please start the game first."_s
                                        << u"Start Game"_s;
}

void tst_Game::guards()
{
    QFETCH(QString, caption);
    QFETCH(bool, started);
    QFETCH(QString, message);
    QFETCH(QString, captionAfter);
    Form1 &form1 = startProgram();
    form1.PushButton3->setText(caption);
    form1.state().game.started = started;

    form1.PushButton3->click();

    QCOMPARE(program->prompts.messages(), QStringList{message});
    QCOMPARE(form1.PushButton3->text(), captionAfter);
    QCOMPARE(form1.state().game.started, started);
    QVERIFY(spoken.isEmpty());
    QVERIFY(!program->app->loadedResults());
}

void tst_Game::startWithEmptyList()
{
    Form1 &form1 = startProgram(QByteArray());
    QCOMPARE(program->prompts.messages(), QStringList{u"Dictionary file is not valid."_s});
    program->prompts.boxes.clear();

    form1.PushButton3->click();

    QCOMPARE(program->prompts.messages(),
             QStringList{u"The word list holds no words. Please load a word list first."_s});
    QVERIFY(!form1.state().game.started);
    QCOMPARE(form1.PushButton3->text(), u"Start Game"_s);
    QVERIFY(spoken.isEmpty());
    QVERIFY(form1.state().game.givenWords.isEmpty());
}

void tst_Game::startAndEndAtOnce()
{
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    form1.PushButton3->click();

    QVERIFY(!program->app->loadedResults());
    QVERIFY(form1.isVisible());
    QCOMPARE(form1.Label2->text(), u"Score: 0%"_s);
    QVERIFY(form1.Label1->text().isEmpty());
    QVERIFY(form1.Label4->text().isEmpty());
    QCOMPARE(form1.PushButton3->text(), u"Start Game"_s);
    QCOMPARE(form1.PushButton3->width(), Looks::px(7800));
    QVERIFY(!form1.PushButton7->isVisible());
    QVERIFY(!form1.state().game.started);
    QVERIFY(form1.state().game.givenWords.isEmpty());
    QCOMPARE(form1.state().usedWords.count(), 0);
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Game::answer_data()
{
    QTest::addColumn<QString>("typedForm"); // %1 stands for the word asked
    QTest::addColumn<bool>("upperCase");
    QTest::addColumn<bool>("playSounds");
    QTest::addColumn<bool>("right");
    QTest::addRow("exact, sounds on") << u"%1"_s << false << true << true;
    QTest::addRow("exact, sounds off") << u"%1"_s << false << false << true;
    QTest::addRow("upper case") << u"%1"_s << true << true << true;
    QTest::addRow("trailing space") << u"%1 "_s << false << true << false;
    QTest::addRow("spaces only") << u"   "_s << false << true << false;
    QTest::addRow("misspelt, sounds off") << u"%1x"_s << false << false << false;
}

void tst_Game::answer()
{
    QFETCH(QString, typedForm);
    QFETCH(bool, upperCase);
    QFETCH(bool, playSounds);
    QFETCH(bool, right);
    Form1 &form1 = startProgram();
    (playSounds ? program->app->audioOptions().Option1 : program->app->audioOptions().Option2)->setChecked(true);
    form1.PushButton3->click();
    const QString asked = form1.state().game.currentWord;
    QString typed = typedForm.contains(u"%1"_s) ? typedForm.arg(asked) : typedForm;
    if (upperCase)
        typed = typed.toUpper();

    type(typed);

    QCOMPARE(form1.state().game.typedWords, QStringList{typed});
    QCOMPARE(form1.Label4->text(), (right ? u"Correct: "_s : u"Incorrect. Correct spelling: "_s) + asked);
    QCOMPARE(sounds, playSounds ? QList<bool>{right} : QList<bool>());
    QCOMPARE(form1.Label2->text(), right ? u"Score: 100%"_s : u"Score: 0%"_s);
    QVERIFY(form1.Text2->text().isEmpty());
    QVERIFY(form1.Text2->hasFocus());
    QCOMPARE(form1.state().game.givenWords.size(), 2);
    QCOMPARE(form1.state().game.givenWords.constLast(), form1.state().game.currentWord);
    QVERIFY(form1.state().game.currentWord != asked);
    QCOMPARE(spoken, (QStringList{asked, form1.state().game.currentWord}));
    QCOMPARE(form1.Label1->text(), u" Word 2 of 6"_s);
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Game::wordAsTheLearnerSeesIt_data()
{
    QTest::addColumn<QString>("word"); // the list's one word
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("feedback");
    QTest::addColumn<QString>("explanation");
    QTest::addColumn<QString>("listed"); // in the results list
    QTest::addRow("accent stored decomposed, typed as one character")
        << u"cafe\u0301"_s << u"café"_s << u"Correct: cafe\u0301"_s << QString() << u"cafe\u0301"_s;
    QTest::addRow("accent stored as one character, typed decomposed")
        << u"café"_s << u"cafe\u0301"_s << u"Correct: café"_s << QString() << u"café"_s;
    QTest::addRow("right-to-left override shown without its effect")
        << u"\u202Etac"_s << u"tac"_s << u"Correct: tac"_s << QString() << u"tac"_s;
    QTest::addRow("zero-width space missed out")
        << u"ca\u200Bt"_s << u"cat"_s << u"Correct: cat"_s << QString() << u"cat"_s;
    QTest::addRow("wrong beside an invisible character")
        << u"\u202Etac"_s << u"ta"_s << u"Incorrect. Correct spelling: tac"_s << u"missing \"c\""_s << u"tac"_s;
    const QString thousand(1000, u'a');
    QTest::addRow("a word of 50,000 characters shown cut")
        << thousand + QString(49'000, u'b') << u"aaa"_s << u"Incorrect. Correct spelling: "_s + thousand + u'\u2026'
        << u"a different word"_s << thousand + u'\u2026';
}

// The list's word is judged, told and listed as the learner sees it (a very
// long one cut), and saved exactly as the list holds it.
void tst_Game::wordAsTheLearnerSeesIt()
{
    QFETCH(QString, word);
    QFETCH(QString, typed);
    QFETCH(QString, feedback);
    QFETCH(QString, explanation);
    QFETCH(QString, listed);
    Form1 &form1 = startProgram(word.toUtf8() + "\r\n");
    form1.PushButton3->click();
    QCOMPARE(form1.state().game.currentWord, word);

    type(typed);
    QCOMPARE(form1.Label4->text(), feedback);
    form1.PushButton3->click();

    QVERIFY(!!program->app->loadedResults());
    Form2 &form2 = *program->app->loadedResults();
    const QTreeWidgetItem *row = form2.ListView1->topLevelItem(0);
    QCOMPARE(row->text(0), listed);
    QCOMPARE(row->text(Form2::kExplanationColumn), explanation);
    QCOMPARE(form2.listTable().rows.constFirst(),
             (QStringList{word, typed, explanation.isEmpty() ? u"Correct"_s : u"Wrong"_s}));
}

void tst_Game::refusals_data()
{
    QTest::addColumn<QString>("before"); // "nothing", "start" or "start and end"
    QTest::addColumn<QString>("action"); // "enter", "empty enter", "repeat" or "ctrl+r"
    QTest::addColumn<QString>("message");
    const QString notStarted = u"Please start the game first."_s;
    QTest::addRow("Enter before any game")
        << u"nothing"_s << u"enter"_s << u"Please start the game first before entering word."_s;
    QTest::addRow("empty answer") << u"start"_s << u"empty enter"_s << u"You forgot to input word."_s;
    QTest::addRow("Repeat before any game") << u"nothing"_s << u"repeat"_s << notStarted;
    QTest::addRow("Ctrl+R before any game") << u"nothing"_s << u"ctrl+r"_s << notStarted;
    QTest::addRow("Repeat after End Game") << u"start and end"_s << u"repeat"_s << notStarted;
}

void tst_Game::refusals()
{
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QString, message);
    Form1 &form1 = startProgram();
    if (before != u"nothing")
        form1.PushButton3->click();
    if (before == u"start and end")
        form1.PushButton3->click();
    const QStringList spokenBefore = spoken;
    const QString asked = form1.state().game.currentWord;

    if (action == u"enter")
        type(u"cat"_s);
    else if (action == u"empty enter")
        type(QString());
    else if (action == u"repeat")
        form1.PushButton5->click();
    else
        QTest::keyClick(form1.Text2, Qt::Key_R, Qt::ControlModifier);

    QCOMPARE(program->prompts.messages(), QStringList{message});
    QCOMPARE(spoken, spokenBefore);
    QVERIFY(form1.state().game.typedWords.isEmpty());
    QCOMPARE(form1.state().game.currentWord, asked);
    if (action == u"enter")
        QVERIFY(form1.Text2->text().isEmpty());
}

void tst_Game::threeAnswersTwoRight()
{
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    QStringList asked;
    asked << form1.state().game.currentWord;
    type(form1.state().game.currentWord);
    asked << form1.state().game.currentWord;
    type(form1.state().game.currentWord.toUpper());
    asked << form1.state().game.currentWord;
    type(u"zzz"_s);
    QCOMPARE(form1.Label2->text(), u"Score: 67%"_s);

    form1.PushButton3->click();

    QVERIFY(!!program->app->loadedResults());
    Form2 &form2 = *program->app->loadedResults();
    QVERIFY(form2.isVisible());
    QVERIFY(!form1.isVisible());
    QCOMPARE(form2.ListView1->topLevelItemCount(), 3);
    const QStringList typed{asked[0], asked[1].toUpper(), u"zzz"_s};
    const QStringList results{u"Correct"_s, u"Correct"_s, u"Wrong"_s};
    for (int k = 0; k < 3; ++k) {
        const QTreeWidgetItem *row = form2.ListView1->topLevelItem(k);
        QCOMPARE(row->text(0), asked[k]);
        QCOMPARE(row->text(1), typed[k]);
        QCOMPARE(row->text(2), results[k]);
    }
    QCOMPARE(form2.lblCorrect->text(), u"Correct: 2"_s);
    QCOMPARE(form2.lblWrong->text(), u"Wrong: 1"_s);
    QCOMPARE(form2.lblScore->text(), u"Score: 67%"_s);
    QCOMPARE(form1.Label2->text(), u"Score: 67%"_s);
    // The game is already reset while the results show.
    QVERIFY(!form1.state().game.started);
    QVERIFY(form1.state().game.givenWords.isEmpty());
    QVERIFY(form1.state().game.typedWords.isEmpty());

    form2.PushButton2->click();

    QVERIFY(form1.isVisible());
    QTRY_VERIFY(!program->app->loadedResults());

    // The next game begins a fresh pass and its results start empty.
    form1.PushButton3->click();
    QCOMPARE(form1.Label1->text(), u" Word 1 of 6"_s);
    type(u"zzz"_s);
    form1.PushButton3->click();
    QVERIFY(!!program->app->loadedResults());
    QCOMPARE(program->app->loadedResults()->ListView1->topLevelItemCount(), 1);
}

void tst_Game::counterRestartsEachPass()
{
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    QStringList firstPass{form1.state().game.currentWord};
    for (int n = 2; n <= 6; ++n) {
        type(u"x"_s);
        QCOMPARE(form1.Label1->text(), u" Word %1 of 6"_s.arg(n));
        firstPass << form1.state().game.currentWord;
    }
    type(u"x"_s);

    QCOMPARE(form1.Label1->text(), u" Word 1 of 6"_s);
    firstPass.sort();
    QCOMPARE(firstPass, (QStringList{u"ant"_s, u"cat"_s, u"dog"_s, u"emu"_s, u"owl"_s, u"yak"_s}));
    QCOMPARE(form1.state().game.givenWords.size(), 7);
}

void tst_Game::repeatKeys_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("repeats");
    QTest::addRow("Ctrl+R") << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::addRow("Ctrl+Shift+R") << (Qt::ControlModifier | Qt::ShiftModifier) << true;
    QTest::addRow("Ctrl+Alt+R") << (Qt::ControlModifier | Qt::AltModifier) << true;
    QTest::addRow("R alone is typing") << Qt::KeyboardModifiers() << false;
}

void tst_Game::repeatKeys()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, repeats);
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    const QString asked = form1.state().game.currentWord;
    form1.Text2->setText(u"ca"_s);

    QTest::keyClick(form1.Text2, Qt::Key_R, modifiers);

    QCOMPARE(spoken, repeats ? (QStringList{asked, asked}) : QStringList{asked});
    if (!repeats)
        QCOMPARE(form1.Text2->text(), u"car"_s);
    QCOMPARE(form1.state().game.currentWord, asked);
    QVERIFY(form1.state().game.typedWords.isEmpty());
    QCOMPARE(form1.Label1->text(), u" Word 1 of 6"_s);
}

void tst_Game::help()
{
    Form1 &form1 = startProgram();
    form1.PushButton7->click();

    QCOMPARE(program->prompts.messages(),
             QStringList{u"Questions?\r\n\r\n"
                         "Please contact\u00A0Team\u00A0Marrowfen\u00A0at\u00A0https://www.marrowfen.example/contact/"
                         "\r\n\r\n"
                         "This software plays audio so make sure your speakers are loud enough.\r\n\r\n"
                         "Word list will loop again and again until you press 'End Game'"_s});
}

void tst_Game::inputDuringAnAnswerComesAfterIt_data()
{
    QTest::addColumn<bool>("duringSound");
    QTest::addRow("during the feedback sound") << true;
    QTest::addRow("during the closing yield") << false;
}

// The next answer, End Game, Repeat and Ctrl+R, given while an answer is
// handled, each act once it is done, in the order given.
void tst_Game::inputDuringAnAnswerComesAfterIt()
{
    QFETCH(bool, duringSound);
    Form1 &form1 = startProgram();
    program->app->audioOptions().Option1->setChecked(true);
    form1.PushButton3->click();
    const QString asked = form1.state().game.currentWord;

    const auto interrupt = [&form1] {
        QTest::keyClicks(form1.Text2, u"again"_s);
        QTest::keyClick(form1.Text2, Qt::Key_Return);
        form1.PushButton3->click();
        form1.PushButton5->click();
        QTest::keyClick(form1.Text2, Qt::Key_R, Qt::ControlModifier);
    };
    bool interrupted = false;
    if (duringSound) {
        form1.state().gameAudio.playSound = [&](bool) {
            if (!std::exchange(interrupted, true))
                interrupt();
        };
    } else {
        QMetaObject::invokeMethod(
            &form1,
            [&] {
                interrupt();
                interrupted = true;
            },
            Qt::QueuedConnection);
    }

    type(asked);

    QVERIFY(interrupted);
    QCOMPARE(form1.state().game.typedWords, QStringList{asked});
    QCOMPARE(form1.Label4->text(), u"Correct: "_s + asked);
    QVERIFY(program->prompts.boxes.isEmpty());

    QTRY_VERIFY(program->app->loadedResults());
    const QTreeWidget &answers = *program->app->loadedResults()->ListView1;
    QCOMPARE(answers.topLevelItemCount(), 2);
    QCOMPARE(answers.topLevelItem(0)->text(1), asked);
    QCOMPARE(answers.topLevelItem(1)->text(1), u"again"_s);
    QCOMPARE(answers.topLevelItem(1)->text(2), u"Wrong"_s);
    QCOMPARE(spoken.size(), 3);
    QTRY_COMPARE(program->prompts.messages(),
                 (QStringList{u"Please start the game first."_s, u"Please start the game first."_s}));
    QVERIFY(!form1.state().game.started);
    QCOMPARE(form1.PushButton3->text(), u"Start Game"_s);
}

// The real feedback sound and its one-second wait: letters typed meanwhile
// show at once and stay for the next word; only the answer is emptied.
void tst_Game::typingDuringTheFeedbackSoundIsKept()
{
    Form1 &form1 = startProgram();
    program->app->audioOptions().Option1->setChecked(true);
    ProgramState &state = form1.state();
    state.gameAudio.playSound = [&state](bool isCorrect) { PlaySound(state.audio, isCorrect); };
    form1.PushButton3->click();
    const QString asked = state.game.currentWord;
    QString shownDuringSound;
    program->delay.whilePaused = [&] {
        QTest::keyClicks(form1.Text2, u"ne"_s);
        shownDuringSound = form1.Text2->text();
    };

    type(asked);

    QCOMPARE(program->delay.pauses, QList<double>{1});
    QCOMPARE(shownDuringSound, asked + u"ne"_s);
    QCOMPARE(state.game.typedWords, QStringList{asked});
    QCOMPARE(form1.Text2->text(), u"ne"_s);
    QCOMPARE(form1.Label1->text(), u" Word 2 of 6"_s);
}

// Real keys reach the window before its controls; during the engine's start
// (the busy pointer shows) the learner types the first word and presses
// Enter, and the answer is taken as soon as the start is over.
void tst_Game::typingWhileTheEngineStarts()
{
    Form1 &form1 = startProgram();
    BusyWhileWaiting busy(program->app->input());
    bool busyPointer = false;
    program->state().gameAudio.speakWord = [&](const QString &word) {
        spoken.append(word);
        if (spoken.size() > 1)
            return;
        busy(true);
        busyPointer = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        for (const QChar letter : word)
            QTest::keyClick(form1.windowHandle(), letter.toLatin1());
        QTest::keyClick(form1.windowHandle(), Qt::Key_Return);
        QTest::keyClicks(form1.Text2, u"x"_s);
        QCoreApplication::processEvents();
        busy(false);
    };

    form1.PushButton3->click();
    const QString asked = spoken.value(0);

    QVERIFY(busyPointer);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(form1.Label1->text(), u" Word 1 of 6"_s);
    QTRY_COMPARE(form1.state().game.typedWords, QStringList{asked});
    QCOMPARE(form1.Label4->text(), u"Correct: "_s + asked);
    QCOMPARE(spoken.size(), 2);
    // The x came after Enter, so it is the start of the next answer.
    QCOMPARE(form1.Text2->text(), u"x"_s);
}

void tst_Game::anUnaskedReportTakesNoKeyTypedForTheGame_data()
{
    QTest::addColumn<bool>("withSounds");
    QTest::addRow("report right after the answer") << false;
    QTest::addRow("report after the feedback sound") << true;
}

// The speech fails as the next word is due, while the learner goes on typing
// the next answer: the real report box must not take those keys. They reach
// the answer box in order, the Enter among them answers after the report,
// and the box stays until a key typed after it showed closes it.
void tst_Game::anUnaskedReportTakesNoKeyTypedForTheGame()
{
    QFETCH(bool, withSounds);
    Form1 &form1 = startProgram();
    QtPrompts realBoxes(&program->app->input());
    program->prompts.errorsTo = &realBoxes;
    ProgramState &state = form1.state();
    form1.PushButton3->click();
    const QString asked = state.game.currentWord;
    const QString next = u"nextword"_s;

    // Keys go where the window system sends them: the window that has the
    // keyboard, or the main window while none has. One key per turn of the
    // event loop, the pace of a fast typist.
    qsizetype typed = 0;
    bool boxDuringTyping = false;
    const auto typeKey = [&] {
        boxDuringTyping = boxDuringTyping || QApplication::activeModalWidget();
        QWindow *keyboard = QGuiApplication::focusWindow() ? QGuiApplication::focusWindow() : form1.windowHandle();
        if (typed < next.size())
            QTest::keyClick(keyboard, next.at(typed).toLatin1());
        else
            QTest::keyClick(keyboard, Qt::Key_Return);
        ++typed;
    };
    std::function<void()> typeOn = [&] {
        typeKey();
        if (typed <= next.size())
            QTimer::singleShot(0, &form1, typeOn);
    };
    if (withSounds) {
        program->app->audioOptions().Option1->setChecked(true);
        // The first letters come during the sound's wait, as in a real game.
        state.gameAudio.playSound = [&](bool) {
            typeKey();
            typeKey();
        };
    }
    // Once the box is up, the learner reads it and closes it.
    QString reportShown;
    QString answerBoxWhenShown;
    bool stayedOpen = false;
    const BoxWatch watch([&](QMessageBox &box) {
        reportShown = box.windowTitle() + u": "_s + box.text();
        answerBoxWhenShown = form1.Text2->text();
        QCoreApplication::processEvents();
        stayedOpen = box.isVisible();
        QTest::keyClick(box.windowHandle(), Qt::Key_Return);
    });
    state.gameAudio.speakWord = [&](const QString &word) {
        spoken.append(word);
        if (spoken.size() != 2)
            return;
        QTimer::singleShot(0, &form1, typeOn);
        program->speech.broken = true;
        SpeakWord(state.audio, word);
        program->speech.broken = false;
    };

    type(asked);

    QVERIFY(!boxDuringTyping);
    QVERIFY2(reportShown.startsWith(u"Application Error: No speech engine"_s), qPrintable(reportShown));
    QVERIFY(stayedOpen);
    QCOMPARE(answerBoxWhenShown, next);
    QCOMPARE(program->prompts.errors().size(), 1);
    QTRY_COMPARE(state.game.typedWords, (QStringList{asked, next}));
    QCOMPARE(spoken.size(), 3);
    QVERIFY(!QApplication::activeModalWidget());
}

// The accessibility bus presses buttons without input events; End Game
// pressed so during the feedback sound ends the game after the answer.
void tst_Game::accessibleEndGameDuringTheSound()
{
    Form1 &form1 = startProgram();
    program->app->audioOptions().Option1->setChecked(true);
    form1.PushButton3->click();
    const QString asked = form1.state().game.currentWord;
    bool pressed = false;
    form1.state().gameAudio.playSound = [&](bool) {
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(form1.PushButton3);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(!form1.PushButton3->isDown());
        pressed = true;
    };

    type(asked);

    QVERIFY(pressed);
    QCOMPARE(form1.Label1->text(), u" Word 2 of 6"_s);
    QTRY_VERIFY(program->app->loadedResults());
    QCOMPARE(program->app->loadedResults()->ListView1->topLevelItemCount(), 1);
    QCOMPARE(program->app->loadedResults()->lblScore->text(), u"Score: 100%"_s);
    QVERIFY(!form1.state().game.started);
    QCOMPARE(form1.Label1->text(), QString());
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Game::longGameScores()
{
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    QStringList &given = form1.state().game.givenWords;
    given.clear();
    for (int k = 0; k < 40000; ++k) {
        given.append(u"word"_s);
        form1.state().game.typedWords.append(k % 4 == 3 ? u"wrod"_s : u"Word"_s);
    }
    given.append(u"word"_s);

    form1.UpdateScore();
    QCOMPARE(form1.Label2->text(), u"Score: 75%"_s);

    form1.PushButton3->click();
    QVERIFY(!!program->app->loadedResults());
    Form2 &form2 = *program->app->loadedResults();
    QCOMPARE(form2.ListView1->topLevelItemCount(), 40000);
    QCOMPARE(form2.lblCorrect->text(), u"Correct: 30000"_s);
    QCOMPARE(form2.lblWrong->text(), u"Wrong: 10000"_s);
    QCOMPARE(form2.lblScore->text(), u"Score: 75%"_s);
}

void tst_Game::firstWordsOfTheListInUse_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<bool>("loadAnother");
    QTest::addColumn<int>("firstCount");
    QTest::addRow("two words") << QStringList{u"owl"_s, u"yak"_s} << false << 2;
    QTest::addRow("one not in the list") << QStringList{u"owl"_s, u"gnu"_s} << false << 1;
    QTest::addRow("another list loaded since") << QStringList{u"owl"_s, u"yak"_s} << true << 0;
}

// Each pass of a game asks the words set to come first for the list in use
// before the others; loading a list leaves none.
void tst_Game::firstWordsOfTheListInUse()
{
    QFETCH(QStringList, first);
    QFETCH(bool, loadAnother);
    QFETCH(int, firstCount);
    Form1 &form1 = startProgram();
    const QSet<QString> firstWords(first.cbegin(), first.cend());
    form1.state().setFirstWords(firstWords);
    if (loadAnother)
        form1.setText1(program->writeFile(u"other.txt"_s, kSixWords));
    QCOMPARE(form1.state().firstWords().isEmpty(), loadAnother);

    form1.PushButton3->click();
    for (int pass = 0; pass < 3; ++pass) {
        QStringList asked;
        for (int n = 1; n <= 6; ++n) {
            asked.append(form1.state().game.currentWord);
            type(u"x"_s);
        }
        for (int k = 0; k < firstCount; ++k)
            QVERIFY2(firstWords.contains(asked[k]), qPrintable(asked.join(u' ')));
        for (int k = firstCount; k < 6; ++k)
            QVERIFY2(loadAnother || !firstWords.contains(asked[k]), qPrintable(asked.join(u' ')));
        QCOMPARE(QSet<QString>(asked.cbegin(), asked.cend()).size(), 6);
    }
}

QTEST_MAIN(tst_Game)
#include "tst_form1_game.moc"
