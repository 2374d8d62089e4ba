// SPDX-License-Identifier: GPL-3.0-or-later
#include "readonlyfile.h"
#include "testprogram.h"
#include "windows/form3.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace Qt::StringLiterals;

// A settings file that this user may not write (a profile restored read-only,
// a locked-down account), met by a program that wrote it on an earlier run.
class tst_ReadOnlySettings : public QObject
{
    Q_OBJECT

private slots:
    void onlyRealChangesAreTriedAndReportedOnce_data();
    void onlyRealChangesAreTriedAndReportedOnce();
};

void tst_ReadOnlySettings::onlyRealChangesAreTriedAndReportedOnce_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("report");
    QTest::addRow("sound option") << u"Option2"_s
                                  << u"Cannot write the setting \"Option1\" to %1\r\n"
                                     "in Lexidrill2021/08/31.Form3.Option2_Click at line 100\r\r"_s;
    QTest::addRow("voice") << u"Combo1"_s
                           << u"Cannot write the setting \"Combo1\" to %1\r\n"
                              "in Lexidrill2021/08/31.Form3.Combo1_Click at line 100\r\r"_s;
    QTest::addRow("volume") << u"Slider1"_s
                            << u"Cannot write the setting \"Volume Level\" to %1\r\n"
                               "in Lexidrill2021/08/31.Form3.Slider1_Change at line 102\r\r"_s;
}

// Starting, playing and opening the audio options write nothing that the
// file does not hold already, so nothing is reported; the first real change
// is reported once, with the file and the key, and the next ones are the
// same fault.
void tst_ReadOnlySettings::onlyRealChangesAreTriedAndReportedOnce()
{
    QFETCH(QString, change);
    QFETCH(QString, report);
    TestProgram program;
    program.addSamples();
    program.start();
    program.app.reset();
    QVERIFY(program.prompts.boxes.isEmpty());
    const QString file = program.settings->fileName();
    const QByteArray written = readFile(file);
    QVERIFY(written.contains("Dictionary=") && written.contains("Option2=False"));
    const ReadOnlyFile lock(file);
    if (!lock.holds())
        QSKIP("this user may write read-only files, and chattr cannot stop it");

    // The next run, with a store of its own.
    program.settings = std::make_unique<SettingsStore>(file);
    Form1 &form1 = program.start();
    QCOMPARE(program.prompts.errors(), QStringList());
    form1.show();
    QVERIFY(QTest::qWaitForWindowActive(&form1));
    form1.PushButton3->click();
    QVERIFY(program.state().game.started);
    QCOMPARE(program.prompts.errors(), QStringList());
    form1.PushButton4->click();
    Form3 &form3 = program.app->audioOptions();
    QVERIFY(QTest::qWaitForWindowActive(&form3));
    QCOMPARE(program.prompts.errors(), QStringList());

    if (change == u"Option2"_s)
        form3.Option2->click();
    else if (change == u"Combo1"_s)
        form3.Combo1->setCurrentIndex(1);
    else
        form3.Slider1->setValue(40);
    QCOMPARE(program.prompts.errors().size(), 1);
    const QString text = program.prompts.errors().first();
    QVERIFY2(text.startsWith(report.arg(file)), qPrintable(text));

    form3.Option1->click();
    form3.Option2->click();
    form3.Combo1->setCurrentIndex(0);
    form3.Slider2->setValue(3);
    form3.PushButton1->click();
    QCOMPARE(program.prompts.errors().size(), 1);
    QCOMPARE(readFile(file), written);
}

QTEST_MAIN(tst_ReadOnlySettings)
#include "tst_readonlysettings.moc"
