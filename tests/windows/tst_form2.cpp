// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settingkeys.h"
#include "results/alignedexport.h"
#include "testprogram.h"
#include "widgets/looks.h"
#include "windows/form2.h"

#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// Words, each with a misspelling and what it says.
struct Misspelt
{
    QString typed;
    QString explanation;
};
const QHash<QString, Misspelt> kMisspelt{
    {u"abbreviate"_s, {u"abreviate"_s, u"missing \"b\""_s}},
    {u"absence"_s, {u"absense"_s, u"\"s\" instead of \"c\""_s}},
    {u"accommodate"_s, {u"acommodate"_s, u"missing \"c\""_s}},
};

} // namespace

class tst_Form2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void save();
    void saveAgainOffersPreviousName();
    void cancelWritesNothing();
    void failedSaveResetsPointer();
    void closing_data();
    void closing();
    void practiseButton_data();
    void practiseButton();
    void whereItWentWrong();
    void savedFileLeavesOutWhereItWentWrong();
    void practiseMissedWords();

private:
    Form2 &filledResults();
    // A program whose list is abbreviate, absence, accommodate, drawn with
    // these numbers.
    Form1 &startWithThreeWords(const QList<double> &numbers);
    // Plays a game; "=" answers the word asked, "x" misspells it, anything
    // else is typed as it stands. Ends it, and returns the results window.
    Form2 &play(const QStringList &answers);
    void answer(const QString &typed);

    std::unique_ptr<TestProgram> program;
};

void tst_Form2::init()
{
    program = std::make_unique<TestProgram>();
    program->addSamples();
    program->start();
    program->prompts.boxes.clear();
}

void tst_Form2::cleanup()
{
    program.reset();
}

Form2 &tst_Form2::filledResults()
{
    Form2 &form2 = program->app->results();
    new QTreeWidgetItem(form2.ListView1, {u"cat"_s, u"cat"_s, u"Correct"_s});
    new QTreeWidgetItem(form2.ListView1, {u"dog"_s, u"dgo"_s, u"Wrong"_s});
    form2.lblCorrect->setText(u"Correct: 1"_s);
    form2.lblWrong->setText(u"Wrong: 1"_s);
    form2.lblScore->setText(u"Score: 50%"_s);
    form2.show();
    program->app->mainWindow()->hide();
    return form2;
}

