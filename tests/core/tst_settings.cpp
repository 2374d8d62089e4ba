// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/settingsfile.h"
#include "core/settingsstore.h"
#include "readonlyfile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
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
    void typedValuesReadAsText_data();
    void typedValuesReadAsText();
    void sameTextAsQtIniFiles_data();
    void sameTextAsQtIniFiles();
    void writtenFileReadsAsItWasRead_data();
    void writtenFileReadsAsItWasRead();
    void refusedWriteFails();
    void storedTextIsNotWrittenAgain_data();
    void storedTextIsNotWrittenAgain();
    void refusalIsReportedOncePerFault();
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

void tst_Settings::typedValuesReadAsText_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");
    // A list of strings claiming more than a thousand million entries: a
    // reader that decodes it asks for tens of gigabytes.
    QTest::addRow("typed data claiming a huge size")
        << QByteArray(R"(Combo1=@Variant(\\0\\0\\0\\t2\\\\00\\0\\y5))") << uR"(@Variant(\0\0\0\t2\\00\0\y5))"_s;
    QTest::addRow("date") << QByteArray(R"(Combo1=@DateTime(\\0\\0))") << uR"(@DateTime(\0\0))"_s;
    QTest::addRow("rectangle") << QByteArray("Combo1=@Rect(1 2 3 4)") << u"@Rect(1 2 3 4)"_s;
    QTest::addRow("doubled mark") << QByteArray("Combo1=@@home") << u"@home"_s;
    QTest::addRow("marked text") << QByteArray("Combo1=@String(7)") << u"7"_s;
    QTest::addRow("marked bytes") << QByteArray("Combo1=@ByteArray(8)") << u"8"_s;
    QTest::addRow("no value") << QByteArray("Combo1=@Invalid()") << u"absent"_s;
}

void tst_Settings::typedValuesReadAsText()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"s.conf"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Lexidrill]\nOption1=False\n" + line + '\n');
    file.close();
    QCOMPARE(SettingsStore(path).ReadSetting(u"Combo1"_s, u"absent"_s), expected);

    // Writing another key keeps the text.
    SettingsStore(path).WriteSetting(u"Option1"_s, u"True"_s);
    QCOMPARE(SettingsStore(dir.filePath(u"s.conf"_s)).ReadSetting(u"Combo1"_s, u"absent"_s), expected);
}

void tst_Settings::sameTextAsQtIniFiles_data()
{
    QTest::addColumn<QString>("value");
    QTest::addRow("plain") << u"/home/ann/words.txt"_s;
    QTest::addRow("comma and semicolon") << u"/w/a, b; c=d.txt"_s;
    QTest::addRow("spaces at the ends") << u"  padded  "_s;
    QTest::addRow("quotes and backslashes") << u"C:\\lists\\\"best\".txt"_s;
    QTest::addRow("control characters") << u"a\tb\nc\u0001d\u0000"_s + QChar(0) + u"9f"_s;
    QTest::addRow("leading mark") << u"@Variant(x)"_s;
    QTest::addRow("non-Latin") << u"/w/słowa ωμέγα 😀.txt"_s;
}

// Settings files written by Qt's own INI writer, as earlier versions did,
// read the same; and Qt's reader reads ours as written.
void tst_Settings::sameTextAsQtIniFiles()
{
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString byQt = dir.filePath(u"qt.conf"_s);
    QSettings(byQt, QSettings::IniFormat).setValue(u"Lexidrill/Dictionary"_s, value);
    QCOMPARE(SettingsStore(byQt).ReadSetting(u"Dictionary"_s, u"absent"_s), value);

    const QString byUs = dir.filePath(u"ours.conf"_s);
    SettingsStore(byUs).WriteSetting(u"Dictionary"_s, value);
    // Qt remembers files it has seen by name; a copy is read from disk.
    QVERIFY(QFile::copy(byUs, dir.filePath(u"copy.conf"_s)));
    QCOMPARE(QSettings(dir.filePath(u"copy.conf"_s), QSettings::IniFormat).value(u"Lexidrill/Dictionary"_s),
             QVariant(value));
}

void tst_Settings::writtenFileReadsAsItWasRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addRow("keys outside any section") << QByteArray("a=1\n[General]\nb=2\n[Lexidrill]\nc=3\n");
    QTest::addRow("section named general") << QByteArray("[%General]\nx=1\n[%67eneral]\ny=2\n");
    QTest::addRow("section starting with a slash") << QByteArray("[/Lexidrill]\nVolume Level = 3.5 \n");
    QTest::addRow("empty section name") << QByteArray("[]\nx=1\n");
    QTest::addRow("slashes in keys") << QByteArray("[a]\nb\\c=1\n[a/]\n=2\n");
    QTest::addRow("lists and markers") << QByteArray("[s]\nl=\"a, b\", c ,,@d\nm=@@x\nn=@String(y)\n");
    QTest::addRow("escapes and quotes") << QByteArray("[s]\nv=\\0\\x41\\101\\t\" q \"\\\n  more\n");
    QTest::addRow("comments and a mark") << QByteArray("\xEF\xBB\xBF; note\n[s]\nv=1 ; trailing\n");
    QTest::addRow("repeated section") << QByteArray("[s]\nv=1\n[t]\nw=2\n[s]\nv=3\n");
}

