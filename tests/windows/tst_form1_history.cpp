// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settingkeys.h"
#include "core/useraccount.h"
#include "history/historystore.h"
#include "testprogram.h"
#include "widgets/texttable.h"
#include "windows/form3.h"
#include "windows/form4.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList items(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

// Chooses the item as the user does: the drop-down tells it was activated.
void choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class tst_Form1History : public QObject
{
    Q_OBJECT

private slots:
    void answersAreRecordedAsTheGameGoes();
    void damagedHistoryNeverStopsTheGame();
    void firstLearnerWithoutASetting();
    void oneLearnerWhateverTheLetterCaseInBothWindows();
    void switchingInOneWindowShowsInTheOther();
    void newLearnerFromTheMainWindow_data();
    void newLearnerFromTheMainWindow();

private:
    Form1 &startProgram(TestProgram &program, const QString &learner = u"Ann"_s);
    static void type(Form1 &form1, const QString &text);
    // Shows the main window and waits for its learners, read once it has
    // been painted.
    static void show(Form1 &form1);
};

Form1 &tst_Form1History::startProgram(TestProgram &program, const QString &learner)
{
    program.writeBeside(u"\\Samples\\One-To-Ten.txt", "cat\r\ndog\r\n");
    if (!learner.isNull())
        program.settings->WriteSetting(SettingKeys::kLearner.toString(), learner);
    Form1 &form1 = program.start();
    program.state().gameAudio.speakWord = [](const QString &) {};
    program.state().gameAudio.playSound = [](bool) {};
    program.app->audioOptions().Option2->setChecked(true);
    return form1;
}

void tst_Form1History::show(Form1 &form1)
{
    form1.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form1));
    QTRY_VERIFY(form1.Combo1->count() > 0);
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
    // Showing the learners at start-up reads the history; what it has to
    // tell waits for the game.
    show(form1);
    QCOMPARE(form1.Combo1->currentText(), u"Ann"_s);
    QVERIFY(program.prompts.boxes.isEmpty());
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

void tst_Form1History::firstLearnerWithoutASetting()
{
    TestProgram program;
    Form1 &form1 = startProgram(program, QString());
    show(form1);
    QCOMPARE(items(form1.Combo1), (QStringList{UserAccount::firstLearnerName(), u"New Learner..."_s}));
    QCOMPARE(form1.Combo1->currentIndex(), 0);
    // Nothing asked at start-up, and nothing written until a learner is chosen.
    QVERIFY(program.prompts.boxes.isEmpty());
    QCOMPARE(program.settings->ReadSetting(SettingKeys::kLearner.toString(), u"<absent>"_s), u"<absent>"_s);
    // The drop-down is named by its label, its text is the learner.
    const auto relations = QAccessible::queryAccessibleInterface(form1.Combo1)->relations(QAccessible::Label);
    QVERIFY(!relations.isEmpty());
    QCOMPARE(relations.constFirst().first->object(), form1.Label7);
    QCOMPARE(form1.Label7->text(), u"Learner:"_s);
}

void tst_Form1History::oneLearnerWhateverTheLetterCaseInBothWindows()
{
    TestProgram program;
    program.writeBeside(u"\\Samples\\One-To-Ten.txt", "cat\r\ndog\r\n");
    const WordListId list{program.path(u"\\Samples\\One-To-Ten.txt"), wordsHash({u"cat"_s, u"dog"_s})};
    QDir().mkpath(QFileInfo(program.historyFile()).path());
    {
        HistoryStore store(program.historyFile());
        for (const QString &name : {u"Ann"_s, u"Other"_s, u"Ben"_s})
            store.recordAnswer(store.recordGame(name, list, QDateTime::currentDateTime()),
                               {u"cat"_s, u"kat"_s, false, QDateTime::currentDateTime()});
    }
    {
        // As a version that told letter cases apart could have left it.
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(program.historyFile());
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"UPDATE learners SET name = 'ann' WHERE name = 'Other'"_s));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
    Form1 &form1 = startProgram(program, u"ANN"_s);
    show(form1);

    QCOMPARE(items(form1.Combo1), (QStringList{u"Ann"_s, u"Ben"_s, u"New Learner..."_s}));
    QCOMPARE(form1.Combo1->currentText(), u"Ann"_s);
    form1.PushButton12->click();
    Form4 *form4 = program.app->loadedProgress();
    QVERIFY(form4);
    QCOMPARE(form4->Combo1->currentText(), u"Ann"_s);
    QCOMPARE(form4->gamesTable()->rowCount(), 2);
    QCOMPARE(form4->wordsToWorkOn().size(), 1);
    QCOMPARE(form4->wordsToWorkOn().constFirst().wrong, 2);
    QVERIFY(program.prompts.boxes.isEmpty());
}

