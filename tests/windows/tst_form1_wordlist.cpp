// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/utilities.h"
#include "program/dictionary.h"
#include "testprogram.h"
#include "wordlist/wordlistfile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString kOneToTen = u"\\Samples\\One-To-Ten.txt"_s;
const QString kEighthGrade = u"\\Samples\\8th-Grade-Word-List.txt"_s;

QString remembered(const TestProgram &program)
{
    return program.settings->ReadSetting(u"Dictionary"_s, u"(none)"_s);
}

} // namespace

class tst_WordListCommands : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data();
    void startUp();
    void sampleButtons_data();
    void sampleButtons();
    void pathThatLoadsNothing_data();
    void pathThatLoadsNothing();
    void chooseFile();
    void cancelChoice();
    void viewFile_data();
    void viewFile();
    void editorFailsToStart();
    void unreadableList_data();
    void unreadableList();
    void refusedListLeavesTheListInUse_data();
    void refusedListLeavesTheListInUse();
    void largeList();
    void unwritableSettings_data();
    void unwritableSettings();
    void loadingMidGameKeepsTheGame();
    void hints_data();
    void hints();
};

void tst_WordListCommands::startUp_data()
{
    QTest::addColumn<bool>("samples");
    QTest::addColumn<QString>("rememberedPath");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<QStringList>("messages");

    QTest::addRow("first run loads One-To-Ten")
        << true << QString() << u"One-To-Ten.txt"_s << qsizetype(10) << QStringList();
    QTest::addRow("remembered list deleted")
        << true << u"gone.txt"_s << u"8th-Grade-Word-List.txt"_s << qsizetype(3) << QStringList();
    QTest::addRow("no list at all") << false << QString() << u"8th-Grade-Word-List.txt"_s << qsizetype(0)
                                    << QStringList{u"Dictionary file is not valid."_s};
}

void tst_WordListCommands::startUp()
{
    QFETCH(bool, samples);
    QFETCH(QString, rememberedPath);
    QFETCH(QString, shown);
    QFETCH(qsizetype, count);
    QFETCH(QStringList, messages);
    TestProgram program;
    if (samples)
        program.addSamples();
    if (!rememberedPath.isEmpty())
        program.settings->WriteSetting(u"Dictionary"_s, program.folder.filePath(rememberedPath));
    Form1 &form = program.start();
    QCOMPARE(form.Label3->text(), shown);
    QCOMPARE(program.state().dictionary.count(), count);
    QCOMPARE(program.prompts.messages(), messages);
    QCOMPARE(program.prompts.errors(), QStringList());
    QCOMPARE(remembered(program), form.Text1->text());
    QVERIFY(form.Text1->isHidden());
}

void tst_WordListCommands::sampleButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("firstWord");

    QTest::addRow("8th grade") << u"PushButton1"_s << kEighthGrade << u"8th-Grade-Word-List.txt"_s << u"abbreviate"_s;
    QTest::addRow("one to ten") << u"PushButton10"_s << kOneToTen << u"One-To-Ten.txt"_s << u"one"_s;
}

void tst_WordListCommands::sampleButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, literal);
    QFETCH(QString, shown);
    QFETCH(QString, firstWord);
    TestProgram program;
    program.addSamples();
    const QString other = program.writeFile(u"other.txt"_s, "zebra\r\n");
    program.settings->WriteSetting(u"Dictionary"_s, other);
    Form1 &form = program.start();
    QCOMPARE(program.state().dictionary.word(1), u"zebra"_s);

    if (button == u"PushButton1")
        form.PushButton1_Click();
    else
        form.PushButton10_Click();
    QCOMPARE(form.Text1->text(), program.path(literal));
    QCOMPARE(remembered(program), program.path(literal));
    QCOMPARE(form.Label3->text(), shown);
    QCOMPARE(program.state().dictionary.word(1), firstWord);
    QCOMPARE(program.prompts.boxes.size(), 0);
}

// Paths that are remembered and shown, but read nothing: the list in use
// stays, and no message is shown.
void tst_WordListCommands::pathThatLoadsNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");

    QTest::addRow("spaces only") << u"   "_s << u"   "_s;
    QTest::addRow("no separator") << u"nofile.txt"_s << u"nofile.txt"_s;
    QTest::addRow("missing file") << u"@/missing list.txt"_s << u"missing list.txt"_s;
    QTest::addRow("folder") << u"@/Samples"_s << u"Samples"_s;
    QTest::addRow("hidden file") << u"@/.hidden.txt"_s << u".hidden.txt"_s;
    QTest::addRow("wildcard taken literally") << u"@/Samples/*.txt"_s << u"*.txt"_s;
}