// What the store writes back holds every key as it was read, so saving one
// setting leaves the others as they were.
void tst_Settings::writtenFileReadsAsItWasRead()
{
    QFETCH(QByteArray, text);
    const SettingsFile::Keys keys = SettingsFile::read(text);
    QVERIFY(!keys.isEmpty());
    QCOMPARE(SettingsFile::read(SettingsFile::write(keys)), keys);
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

void tst_Settings::storedTextIsNotWrittenAgain_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("written");
    QTest::addRow("same number") << QByteArray("[Lexidrill]\nCombo1=2\n") << u"Combo1"_s << u"2"_s << false;
    QTest::addRow("same key with a space")
        << QByteArray("[Lexidrill]\nVolume%20Level=100\n") << u"Volume Level"_s << u"100"_s << false;
    QTest::addRow("same quoted path") << QByteArray("[Lexidrill]\nDictionary=\"/w/a, b.txt\"\n") << u"Dictionary"_s
                                      << u"/w/a, b.txt"_s << false;
    QTest::addRow("same empty text") << QByteArray("[Lexidrill]\nDictionary=\n") << u"Dictionary"_s << QString()
                                     << false;
    QTest::addRow("other number") << QByteArray("[Lexidrill]\nCombo1=2\n") << u"Combo1"_s << u"3"_s << true;
    QTest::addRow("other letter case") << QByteArray("[Lexidrill]\nOption1=true\n") << u"Option1"_s << u"True"_s
                                       << true;
    QTest::addRow("absent key") << QByteArray("[Lexidrill]\nCombo1=2\n") << u"Option2"_s << u"False"_s << true;
    QTest::addRow("empty text for an absent key")
        << QByteArray("[Lexidrill]\nCombo1=2\n") << u"Dictionary"_s << QString() << true;
    // A hand-edited list reads as its items joined; the program's own text is
    // written quoted, which is another text in the file.
    QTest::addRow("list of the same text")
        << QByteArray("[Lexidrill]\nDictionary=/w/a, b.txt\n") << u"Dictionary"_s << u"/w/a, b.txt"_s << true;
}

// A file that may not be written shows which writes were tried: writing the
// text the key holds already is no write, so it cannot fail.
void tst_Settings::storedTextIsNotWrittenAgain()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"s.conf"_s);
    QFile text(path);
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write(file) == file.size());
    text.close();
    const ReadOnlyFile lock(path);
    if (!lock.holds())
        QSKIP("this user may write read-only files, and chattr cannot stop it");

    SettingsStore store(path);
    bool refused = false;
    try {
        store.WriteSetting(key, value);
    } catch (const Failure &failure) {
        refused = true;
        QCOMPARE(failure.description(), u"Cannot write the setting \"%1\" to %2"_s.arg(key, path));
    }
    QCOMPARE(refused, written);
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), file);
}

// A store that cannot be written is reported once, by the first write it
// refuses; a write that goes through ends the fault, and the next refusal is
// a new one.
void tst_Settings::refusalIsReportedOncePerFault()
{
    QTemporaryDir dir;
    // The root user writes anywhere; a path through a file fails for everyone.
    const QString blocker = dir.filePath(u"profile"_s);
    const auto block = [&] {
        QDir(blocker).removeRecursively();
        QFile file(blocker);
        return file.open(QIODevice::WriteOnly);
    };
    QVERIFY(block());
    SettingsStore store(blocker + u"/s.conf"_s);

    QVERIFY_THROWS_EXCEPTION(Failure, store.WriteSetting(u"Volume Level"_s, u"100"_s));
    store.WriteSetting(u"Speech Rate"_s, u"-4"_s);
    store.WriteSetting(u"Volume Level"_s, u"100"_s);

    QVERIFY(QFile::remove(blocker));
    QVERIFY(QDir(dir.path()).mkdir(u"profile"_s));
    store.WriteSetting(u"Option1"_s, u"False"_s);
    QCOMPARE(store.ReadSetting(u"Option1"_s, u"absent"_s), u"False"_s);

    QVERIFY(block());
    QVERIFY_THROWS_EXCEPTION(Failure, store.WriteSetting(u"Option2"_s, u"True"_s));
    store.WriteSetting(u"Option1"_s, u"True"_s);
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
