// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiotest.h"
#include "windows/refreshvoices.h"

#include <QCheckBox>
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
    void variantVoices_data();
    void variantVoices();
    void showAllVoices();
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
    QCOMPARE(form3.voicePosition(), selected);
    QCOMPARE(form3.Combo1->currentText(), voices.value(selected));
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

namespace {

const QString kAwb = u"awb (English – United Kingdom)"_s;
const QString kAmerica = u"English (America) (English – United States)"_s;
const QString kAdam = u"English (America)+Adam (English – United States)"_s;
const QString kGerman = u"German (German – Germany)"_s;
const QString kCroak = u"German+croak (German – Germany)"_s;
// As the speech helper lists them: the learner's language first.
const QStringList kVoicesWithVariants{kAwb, kAmerica, kAdam, kGerman, kCroak};

QStringList listed(const Form3 &form3)
{
    QStringList items;
    for (int i = 0; i < form3.Combo1->count(); ++i)
        items.append(form3.Combo1->itemText(i));
    return items;
}

} // namespace

// eSpeak NG's variants are left out of the list, in the engine's order,
// unless all voices are to be shown or one is the voice chosen.
void tst_RefreshVoices::variantVoices_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("positionAfter");

    QTest::addRow("variants left out, the learner's language first")
        << QStringList() << QStringList{kAwb, kAmerica, kGerman} << kAwb << u"0"_s;
    QTest::addRow("all voices shown") << QStringList{u"Show All Voices=True"_s} << kVoicesWithVariants << kAwb
                                      << u"0"_s;
    QTest::addRow("a chosen variant is listed and chosen")
        << QStringList{u"Combo1=0"_s, u"Voice Name="_s + kAdam} << QStringList{kAwb, kAmerica, kAdam, kGerman} << kAdam
        << u"2"_s;
    QTest::addRow("a variant at the saved position, no name")
        << QStringList{u"Combo1=4"_s} << QStringList{kAwb, kAmerica, kGerman, kCroak} << kCroak << u"4"_s;
    QTest::addRow("a voice after a left-out variant keeps its position")
        << QStringList{u"Combo1=3"_s, u"Voice Name="_s + kGerman} << QStringList{kAwb, kAmerica, kGerman} << kGerman
        << u"3"_s;
    QTest::addRow("a damaged switch shows the short list")
        << QStringList{u"Show All Voices=many"_s} << QStringList{kAwb, kAmerica, kGerman} << kAwb << u"0"_s;
}

void tst_RefreshVoices::variantVoices()
{
    QFETCH(QStringList, settings);
    QFETCH(QStringList, shown);
    QFETCH(QString, selected);
    QFETCH(QString, positionAfter);
    TestProgram program;
    program.speech.voiceNames = kVoicesWithVariants;

    startWith(program, settings);

    const Form3 &form3 = program.app->audioOptions();
    QCOMPARE(listed(form3), shown);
    QCOMPARE(form3.Combo1->currentText(), selected);
    QCOMPARE(form3.voicePosition(), kVoicesWithVariants.indexOf(selected));
    QCOMPARE(setting(program, u"Combo1"_s), positionAfter);
    QVERIFY(program.prompts.boxes.isEmpty());
}

// The check box switches the list at once, keeps the voice chosen and is
// remembered for the next run.
void tst_RefreshVoices::showAllVoices()
{
    QStringList saved;
    {
        TestProgram program;
        program.speech.voiceNames = kVoicesWithVariants;
        startWith(program);
        Form3 &form3 = program.app->audioOptions();
        QCOMPARE(form3.Check1->text(), u"Show all voices"_s);
        QVERIFY(!form3.Check1->isChecked());
        form3.Combo1->setCurrentIndex(1);

        form3.Check1->click();
        QCOMPARE(listed(form3), kVoicesWithVariants);
        QCOMPARE(form3.Combo1->currentText(), kAmerica);
        QCOMPARE(setting(program, u"Show All Voices"_s), u"True"_s);
        form3.Combo1->setCurrentIndex(2);

        form3.Check1->click();
        QCOMPARE(listed(form3), QStringList({kAwb, kAmerica, kAdam, kGerman}));
        QCOMPARE(form3.Combo1->currentText(), kAdam);
        QCOMPARE(setting(program, u"Show All Voices"_s), u"False"_s);

        form3.Check1->click();
        QVERIFY(program.prompts.boxes.isEmpty());
        for (const QString &key : {u"Combo1"_s, u"Voice Name"_s, u"Show All Voices"_s})
            saved.append(key + u'=' + setting(program, key));
    }

    TestProgram next;
    next.speech.voiceNames = kVoicesWithVariants;
    startWith(next, saved);
    const Form3 &form3 = next.app->audioOptions();
    QVERIFY(form3.Check1->isChecked());
    QCOMPARE(listed(form3), kVoicesWithVariants);
    QCOMPARE(form3.Combo1->currentText(), kAdam);
    // Below every other control, inside the window.
    QVERIFY(form3.Check1->geometry().top() >= form3.PushButton1->geometry().bottom());
    QVERIFY(form3.rect().contains(form3.Check1->geometry()));
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
