// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiotest.h"
#include "windows/refreshvoices.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace AudioTest;

class tst_RefreshVoices : public QObject
{
    Q_OBJECT

private slots:
    void selectsTheSavedChoice_data();
    void selectsTheSavedChoice();
    void listFollowsTheEnginesOrder();
    void chosenVoiceFoundByName_data();
    void chosenVoiceFoundByName();
    void choiceSurvivesTheNextRun_data();
    void choiceSurvivesTheNextRun();
    void choiceSurvivesRefreshList();
    void startUpRefreshesTwice_data();
    void startUpRefreshesTwice();
    void refreshList_data();
    void refreshList();
};

const QString kRefresh = u"in Lexidrill2021/08/31.modDictionary.RefreshVoices "_s;
const QString kDone = u"Done.\r\rList has been refreshed with the latest voices found within the "
                      "'Text to Speech' feature in the Windows Control Panel."_s;
const QString kNoVoices = u"No voices found within the 'Text to Speech' feature in the Windows Control Panel."_s;

void tst_RefreshVoices::selectsTheSavedChoice_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("voiceCount");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("savedAfter");
    QTest::addColumn<QList<int>>("lines");
    QTest::addRow("no saved choice: the first voice") << kAbsent << 2 << 0 << u"0"_s << QList<int>();
    QTest::addRow("second voice") << u"1"_s << 2 << 1 << u"1"_s << QList<int>();
    QTest::addRow("beyond the voices: nothing, the choice is kept") << u"2"_s << 2 << -1 << u"2"_s << QList<int>();
    QTest::addRow("not a number: the first voice") << u"Zira"_s << 2 << 0 << u"0"_s << QList<int>();
    QTest::addRow("nothing chosen") << u"-1"_s << 2 << -1 << u"-1"_s << QList<int>();
    QTest::addRow("below -1 is rejected and kept") << u"-2"_s << 2 << -1 << u"-2"_s << QList<int>{110, 110};
    QTest::addRow("out of the 16-bit range") << u"-40000"_s << 2 << -1 << u"-40000"_s << QList<int>{110, 110};
    QTest::addRow("half to the even neighbour, up") << u"1.5"_s << 3 << 2 << u"2"_s << QList<int>();
    QTest::addRow("compared before rounding") << u"1.6"_s << 2 << -1 << u"1.6"_s << QList<int>{110, 110};
    QTest::addRow("no voices at all") << kAbsent << 0 << -1 << kAbsent << QList<int>();
}

void tst_RefreshVoices::selectsTheSavedChoice()
{
    QFETCH(QString, saved);
    QFETCH(int, voiceCount);
    QFETCH(int, selected);
    QFETCH(QString, savedAfter);
    QFETCH(QList<int>, lines);
    TestProgram program;
    program.speech.voiceNames.clear();
    for (int i = 0; i < voiceCount; ++i)
        program.speech.voiceNames.append(u"Voice %1"_s.arg(i));

    startWith(program, {u"Combo1="_s + saved});

    const Form3 &form3 = program.app->audioOptions();
    QCOMPARE(form3.Combo1->count(), voiceCount);
    QCOMPARE(form3.Combo1->currentIndex(), selected);
    QCOMPARE(setting(program, u"Combo1"_s), savedAfter);
    QCOMPARE(reportedLines(program.prompts, kRefresh), lines);
}

void tst_RefreshVoices::listFollowsTheEnginesOrder()
{
    TestProgram program;
    program.speech.voiceNames = {u"Zoe"_s, u"Adam"_s, u"Mary"_s};
    startWith(program, {u"Combo1=1"_s});
    Form3 &form3 = program.app->audioOptions();

    // A voice installed later lands where the engine lists it; the saved
    // position now names another voice, and that one is selected.
    program.speech.voiceNames.insert(0, u"Bob"_s);
    RefreshVoices(program.state(), *program.app, false);

    QStringList items;
    for (int i = 0; i < form3.Combo1->count(); ++i)
        items.append(form3.Combo1->itemText(i));
    QCOMPARE(items, QStringList({u"Bob"_s, u"Zoe"_s, u"Adam"_s, u"Mary"_s}));
    QCOMPARE(form3.Combo1->currentIndex(), 1);
    QCOMPARE(form3.Combo1->currentText(), u"Zoe"_s);
    // Only the catalog voice is left; the enumeration voices are released.
    QCOMPARE(program.speech.log.liveVoices, 1);
}

void tst_RefreshVoices::chosenVoiceFoundByName_data()
{
    QTest::addColumn<QStringList>("voices");
    QTest::addColumn<QString>("savedPosition");
    QTest::addColumn<QString>("savedName");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("positionAfter");

    const QString kal16 = u"kal16 (English – United States)"_s;
    const QString america = u"English (America) (English – United States)"_s;
    const QString german = u"German (German – Germany)"_s;
    QTest::addRow("a new default voice first: the named voice, position corrected")
        << QStringList{u"awb (English – United States)"_s, kal16, america} << u"0"_s << kal16 << 1 << u"1"_s;
    QTest::addRow("desktop language changed: the named voice, further down")
        << QStringList{german, u"German+Adam (German – Germany)"_s, kal16, america} << u"1"_s << america << 3 << u"3"_s;
    QTest::addRow("the name wins over a position that is not a number")
        << QStringList{kal16, america} << u"Zira"_s << america << 1 << u"1"_s;
    QTest::addRow("the name wins over a position beyond the list")
        << QStringList{kal16, america} << u"7"_s << america << 1 << u"1"_s;
    QTest::addRow("named voice removed: the saved position")
        << QStringList{kal16, german} << u"1"_s << america << 1 << u"1"_s;
    QTest::addRow("named voice removed, position beyond the list: nothing, kept")
        << QStringList{kal16} << u"1"_s << america << -1 << u"1"_s;
    QTest::addRow("the name must match exactly")
        << QStringList{kal16, america.toUpper()} << u"0"_s << america << 0 << u"0"_s;
    QTest::addRow("no name saved: the saved position")
        << QStringList{kal16, america} << u"1"_s << kAbsent << 1 << u"1"_s;
}