void tst_Form2::save()
{
    Form2 &form2 = filledResults();
    const QString path = program->folder.filePath(u"results"_s);
    program->dialogs.saveAnswers.enqueue(path);
    // Runs at the export's first turn of the event loop: the hourglass shows,
    // and a second save or a close waits for this save to finish.
    Qt::CursorShape duringSave = Qt::BlankCursor;
    QMetaObject::invokeMethod(
        &form2,
        [&] {
            duringSave = form2.cursor().shape();
            form2.PushButton1->click();
            form2.PushButton2->click();
            form2.close();
        },
        Qt::QueuedConnection);

    form2.PushButton1->click();

    QCOMPARE(program->dialogs.saveCalls.size(), 1);
    QCOMPARE(program->dialogs.saveCalls[0].title, u"Save"_s);
    QCOMPARE(program->dialogs.saveCalls[0].filter, u"Text Files (*.txt);;All Files (*.*)"_s);
    QVERIFY(program->dialogs.saveCalls[0].previousName.isEmpty());
    QCOMPARE(readFile(path),
             QByteArray("Given word\tYour spelling\tResult \t\r\n"
                        "cat       \tcat          \tCorrect\t\r\n"
                        "dog       \tdgo          \tWrong  \t\r\n"
                        "\r\n"
                        "Correct: 1 Wrong: 1 Score: 50%\r\n"));
    QCOMPARE(duringSave, Qt::WaitCursor);
    QCOMPARE(form2.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(form2.ListView1->topLevelItemCount(), 2);
    QVERIFY(program->prompts.boxes.isEmpty());
    QVERIFY(form2.isVisible());
    QVERIFY(!program->app->mainWindow()->isVisible());
}

void tst_Form2::saveAgainOffersPreviousName()
{
    Form2 &form2 = filledResults();
    const QString first = program->folder.filePath(u"first.txt"_s);
    program->dialogs.saveAnswers.enqueue(first);
    program->dialogs.saveAnswers.enqueue(QString());
    form2.PushButton1->click();
    form2.PushButton1->click();

    QCOMPARE(program->dialogs.saveCalls.size(), 2);
    QCOMPARE(program->dialogs.saveCalls[1].previousName, first);

    // A new opening of the window starts with an empty name.
    form2.PushButton2->click();
    QTRY_VERIFY(!program->app->loadedResults());
    filledResults().PushButton1->click();
    QCOMPARE(program->dialogs.saveCalls.size(), 3);
    QVERIFY(program->dialogs.saveCalls[2].previousName.isEmpty());
}

void tst_Form2::cancelWritesNothing()
{
    Form2 &form2 = filledResults();
    const QString path = program->writeFile(u"kept.txt"_s, "old contents");

    form2.PushButton1->click();

    QCOMPARE(program->dialogs.saveCalls.size(), 1);
    QCOMPARE(readFile(path), QByteArray("old contents"));
    QVERIFY(program->prompts.boxes.isEmpty());
    QCOMPARE(form2.cursor().shape(), Qt::ArrowCursor);
}

void tst_Form2::failedSaveResetsPointer()
{
    Form2 &form2 = filledResults();
    program->dialogs.saveAnswers.enqueue(program->folder.filePath(u"missing/results.txt"_s));

    form2.PushButton1->click();

    // One report for the whole save, not one per line.
    QCOMPARE(program->prompts.errors().size(), 1);
    QCOMPARE(form2.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!form2.isSaving());
}

void tst_Form2::closing_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<bool>("ending");
    QTest::addColumn<bool>("mainShown");
    QTest::addRow("Close button") << true << false << true;
    QTest::addRow("close box") << false << false << true;
    QTest::addRow("close box while the program ends") << false << true << false;
}

void tst_Form2::closing()
{
    QFETCH(bool, byButton);
    QFETCH(bool, ending);
    QFETCH(bool, mainShown);
    Form2 &form2 = filledResults();
    program->app->setEnding(ending);

    if (byButton)
        form2.PushButton2->click();
    else
        form2.close();

    QCOMPARE(program->app->mainWindow()->isVisible(), mainShown);
    QTRY_VERIFY(!program->app->loadedResults());
    QVERIFY(program->prompts.boxes.isEmpty());
}

Form1 &tst_Form2::startWithThreeWords(const QList<double> &numbers)
{
    program = std::make_unique<TestProgram>();
    program->writeBeside(u"\\Samples\\One-To-Ten.txt", "abbreviate\r\nabsence\r\naccommodate\r\n");
    program->random = std::make_unique<ScriptedRandom>(numbers);
    return program->start();
}

Form2 &tst_Form2::play(const QStringList &answers)
{
    Form1 &form1 = *program->app->mainWindow();
    form1.PushButton3->click();
    for (const QString &answer : answers) {
        const QString word = form1.state().game.currentWord;
        if (answer == u"=")
            this->answer(word);
        else if (answer == u"x")
            this->answer(kMisspelt.value(word).typed);
        else
            this->answer(answer);
    }
    form1.PushButton3->click();
    if (!program->app->loadedResults())
        qFatal("the game showed no results");
    return *program->app->loadedResults();
}

void tst_Form2::answer(const QString &typed)
{
    Form1 &form1 = *program->app->mainWindow();
    form1.Text2->setText(typed);
    form1.PushButton8_Click();
}

