// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settingkeys.h"
#include "history/historystore.h"
#include "testprogram.h"
#include "windows/form3.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Form1History : public QObject
{
    Q_OBJECT

private slots:
    void answersAreRecordedAsTheGameGoes();
    void damagedHistoryNeverStopsTheGame();

private:
    Form1 &startProgram(TestProgram &program);
    static void type(Form1 &form1, const QString &text);
};

Form1 &tst_Form1History::startProgram(TestProgram &program)
{
    program.writeBeside(u"\\Samples\\One-To-Ten.txt", "cat\r\ndog\r\n");
    program.settings->WriteSetting(SettingKeys::kLearner.toString(), u"Ann"_s);
    Form1 &form1 = program.start();
    program.state().gameAudio.speakWord = [](const QString &) {};
    program.state().gameAudio.playSound = [](bool) {};
    program.app->audioOptions().Option2->setChecked(true);
    return form1;
}

void tst_Form1History::type(Form1 &form1, const QString &text)
{
    form1.Text2->setText(text);
    QTest::keyClick(form1.Text2, Qt::Key_Return);
}

void tst_Form1History::answersAreRecordedAsTheGameGoes()
{
    TestProgram program;
    Form1 &form1 = startProgram(program);
    const WordListId list{form1.Text1->text(), wordsHash({u"cat"_s, u"dog"_s})};
    form1.PushButton3_Click();
    for (int n = 1; n <= 3; ++n) {
        const QString asked = program.state().game.currentWord;
        type(form1, n == 2 ? asked + u'x' : asked);
        // Another copy of the program sees the answer before the game ends.
        const QList<PastGame> games = HistoryStore(program.historyFile()).pastGames(u"Ann"_s, list);
        QCOMPARE(games.size(), 1);
        QCOMPARE(games.at(0).answered, n);
    }
    form1.PushButton3_Click();
    const QList<PastGame> games = HistoryStore(program.historyFile()).pastGames(u"Ann"_s, list);
    QCOMPARE(games.at(0).correct, 2);
    QVERIFY(program.prompts.boxes.isEmpty());
}

void tst_Form1History::damagedHistoryNeverStopsTheGame()
{
    TestProgram program;
    QDir().mkpath(QFileInfo(program.historyFile()).path());
    program.writeFile(u"data/history.sqlite"_s, "not a history");
    Form1 &form1 = startProgram(program);
    form1.PushButton3_Click();
    const QString asked = program.state().game.currentWord;
    type(form1, asked);
    QCOMPARE(form1.Label4->text(), u"Correct: "_s + asked);
    QCOMPARE(program.state().game.givenWords.size(), 2);
    QCOMPARE(program.prompts.messages().size(), 1);
    QVERIFY(program.prompts.messages().at(0).contains(u"history.damaged-"_s));
    QVERIFY(program.prompts.errors().isEmpty());
    type(form1, program.state().game.currentWord);
    QCOMPARE(program.prompts.boxes.size(), 1);
}

QTEST_MAIN(tst_Form1History)
#include "tst_form1_history.moc"
