// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speakword.h"
#include "core/settingkeys.h"
#include "testprogram.h"
#include "widgets/texttable.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kFourWords = "cat\r\ndog\r\nowl\r\ncat\r\nemu\r\n";

// The copies the history file holds, as "typed:right" in the order typed.
QStringList copiesKept(const QString &file)
{
    QStringList copies;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"copies"_s);
        db.setDatabaseName(file);
        QSqlQuery query(db);
        if (db.open() && query.exec(u"SELECT typed, correct FROM copies ORDER BY id"_s)) {
            while (query.next())
                copies.append(query.value(0).toString() + u':' + query.value(1).toString());
        }
    }
    QSqlDatabase::removeDatabase(u"copies"_s);
    return copies;
}
} // namespace

// Take a Test, the copy after a miss and the finish line, played through the
// main window on a real history file.
class tst_Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testAsksEachWordOnceAndEndsByItself_data();
    void testAsksEachWordOnceAndEndsByItself();
    void endTestStopsEarly();
    void testOfAnEmptyList();
    void testIsRecordedAsATestIntoProgress();
    void copyAfterAMiss_data();
    void copyAfterAMiss();
    void copyTypedAheadLosesNoKey();
    void practiceFinishLine_data();
    void practiceFinishLine();

private:
    Form1 &startProgram(const QByteArray &words = kFourWords);
    void type(const QString &text);

    std::unique_ptr<TestProgram> program;
    QStringList spoken;
    QList<bool> sounds;
};

void tst_Form1Test::init()
{
    spoken.clear();
    sounds.clear();
    program = std::make_unique<TestProgram>();
}

void tst_Form1Test::cleanup()
{
    program.reset();
}

Form1 &tst_Form1Test::startProgram(const QByteArray &words)
{
    program->writeBeside(u"\\Samples\\One-To-Ten.txt", words);
    program->settings->WriteSetting(SettingKeys::kLearner.toString(), u"Ann"_s);
    Form1 &form1 = program->start();
    program->state().gameAudio.speakWord = [this](const QString &word) { spoken.append(word); };
    program->state().gameAudio.playSound = [this](bool isCorrect) { sounds.append(isCorrect); };
    // Sounds on: a test must still play none.
    program->app->audioOptions().Option1->setChecked(true);
    form1.show();
    if (!QTest::qWaitForWindowActive(&form1))
        qFatal("the main window did not become active");
    return form1;
}

void tst_Form1Test::type(const QString &text)
{
    Form1 &form1 = *program->app->mainWindow();
    form1.Text2->setText(text);
    QTest::keyClick(form1.Text2, Qt::Key_Return);
}

// Each row answers the words asked in turn: "=" types the word asked, any
// other text is typed as it is.
void tst_Form1Test::testAsksEachWordOnceAndEndsByItself_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("score");
    QTest::addColumn<QString>("finish");
    QTest::addRow("every word right") << kFourWords << QStringList{u"="_s, u"="_s, u"="_s, u"="_s} << u"Score: 100%"_s
                                      << u"All 4 words right. Well done!"_s;
    QTest::addRow("one word wrong") << kFourWords << QStringList{u"="_s, u"xx"_s, u"="_s, u"="_s} << u"Score: 75%"_s
                                    << u"3 of 4 words right."_s;
    QTest::addRow("a list of one word") << QByteArray("owl\r\n") << QStringList{u"="_s} << u"Score: 100%"_s
                                        << u"The word was right. Well done!"_s;
}

void tst_Form1Test::testAsksEachWordOnceAndEndsByItself()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, answers);
    QFETCH(QString, score);
    QFETCH(QString, finish);
    Form1 &form1 = startProgram(list);
    form1.PushButton13->click();
    QCOMPARE(form1.PushButton3->text(), u"End Test"_s);

    for (qsizetype k = 0; k < answers.size(); ++k) {
        QCOMPARE(form1.Label1->text(), u" Word %1 of %2"_s.arg(k + 1).arg(answers.size()));
        const QString typed = answers.at(k) == u"="_s ? spoken.constLast() : answers.at(k);
        type(typed);
        if (k + 1 < answers.size())
            QCOMPARE(form1.Label4->text(), u"Answer taken: "_s + typed);
    }

    QCOMPARE(spoken.size(), answers.size());
    QCOMPARE(QSet<QString>(spoken.cbegin(), spoken.cend()).size(), answers.size());
    QVERIFY2(sounds.isEmpty(), "a test gives no right or wrong sound");
    QVERIFY(!form1.state().game.started);
    QCOMPARE(form1.PushButton3->text(), u"Start Game"_s);
    const Form2 *results = program->app->loadedResults();
    QVERIFY(results && results->isVisible());
    QCOMPARE(results->ListView1->topLevelItemCount(), answers.size());
    QCOMPARE(results->lblScore->text(), score);
    QCOMPARE(results->Label1->text(), finish);
    QVERIFY(results->Label1->isVisible());
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Form1Test::endTestStopsEarly()
{
    Form1 &form1 = startProgram();
    form1.PushButton13->click();
    type(spoken.constLast());
    form1.PushButton3->click();

    const Form2 *results = program->app->loadedResults();
    QVERIFY(results && results->isVisible());
    QCOMPARE(results->ListView1->topLevelItemCount(), 1);
    QCOMPARE(results->lblScore->text(), u"Score: 100%"_s);
    QCOMPARE(results->Label1->text(), u"1 of 4 words right."_s);
    QVERIFY(!form1.state().game.started);
    QCOMPARE(spoken.size(), 2);
}