void tst_WordListCommands::pathThatLoadsNothing()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    TestProgram program;
    program.addSamples();
    program.writeBeside(u"\\.hidden.txt", "secret\r\n");
    Form1 &form = program.start();
    path.replace(u"@"_s, program.folder.filePath(u"program"_s));
    path = QDir::toNativeSeparators(path);
    form.Label1->setText(u" Word 3 of 10"_s);

    form.setText1(path);
    QCOMPARE(remembered(program), path);
    QCOMPARE(form.Label3->text(), shown);
    QCOMPARE(program.state().dictionary.count(), 10);
    QCOMPARE(form.Label1->text(), u" Word 3 of 10"_s);
    QCOMPARE(program.prompts.boxes.size(), 0);
}

void tst_WordListCommands::chooseFile()
{
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    const QString chosen = program.writeFile(u"my words.dic"_s, "alpha\nbeta\n");
    program.dialogs.openAnswers.enqueue(chosen);
    form.PushButton6_Click();
    QCOMPARE(program.dialogs.openCalls.size(), 1);
    QCOMPARE(program.dialogs.openCalls.first().title, u"Select Dictionary File"_s);
    QCOMPARE(program.dialogs.openCalls.first().filter, u"Dictionary File (*.dic)"_s);
    QCOMPARE(remembered(program), chosen);
    QCOMPARE(form.Label3->text(), u"my words.dic"_s);
    QCOMPARE(program.state().dictionary.count(), 2);
}

void tst_WordListCommands::cancelChoice()
{
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    const QString before = form.Text1->text();
    form.PushButton6_Click();
    QCOMPARE(program.dialogs.openCalls.size(), 1);
    QCOMPARE(form.Text1->text(), before);
    QCOMPARE(remembered(program), before);
    QCOMPARE(form.Label3->text(), u"One-To-Ten.txt"_s);
    QCOMPARE(program.state().dictionary.count(), 10);
}

void tst_WordListCommands::viewFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");

    QTest::addRow("existing file") << u"words.txt"_s << true;
    QTest::addRow("path with spaces") << u"my word list.txt"_s << true;
    QTest::addRow("missing file") << u"gone.txt"_s << false;
}

void tst_WordListCommands::viewFile()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    const QString path = program.folder.filePath(name);
    if (exists)
        program.writeFile(name, "cat\r\n");
    form.setText1(path);

    form.PushButton11_Click();
    QCOMPARE(program.launcher.editedFiles, exists ? QStringList{path} : QStringList());
    QCOMPARE(program.prompts.messages(), exists ? QStringList() : QStringList{u"File does not exist."_s});
}

void tst_WordListCommands::editorFailsToStart()
{
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    program.launcher.failToStart = true;
    form.PushButton11_Click();
    QCOMPARE(program.prompts.errors().size(), 1);
    QVERIFY(program.prompts.errors().first().contains(
        u"\r\nin Lexidrill2021/08/31.Form1.PushButton11_Click at line 102\r\r"_s));
}

// A list that cannot be read or is too large to hold is reported at step 102
// of the load, or at the step that runs out of memory, and ends the load: the
// list in use stays, with its pass and counter; the pointer comes back.
void tst_WordListCommands::unreadableList_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("description");

    QTest::addRow("vanished") << u"vanished"_s << u"No such file"_s;
    QTest::addRow("folder") << u"folder"_s << u"is a folder"_s;
    QTest::addRow("binary") << u"binary"_s << u"is not a text file."_s;
    QTest::addRow("beyond the store's range") << u"too large"_s << u"is too large for a word list"_s;
}

void tst_WordListCommands::unreadableList()
{
    QFETCH(QString, kind);
    QFETCH(QString, description);
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    getWordFromDictionary(program.state());
    QString path = program.folder.filePath(u"list.txt"_s);
    if (kind == u"folder") {
        QVERIFY(QDir(program.folder.path()).mkdir(u"list.txt"_s));
    } else if (kind == u"binary") {
        program.writeFile(u"list.txt"_s, "cat\0\x01\x02"_ba);
    } else if (kind == u"too large") {
        // Sparse: refused by its size before anything is read.
        program.writeFile(u"list.txt"_s, "cat\r\n");
        QVERIFY(QFile::resize(path, WordListFile::kMaximumBytes + 1));
    }
    form.Text1->setText(path);
    form.Label1->setText(u" Word 3 of 10"_s);

    QVERIFY(!program.app->mainWindow()->loadDictionaryFile());
    QCOMPARE(program.prompts.errors().size(), 1);
    const QString report = program.prompts.errors().first();
    QVERIFY2(report.contains(u"\r\nin Lexidrill2021/08/31.modDictionary.loadDictionaryFile at line 102\r\r"_s),
             qPrintable(report));
    QVERIFY2(report.section(u"\r\n"_s, 0, 0).contains(description), qPrintable(report));
    QCOMPARE(program.state().dictionary.count(), 10);
    QCOMPARE(program.state().usedWords.count(), 1);
    QCOMPARE(form.Label1->text(), u" Word 3 of 10"_s);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
}