void tst_RefreshVoices::chosenVoiceFoundByName()
{
    QFETCH(QStringList, voices);
    QFETCH(QString, savedPosition);
    QFETCH(QString, savedName);
    QFETCH(int, selected);
    QFETCH(QString, positionAfter);
    TestProgram program;
    program.speech.voiceNames = voices;

    startWith(program, {u"Combo1="_s + savedPosition, u"Voice Name="_s + savedName});

    const Form3 &form3 = program.app->audioOptions();
    QCOMPARE(form3.Combo1->currentIndex(), selected);
    QCOMPARE(setting(program, u"Combo1"_s), positionAfter);
    // A voice selected for want of the named one leaves the name alone.
    QCOMPARE(setting(program, u"Voice Name"_s), savedName);
    QVERIFY(program.prompts.errors().isEmpty());
}

void tst_RefreshVoices::choiceSurvivesTheNextRun_data()
{
    QTest::addColumn<QStringList>("nextVoices");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QString>("positionAfter");

    QTest::addRow("same voices") << QStringList{u"Zoe"_s, u"Adam"_s, u"Mary"_s} << u"Adam"_s << u"1"_s;
    QTest::addRow("a clearer voice installed, now first")
        << QStringList{u"Bob"_s, u"Zoe"_s, u"Adam"_s, u"Mary"_s} << u"Adam"_s << u"2"_s;
    QTest::addRow("a voice before it removed") << QStringList{u"Adam"_s, u"Mary"_s} << u"Adam"_s << u"0"_s;
    QTest::addRow("the chosen voice removed: as the position says")
        << QStringList{u"Zoe"_s, u"Mary"_s} << u"Mary"_s << u"1"_s;
}

void tst_RefreshVoices::choiceSurvivesTheNextRun()
{
    QFETCH(QStringList, nextVoices);
    QFETCH(QString, heard);
    QFETCH(QString, positionAfter);
    QStringList saved;
    {
        TestProgram first;
        first.speech.voiceNames = {u"Zoe"_s, u"Adam"_s, u"Mary"_s};
        startWith(first);
        first.app->audioOptions().Combo1->setCurrentIndex(1);
        QCOMPARE(setting(first, u"Voice Name"_s), u"Adam"_s);
        for (const QString &key : {u"Combo1"_s, u"Voice Name"_s})
            saved.append(key + u'=' + setting(first, key));
    }

    TestProgram next;
    next.speech.voiceNames = nextVoices;
    startWith(next, saved);

    QCOMPARE(next.app->audioOptions().Combo1->currentText(), heard);
    QCOMPARE(setting(next, u"Combo1"_s), positionAfter);
    QCOMPARE(setting(next, u"Voice Name"_s), u"Adam"_s);
}

void tst_RefreshVoices::choiceSurvivesRefreshList()
{
    TestProgram program;
    program.speech.voiceNames = {u"Zoe"_s, u"Adam"_s, u"Mary"_s};
    startWith(program);
    Form3 &form3 = program.app->audioOptions();
    form3.Combo1->setCurrentIndex(2);

    program.speech.voiceNames.insert(0, u"Bob"_s);
    form3.PushButton9->click();

    QCOMPARE(form3.Combo1->currentText(), u"Mary"_s);
    QCOMPARE(setting(program, u"Combo1"_s), u"3"_s);
}

void tst_RefreshVoices::startUpRefreshesTwice_data()
{
    QTest::addColumn<bool>("engineBroken");
    QTest::addColumn<QList<int>>("lines");
    QTest::addRow("no voices installed") << false << QList<int>();
    // The start-up refresh fails to make its voice, then its first touch of
    // the list loads the options window, whose own refresh runs inside it.
    QTest::addRow("no speech engine") << true << QList<int>{100, 100, 104, 104};
}

void tst_RefreshVoices::startUpRefreshesTwice()
{
    QFETCH(bool, engineBroken);
    QFETCH(QList<int>, lines);
    TestProgram program;
    program.speech.voiceNames.clear();
    program.speech.broken = engineBroken;

    startWith(program);

    QCOMPARE(program.prompts.messages(), QStringList({kNoVoices, kNoVoices}));
    QCOMPARE(reportedLines(program.prompts, kRefresh), lines);
}

void tst_RefreshVoices::refreshList_data()
{
    QTest::addColumn<QStringList>("voices");
    QTest::addColumn<QStringList>("messages");
    QTest::addRow("voices installed") << QStringList{u"Adam"_s} << QStringList{kDone};
    QTest::addRow("no voices") << QStringList() << QStringList{kNoVoices};
}

void tst_RefreshVoices::refreshList()
{
    QFETCH(QStringList, voices);
    QFETCH(QStringList, messages);
    TestProgram program;
    startWith(program);
    Form3 &form3 = program.app->audioOptions();
    program.speech.voiceNames = voices;
    program.prompts.boxes.clear();

    form3.PushButton9->click();

    QCOMPARE(program.prompts.messages(), messages);
    QCOMPARE(form3.Combo1->count(), voices.size());
    QVERIFY(program.prompts.errors().isEmpty());
}

QTEST_MAIN(tst_RefreshVoices)
#include "tst_refreshvoices.moc"