void tst_Form1Test::testOfAnEmptyList()
{
    Form1 &form1 = startProgram("\r\n");
    program->prompts.boxes.clear();
    form1.PushButton13->click();
    QCOMPARE(program->prompts.messages(),
             QStringList{u"The word list holds no words. Please load a word list first."_s});
    QVERIFY(!form1.state().game.started);
    QVERIFY(spoken.isEmpty());
}

void tst_Form1Test::testIsRecordedAsATestIntoProgress()
{
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    type(spoken.constLast());
    form1.PushButton3->click();
    program->app->loadedResults()->PushButton2->click();
    form1.PushButton13->click();
    for (int k = 0; k < 4; ++k)
        type(k == 0 ? u"zz"_s : spoken.constLast());
    program->app->loadedResults()->PushButton2->click();

    form1.PushButton12->click();
    const Form4 *form4 = program->app->loadedProgress();
    QVERIFY(form4);
    const TextTable *games = form4->gamesTable();
    QCOMPARE(games->rowCount(), 2);
    // Newest first: the test, marked, then the practice game.
    QVERIFY(games->text(0, 0).endsWith(u" (test)"_s));
    QCOMPARE(games->text(0, 3), u"75%"_s);
    QVERIFY(!games->text(1, 0).contains(u"test"_s));
    QCOMPARE(games->text(1, 3), u"100%"_s);
}

// "miss" answers the word wrong; "copy:" types a copy and presses Enter.
void tst_Form1Test::copyAfterAMiss_data()
{
    QTest::addColumn<QStringList>("copies");
    QTest::addColumn<QStringList>("feedback");
    QTest::addRow("a right copy moves on") << QStringList{u"="_s} << QStringList{u"Copied right: %1"_s};
    QTest::addRow("a wrong copy shows the word again")
        << QStringList{u"kat"_s, u"="_s} << QStringList{u"Not yet. Correct spelling: %1"_s, u"Copied right: %1"_s};
}

void tst_Form1Test::copyAfterAMiss()
{
    QFETCH(QStringList, copies);
    QFETCH(QStringList, feedback);
    Form1 &form1 = startProgram();
    program->state().setCopyAfterMiss(true);
    form1.PushButton3->click();
    const QString word = spoken.constLast();
    type(word + u"x"_s);
    QCOMPARE(form1.Label4->text(), u"Incorrect. Correct spelling: "_s + word);
    QCOMPARE(spoken.size(), 1);

    QTest::keyClick(form1.Text2, Qt::Key_A);
    QCOMPARE(form1.Label4->text(), u"Now type the word again."_s);
    form1.PushButton5->click();
    QCOMPARE(spoken, (QStringList{word, word}));

    for (qsizetype k = 0; k < copies.size(); ++k) {
        const QString copy = copies.at(k) == u"="_s ? word : copies.at(k);
        type(copy);
        QCOMPARE(form1.Label4->text(), feedback.at(k).arg(word));
    }
    QCOMPARE(spoken.size(), 3);
    QCOMPARE(form1.Label1->text(), u" Word 2 of 5"_s);
    // Only the first try counts.
    QCOMPARE(form1.state().game.typedWords, QStringList{word + u"x"_s});
    QCOMPARE(sounds, QList<bool>{false});
    QStringList kept = copiesKept(program->historyFile());
    QCOMPARE(kept.size(), copies.size());
    QVERIFY(kept.constLast().endsWith(u":1"_s));
    kept.removeLast();
    for (const QString &wrong : std::as_const(kept))
        QVERIFY(wrong.endsWith(u":0"_s));
}

// The learner types the copy and its Enter during the miss's sound: the copy
// is taken once the answer has been handled, and the next word comes.
void tst_Form1Test::copyTypedAheadLosesNoKey()
{
    Form1 &form1 = startProgram();
    program->state().setCopyAfterMiss(true);
    ProgramState &state = form1.state();
    state.gameAudio.playSound = [&state](bool isCorrect) { PlaySound(state.audio, isCorrect); };
    form1.PushButton3->click();
    const QString word = spoken.constLast();
    bool typedAhead = false;
    program->delay.whilePaused = [&] {
        if (std::exchange(typedAhead, true))
            return;
        QTest::keyClicks(form1.Text2, word);
        QTest::keyClick(form1.windowHandle(), Qt::Key_Return);
        QTest::keyClick(form1.windowHandle(), 'n');
        QTest::keyClick(form1.windowHandle(), 'e');
    };

    type(word + u"x"_s);

    QTRY_COMPARE(spoken.size(), 2);
    QCOMPARE(form1.state().game.typedWords, QStringList{word + u"x"_s});
    QVERIFY(!form1.state().game.copy.active());
    QCOMPARE(form1.Text2->text(), u"ne"_s);
    QCOMPARE(form1.Label1->text(), u" Word 2 of 5"_s);
}

void tst_Form1Test::practiceFinishLine_data()
{
    QTest::addColumn<int>("missed");
    QTest::addColumn<QString>("line");
    QTest::addRow("a pass all right") << -1 << u"All 4 words right. Well done!"_s;
    QTest::addRow("a miss in the pass") << 2 << QString();
}

void tst_Form1Test::practiceFinishLine()
{
    QFETCH(int, missed);
    QFETCH(QString, line);
    Form1 &form1 = startProgram();
    form1.PushButton3->click();
    for (int k = 0; k < 4; ++k) {
        QVERIFY(form1.Label5->text().isEmpty());
        type(k == missed ? u"zz"_s : spoken.constLast());
    }
    QCOMPARE(form1.Label5->text(), line);
    QCOMPARE(form1.Label5->isVisible(), !line.isEmpty());
    QVERIFY(program->prompts.boxes.isEmpty());
    form1.PushButton3->click();
    QVERIFY(form1.Label5->text().isEmpty());
}

QTEST_MAIN(tst_Form1Test)
#include "tst_form1_test.moc"