void tst_Form2::practiseButton_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("enabled");
    QTest::addRow("all right") << QStringList{u"="_s, u"="_s, u"="_s, u"="_s} << false;
    QTest::addRow("right in other letter case") << QStringList{u"ABBREVIATE"_s, u"Absence"_s} << false;
    QTest::addRow("one wrong") << QStringList{u"="_s, u"x"_s, u"="_s} << true;
    QTest::addRow("only the last wrong") << QStringList{u"="_s, u"="_s, u"x"_s} << true;
    QTest::addRow("a trailing space is wrong") << QStringList{u"abbreviate "_s} << true;
}

void tst_Form2::practiseButton()
{
    QFETCH(QStringList, answers);
    QFETCH(bool, enabled);
    startWithThreeWords({0.0, 0.5, 0.9});

    Form2 &form2 = play(answers);

    QVERIFY(form2.isVisible());
    QCOMPARE(form2.PushButton3->text(), u"Practise Missed Words"_s);
    QCOMPARE(form2.PushButton3->isEnabled(), enabled);
    // Beside "Close", in the window; the design's controls keep their places.
    QCOMPARE(form2.PushButton3->y(), form2.PushButton2->y());
    QVERIFY(form2.PushButton3->x() > form2.PushButton2->geometry().right());
    QVERIFY(form2.rect().contains(form2.PushButton3->geometry()));
    QCOMPARE(form2.PushButton2->geometry(), Looks::twipsRect(4080, 4390, 3840, 405));
    QCOMPARE(form2.Frame1->geometry(), Looks::twipsRect(120, 3540, 7800, 735));
    // The list shows every column without scrolling.
    const QHeaderView *header = form2.ListView1->header();
    QVERIFY(header->sectionPosition(Form2::kExplanationColumn) + header->sectionSize(Form2::kExplanationColumn)
            <= form2.ListView1->viewport()->width());
    if (!enabled) {
        form2.PushButton3->click();
        QVERIFY(form2.isVisible());
        QVERIFY(!program->state().game.started);
    }
}

void tst_Form2::whereItWentWrong()
{
    startWithThreeWords({0.0, 0.5, 0.9});

    Form2 &form2 = play({u"x"_s, u"="_s, u"x"_s, u"ABREVIATE"_s, u"x"_s});

    QCOMPARE(form2.ListView1->headerItem()->text(Form2::kExplanationColumn), u"Where it went wrong"_s);
    QCOMPARE(form2.ListView1->columnCount(), 4);
    const QStringList given{u"abbreviate"_s, u"absence"_s, u"accommodate"_s, u"abbreviate"_s, u"absence"_s};
    const QStringList results{u"Wrong"_s, u"Correct"_s, u"Wrong"_s, u"Wrong"_s, u"Wrong"_s};
    const QStringList explanations{kMisspelt[u"abbreviate"_s].explanation, QString(),
                                   kMisspelt[u"accommodate"_s].explanation, kMisspelt[u"abbreviate"_s].explanation,
                                   kMisspelt[u"absence"_s].explanation};
    QCOMPARE(form2.ListView1->topLevelItemCount(), 5);
    for (int k = 0; k < 5; ++k) {
        const QTreeWidgetItem *row = form2.ListView1->topLevelItem(k);
        QCOMPARE(row->text(0), given[k]);
        QCOMPARE(row->text(2), results[k]);
        QCOMPARE(row->text(Form2::kExplanationColumn), explanations[k]);
    }
}