void tst_WordListCommands::refusedListLeavesTheListInUse_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("asSample");
    QTest::addColumn<QString>("description");

    QTest::addRow("chosen, not a text file") << u"binary"_s << false << u"is not a text file."_s;
    QTest::addRow("chosen, too large to hold") << u"too large"_s << false << u"is too large for a word list"_s;
    QTest::addRow("sample, not a text file") << u"binary"_s << true << u"is not a text file."_s;
}

// The learner chooses a file that is no word list while another is in use:
// the one report, and everything as it was -- the list, the path, its name,
// the remembered path -- so the next game and the next start use that list.
void tst_WordListCommands::refusedListLeavesTheListInUse()
{
    QFETCH(QString, kind);
    QFETCH(bool, asSample);
    QFETCH(QString, description);
    TestProgram program;
    const QString good = program.writeFile(u"good.txt"_s, "cat\r\ndog\r\nowl\r\n");
    program.settings->WriteSetting(u"Dictionary"_s, good);
    Form1 &form = program.start();
    QCOMPARE(program.state().dictionary.count(), 3);
    const QString bad = asSample ? program.path(kEighthGrade) : program.folder.filePath(u"bad.dic"_s);
    if (asSample)
        program.writeBeside(kEighthGrade, "cat\0dog\n"_ba);
    else
        program.writeFile(u"bad.dic"_s, kind == u"binary" ? "cat\0dog\n"_ba : "cat\r\n"_ba);
    if (kind == u"too large")
        QVERIFY(QFile::resize(bad, WordListFile::kMaximumBytes + 1));
    getWordFromDictionary(program.state());
    form.Label1->setText(u" Word 1 of 3"_s);

    if (asSample) {
        form.PushButton1_Click();
    } else {
        program.dialogs.openAnswers.enqueue(bad);
        form.PushButton6_Click();
    }

    QCOMPARE(program.prompts.errors().size(), 1);
    const QString report = program.prompts.errors().first();
    QVERIFY2(report.startsWith(u"\"%1\" "_s.arg(bad) + description), qPrintable(report));
    QCOMPARE(form.Text1->text(), good);
    QCOMPARE(remembered(program), good);
    QCOMPARE(form.Label3->text(), u"good.txt"_s);
    QCOMPARE(program.state().dictionary.count(), 3);
    QCOMPARE(program.state().usedWords.count(), 1);
    QCOMPARE(form.Label1->text(), u" Word 1 of 3"_s);

    form.PushButton3_Click();
    QVERIFY(program.state().game.started);
    QCOMPARE(program.prompts.boxes.size(), 1);
}

// Lists far beyond the size of a hand-made one load whole; built here, a
// little over 32 MB. The window handles its events during the load: a call
// queued before it runs while the busy pointer shows.
void tst_WordListCommands::largeList()
{
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    constexpr int kWords = 3'100'000;
    QByteArray bytes;
    bytes.reserve(kWords * 11);
    for (int i = 0; i < kWords; ++i)
        bytes.append("w").append(QByteArray::number(i).rightJustified(8, '0')).append("\r\n");
    QVERIFY(bytes.size() > 32 * 1024 * 1024);
    const QString path = program.writeFile(u"large.txt"_s, bytes);
    bytes.clear();

    std::optional<Qt::CursorShape> seenDuringLoad;
    QMetaObject::invokeMethod(
        &form, [&] { seenDuringLoad = form.cursor().shape(); }, Qt::QueuedConnection);
    form.setText1(path);
    QCOMPARE(seenDuringLoad, std::optional(Qt::WaitCursor));
    QCOMPARE(program.prompts.boxes.size(), 0);
    QCOMPARE(program.state().dictionary.count(), kWords);
    QCOMPARE(program.state().dictionary.word(kWords), u"w03099999"_s);
    QCOMPARE(form.Label3->text(), u"large.txt"_s);
}