void tst_Form1History::switchingInOneWindowShowsInTheOther()
{
    TestProgram program;
    Form1 &form1 = startProgram(program);
    QVERIFY(program.state().practiceRecord.addLearner(u"Ann"_s).isEmpty());
    QVERIFY(program.state().practiceRecord.addLearner(u"Ben"_s).isEmpty());
    show(form1);
    choose(form1.Combo1, int(items(form1.Combo1).indexOf(u"Ben"_s)));
    QCOMPARE(program.settings->ReadSetting(SettingKeys::kLearner.toString(), QString()), u"Ben"_s);
    // The game's answers are the learner's chosen in the main window.
    form1.PushButton3_Click();
    type(form1, program.state().game.currentWord);
    form1.PushButton8->setFocus();

    form1.PushButton12->click();
    QPointer<Form4> form4 = program.app->loadedProgress();
    QVERIFY(form4);
    QCOMPARE(form4->Combo1->currentText(), u"Ben"_s);
    QCOMPARE(form4->gamesTable()->rowCount(), 1);
    choose(form4->Combo1, form4->Combo1->findText(u"Ann"_s));
    QCOMPARE(form4->gamesTable()->rowCount(), 0);
    form4->PushButton5->click();
    QTRY_VERIFY(form4.isNull());

    QVERIFY(form1.isVisible());
    QCOMPARE(form1.Combo1->currentText(), u"Ann"_s);
    QVERIFY(program.prompts.boxes.isEmpty());
}

void tst_Form1History::newLearnerFromTheMainWindow_data()
{
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("learner"); // in use afterwards
    QTest::addColumn<QStringList>("messages");
    QTest::addRow("a new name") << std::optional<QString>(u" Dee "_s) << u"Dee"_s << QStringList();
    QTest::addRow("cancelled") << std::optional<QString>() << u"Ann"_s << QStringList();
    QTest::addRow("taken in other letter case")
        << std::optional<QString>(u"bEN"_s) << u"Ann"_s << QStringList{u"A learner of that name already exists."_s};
    QTest::addRow("empty") << std::optional<QString>(u" "_s) << u"Ann"_s
                           << QStringList{u"Please type a name for the learner."_s};
    QTest::addRow("10,000 characters") << std::optional<QString>(QString(10'000, u'w')) << QString(10'000, u'w')
                                       << QStringList();
    QTest::addRow("markup") << std::optional<QString>(u"<b>Dee</b> &amp;"_s) << u"<b>Dee</b> &amp;"_s << QStringList();
    QTest::addRow("right-to-left") << std::optional<QString>(u"\u05d3\u05e0\u05d4 \u202eDee"_s)
                                   << u"\u05d3\u05e0\u05d4 \u202eDee"_s << QStringList();
}

void tst_Form1History::newLearnerFromTheMainWindow()
{
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, learner);
    QFETCH(QStringList, messages);
    TestProgram program;
    Form1 &form1 = startProgram(program);
    QVERIFY(program.state().practiceRecord.addLearner(u"Ben"_s).isEmpty());
    show(form1);
    program.prompts.typedAnswers.enqueue(typed);

    choose(form1.Combo1, form1.Combo1->count() - 1);

    QCOMPARE(program.prompts.textQuestions(), QStringList{u"Name of the new learner:"_s});
    QCOMPARE(program.prompts.messages(), messages);
    QCOMPARE(form1.Combo1->currentText(), learner);
    QCOMPARE(form1.Combo1->itemText(form1.Combo1->count() - 1), u"New Learner..."_s);
    QCOMPARE(program.state().practiceRecord.learner(), learner);
    // Kept exactly, and shown so in the Progress window too.
    if (typed && messages.isEmpty())
        QCOMPARE(HistoryStore(program.historyFile()).learners(), (QStringList{u"Ben"_s, learner}));
    form1.PushButton12->click();
    QVERIFY(program.app->loadedProgress());
    QCOMPARE(program.app->loadedProgress()->Combo1->currentText(), learner);
}

QTEST_MAIN(tst_Form1History)
#include "tst_form1_history.moc"
