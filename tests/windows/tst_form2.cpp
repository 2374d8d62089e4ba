// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/alignedexport.h"
#include "testprogram.h"
#include "windows/form2.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace { } // namespace

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

private:
    Form2 &filledResults();

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
    // and a second save or a close waits for this save to finish; the
    // program's own close is refused meanwhile.
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

    // Then the second save asks for its file (and is cancelled), and Close
    // closes the window.
    QTRY_VERIFY(!program->app->loadedResults());
    QCOMPARE(program->dialogs.saveCalls.size(), 2);
    QCOMPARE(program->dialogs.saveCalls[1].previousName, path);
    QVERIFY(program->app->mainWindow()->isVisible());
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

QTEST_MAIN(tst_Form2)
#include "tst_form2.moc"