// A settings file that cannot be written: choosing a list reports the failed
// write as before (in the handler that set the path), and the list is read
// and shown all the same.
void tst_WordListCommands::unwritableSettings_data()
{
    QTest::addColumn<QString>("lock");
    QTest::addRow("read-only file") << u"read-only file"_s;
    QTest::addRow("a file in place of its folder") << u"file in place of folder"_s;
}

void tst_WordListCommands::unwritableSettings()
{
    QFETCH(QString, lock);
    TestProgram program;
    program.addSamples();
    QVERIFY(QDir(program.folder.path()).mkdir(u"profile"_s));
    const QString profile = program.folder.filePath(u"profile"_s);
    program.settings = std::make_unique<SettingsStore>(profile + u"/settings.ini"_s);
    Form1 &form = program.start();
    const QString settingsFile = program.settings->fileName();
    if (lock == u"read-only file") {
        QVERIFY(QFile::setPermissions(settingsFile, QFile::ReadOwner));
        QFile probe(settingsFile);
        if (probe.open(QIODevice::ReadWrite))
            QSKIP("this user may write read-only files");
    } else {
        QVERIFY(QDir(profile).removeRecursively());
        program.writeFile(u"profile"_s, "x");
    }
    const QString chosen = program.writeFile(u"my words.dic"_s, "alpha\nbeta\n");
    program.dialogs.openAnswers.enqueue(chosen);

    form.PushButton6_Click();
    QCOMPARE(program.prompts.errors().size(), 1);
    const QString report = program.prompts.errors().first();
    QVERIFY2(report.startsWith(u"Cannot write the setting \"Dictionary\""_s), qPrintable(report));
    QVERIFY2(report.contains(u"\r\nin Lexidrill2021/08/31.Form1.PushButton6_Click at line 110\r\r"_s),
             qPrintable(report));
    QCOMPARE(program.state().dictionary.count(), 2);
    QCOMPARE(program.state().dictionary.word(1), u"alpha"_s);
    QCOMPARE(form.Label3->text(), u"my words.dic"_s);
}

void tst_WordListCommands::loadingMidGameKeepsTheGame()
{
    TestProgram program;
    program.addSamples();
    program.random = std::make_unique<ScriptedRandom>(QList<double>{0.0});
    Form1 &form = program.start();
    ProgramState &globals = program.state();
    globals.game.started = true;
    QCOMPARE(getWordFromDictionary(globals), u"one"_s);
    globals.game.givenWords = {u"one"_s};
    form.state().game.currentWord = u"one"_s;
    form.state().game.typedWords = {u"won"_s};
    form.Label1->setText(u" Word 1 of 10"_s);

    form.PushButton1_Click();
    QVERIFY(globals.game.started);
    QCOMPARE(globals.game.givenWords, QStringList{u"one"_s});
    QCOMPARE(form.state().game.currentWord, u"one"_s);
    QCOMPARE(form.state().game.typedWords, QStringList{u"won"_s});
    QCOMPARE(globals.usedWords.count(), 0);
    QCOMPARE(form.Label1->text(), QString());
    QCOMPARE(getWordFromDictionary(globals), u"abbreviate"_s);
    QCOMPARE(globals.usedWords.count(), 1);
    QCOMPARE(program.prompts.boxes.size(), 0);
}

void tst_WordListCommands::hints_data()
{
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("text");
    QTest::addRow("Help button")
        << true
        << u"Select file for words to use in Lexidrill. Each word should be on it's own line such as:"
           "\r\n\r\nphenomenon\r\nprestigious\r\nparliament\r\n\r\n"
           "Press '...' to select a file or use the Load Samples button to select one of mine to test the "
           "software with."_s;
    QTest::addRow("click on the file name") << false << u"Press '. . .' button to select another file."_s;
}

void tst_WordListCommands::hints()
{
    QFETCH(bool, help);
    QFETCH(QString, text);
    TestProgram program;
    program.addSamples();
    Form1 &form = program.start();
    form.show();
    program.prompts.boxes.clear();
    if (help)
        form.PushButton2->click();
    else
        QTest::mouseClick(form.Label3, Qt::LeftButton);
    QCOMPARE(program.prompts.messages(), QStringList{text});
    QCOMPARE(program.prompts.boxes.size(), 1);
}

QTEST_MAIN(tst_WordListCommands)
#include "tst_form1_wordlist.moc"
