// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void lenientWholeNumber_data();
    void lenientWholeNumber();
    void truthValue_data();
    void truthValue();
    void unreadableTruthValueFails_data();
    void unreadableTruthValueFails();
    void readGivesDefaultWhenAbsent();
    void writeThenReadBack_data();
    void writeThenReadBack();
    void handEditedFileStillReads();
    void refusedWriteFails();
    void userStoreLivesUnderConfigurationFolder();
};

void tst_Settings::lenientWholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::addRow("plain") << u"100"_s << 100;
    QTest::addRow("negative") << u"-10"_s << -10;
    QTest::addRow("half rounds to even upwards") << u"3.5"_s << 4;
    QTest::addRow("half rounds to even downwards") << u"2.5"_s << 2;
    QTest::addRow("negative half") << u"-4.5"_s << -4;
    QTest::addRow("leading spaces") << u"  42"_s << 42;
    QTest::addRow("trailing text") << u"55abc"_s << 55;
    QTest::addRow("exponent") << u"1e2"_s << 100;
    QTest::addRow("no number") << u"loud"_s << 0;
    QTest::addRow("empty") << QString() << 0;
    QTest::addRow("sign only") << u"-"_s << 0;
    QTest::addRow("huge clamps") << u"99999999999999999999"_s << std::numeric_limits<int>::max();
    QTest::addRow("point without digits") << u".x"_s << 0;
}

void tst_Settings::lenientWholeNumber()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(SettingConversions::lenientWholeNumber(text), expected);
}

void tst_Settings::truthValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::addRow("True") << u"True"_s << true;
    QTest::addRow("False") << u"False"_s << false;
    QTest::addRow("lower case") << u"true"_s << true;
    QTest::addRow("upper case") << u"FALSE"_s << false;
    QTest::addRow("one") << u"1"_s << true;
    QTest::addRow("zero") << u"0"_s << false;
    QTest::addRow("minus one") << u"-1"_s << true;
    QTest::addRow("fraction") << u"0.5"_s << true;
}

void tst_Settings::truthValue()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(SettingConversions::truthValue(text), expected);
}

void tst_Settings::unreadableTruthValueFails_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("word") << u"maybe"_s;
    QTest::addRow("empty") << QString();
    QTest::addRow("number with text") << u"1x"_s;
}

void tst_Settings::unreadableTruthValueFails()
{
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(Failure, SettingConversions::truthValue(text));
}

void tst_Settings::readGivesDefaultWhenAbsent()
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"s.conf"_s));
    QCOMPARE(store.ReadSetting(u"Speech Rate"_s, -4), u"-4"_s);
    QCOMPARE(store.ReadSetting(u"Dictionary"_s, u"/x/One-To-Ten.txt"_s), u"/x/One-To-Ten.txt"_s);
}

void tst_Settings::writeThenReadBack_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addRow("path with spaces") << u"Dictionary"_s << u"/home/a b/My Words.txt"_s;
    QTest::addRow("key with space") << u"Volume Level"_s << u"55"_s;
    QTest::addRow("negative rate") << u"Speech Rate"_s << u"-10"_s;
    QTest::addRow("truth word") << u"Option1"_s << u"False"_s;
    QTest::addRow("comma in path") << u"Dictionary"_s << u"/w/a, b.txt"_s;
    QTest::addRow("non-Latin path") << u"Dictionary"_s << u"/w/słowa ωμέγα.txt"_s;
    QTest::addRow("empty") << u"Dictionary"_s << QString();
}

void tst_Settings::writeThenReadBack()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"s.conf"_s);
    SettingsStore(file).WriteSetting(key, value);
    QCOMPARE(SettingsStore(file).ReadSetting(key, u"absent"_s), value);
}

void tst_Settings::handEditedFileStillReads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"s.conf"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Lexidrill]\nVolume%20Level=abc\nSpeech%20Rate=3.5\nCombo1=1, 2\ngarbage line without equals\n");
    file.close();
    SettingsStore store(path);
    QCOMPARE(SettingConversions::lenientWholeNumber(store.ReadSetting(u"Volume Level"_s, 100)), 0);
    QCOMPARE(SettingConversions::lenientWholeNumber(store.ReadSetting(u"Speech Rate"_s, -4)), 4);
    QCOMPARE(store.ReadSetting(u"Combo1"_s, 0), u"1, 2"_s);
    QCOMPARE(SettingConversions::lenientWholeNumber(store.ReadSetting(u"Combo1"_s, 0)), 1);
}

void tst_Settings::refusedWriteFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"s.conf"_s);
    SettingsStore(path).WriteSetting(u"Combo1"_s, u"0"_s);
    // The root user writes anywhere; a path through a file fails for everyone.
    SettingsStore blocked(path + u"/inside.conf"_s);
    QVERIFY_THROWS_EXCEPTION(Failure, blocked.WriteSetting(u"Combo1"_s, u"1"_s));
}

void tst_Settings::userStoreLivesUnderConfigurationFolder()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    SettingsStore store;
    store.WriteSetting(u"Option2"_s, u"True"_s);
    QCOMPARE(store.fileName(), dir.filePath(u"Marrowfen/Lexidrill.conf"_s));
    QFile file(store.fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("[Lexidrill]\nOption2=True"));
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