// The saved file holds the three design columns only, byte for byte as
// before the list showed where answers went wrong.
void tst_Form2::savedFileLeavesOutWhereItWentWrong()
{
    startWithThreeWords({0.0, 0.5, 0.9});
    Form2 &form2 = play({u"x"_s, u"="_s, u"x"_s, u"x"_s});
    QCOMPARE(form2.ListView1->topLevelItem(0)->text(Form2::kExplanationColumn), u"missing \"b\""_s);
    const QString path = program->folder.filePath(u"results.txt"_s);
    program->dialogs.saveAnswers.enqueue(path);

    form2.PushButton1->click();

    QCOMPARE(readFile(path),
             QByteArray("Given word \tYour spelling\tResult \t\r\n"
                        "abbreviate \tabreviate    \tWrong  \t\r\n"
                        "absence    \tabsence      \tCorrect\t\r\n"
                        "accommodate\tacommodate   \tWrong  \t\r\n"
                        "abbreviate \tabreviate    \tWrong  \t\r\n"
                        "\r\n"
                        "Correct: 1 Wrong: 3 Score: 25%\r\n"));
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Form2::practiseMissedWords()
{
    Form1 &form1 = startWithThreeWords({0.0, 0.5, 0.9, 0.3});
    const QString listLabel = form1.Label3->text();
    const QString remembered = program->settings->ReadSetting(SettingKeys::kDictionary.toString(), QString());
    QVERIFY(!remembered.isEmpty());
    // abbreviate missed twice, absence right, accommodate missed once.
    Form2 &form2 = play({u"x"_s, u"="_s, u"x"_s, u"x"_s});
    QVERIFY(form2.PushButton3->isEnabled());
    QCOMPARE(form2.missedWords(), (QStringList{u"abbreviate"_s, u"accommodate"_s}));

    form2.PushButton3->click();

    QTRY_VERIFY(!program->app->loadedResults());
    QVERIFY(form1.isVisible());
    QVERIFY(form1.state().game.started);
    QCOMPARE(form1.PushButton3->text(), u"End Game"_s);
    QCOMPARE(form1.Label1->text(), u" Word 1 of 2"_s);
    const QSet<QString> missed{u"abbreviate"_s, u"accommodate"_s};
    // Three passes: each asks both missed words once, in either order.
    for (int pass = 0; pass < 3; ++pass) {
        QSet<QString> asked;
        for (int n = 1; n <= 2; ++n) {
            QCOMPARE(form1.Label1->text(), u" Word %1 of 2"_s.arg(n));
            asked.insert(form1.state().game.currentWord);
            answer(n == 1 ? kMisspelt.value(form1.state().game.currentWord).typed : form1.state().game.currentWord);
            QCOMPARE(form1.Label4->text().startsWith(n == 1 ? u"Incorrect. Correct spelling: "_s : u"Correct: "_s),
                     true);
        }
        QCOMPARE(asked, missed);
    }
    QCOMPARE(program->state().dictionary.count(), 3);
    QCOMPARE(form1.Label3->text(), listLabel);

    form1.PushButton3->click();

    QVERIFY(!!program->app->loadedResults());
    Form2 &practised = *program->app->loadedResults();
    QCOMPARE(practised.ListView1->topLevelItemCount(), 6);
    for (int k = 0; k < 6; ++k) {
        const QTreeWidgetItem *row = practised.ListView1->topLevelItem(k);
        QVERIFY(missed.contains(row->text(0)));
        QCOMPARE(row->text(2), k % 2 == 0 ? u"Wrong"_s : u"Correct"_s);
        QCOMPARE(row->text(Form2::kExplanationColumn),
                 k % 2 == 0 ? kMisspelt.value(row->text(0)).explanation : QString());
    }
    QCOMPARE(practised.lblScore->text(), u"Score: 50%"_s);
    practised.PushButton2->click();
    QTRY_VERIFY(!program->app->loadedResults());

    // The list in use stays whole: label, setting and the next game.
    QCOMPARE(form1.Label3->text(), listLabel);
    QCOMPARE(program->settings->ReadSetting(SettingKeys::kDictionary.toString(), QString()), remembered);
    form1.PushButton3->click();
    QCOMPARE(form1.Label1->text(), u" Word 1 of 3"_s);
    QSet<QString> asked;
    for (int n = 0; n < 3; ++n) {
        asked.insert(form1.state().game.currentWord);
        answer(form1.state().game.currentWord);
    }
    QCOMPARE(asked, QSet<QString>(kMisspelt.keyBegin(), kMisspelt.keyEnd()));
    QVERIFY(program->prompts.boxes.isEmpty());
}

QTEST_MAIN(tst_Form2)
#include "tst_form2.moc"
