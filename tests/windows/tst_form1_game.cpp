// SPDX-License-Identifier: GPL-3.0-or-later
#include "testprogram.h"
#include "widgets/looks.h"
#include "windows/form2.h"
#include "windows/form3.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kSixWords = "cat\r\ndog\r\nowl\r\nemu\r\nyak\r\nant\r\n";
}

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
    void refusals_data();
    void refusals();
    void threeAnswersTwoRight();
    void counterRestartsEachPass();
    void repeatKeys_data();
    void repeatKeys();
    void help();
    void inputIgnoredWhileAnswering_data();
    void inputIgnoredWhileAnswering();
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

void tst_Game::inputIgnoredWhileAnswering_data()
{
    QTest::addColumn<bool>("duringSound");
    QTest::addRow("during the feedback sound") << true;
    QTest::addRow("during the closing yield") << false;
}

void tst_Game::inputIgnoredWhileAnswering()
{
    QFETCH(bool, duringSound);
    Form1 &form1 = startProgram();
    program->app->audioOptions().Option1->setChecked(true);
    form1.PushButton3->click();
    const QString asked = form1.state().game.currentWord;

    // A second Enter, End Game, Repeat and Ctrl+R, as the event loop would
    // deliver them while the answer is handled.
    const auto interrupt = [&form1] {
        form1.Text2->setText(u"again"_s);
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
    QCOMPARE(form1.state().game.givenWords.size(), 2);
    QVERIFY(form1.state().game.started);
    QCOMPARE(form1.PushButton3->text(), u"End Game"_s);
    QCOMPARE(spoken, (QStringList{asked, form1.state().game.currentWord}));
    QCOMPARE(form1.Label4->text(), u"Correct: "_s + asked);
    QVERIFY(!program->app->loadedResults());
    QVERIFY(program->prompts.boxes.isEmpty());

    // Once the answer is handled, the keys work again.
    type(u"zzz"_s);
    QCOMPARE(form1.state().game.typedWords.size(), 2);
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
