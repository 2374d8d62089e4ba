// SPDX-License-Identifier: GPL-3.0-or-later
// The word list editor in the whole program: opened from the main window,
// its lists read and saved as files, and a list made the list in use.
#include "audio/audiodevices.h"
#include "audio/wavfile.h"
#include "boxwatch.h"
#include "core/programfiles.h"
#include "program/listrecordings.h"
#include "readonlyfile.h"
#include "testprogram.h"
#include "widgets/qtplatform.h"
#include "windows/form5.h"
#include "wordlist/recordingfolder.h"
#include "wordlist/wordlistedit.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRate = 16000;

QList<WordListRow> rowsOf(const QByteArray &bytes)
{
    QList<WordListRow> rows;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> columns = line.split('\t');
        rows.append(
            {QString::fromUtf8(columns.at(0)), columns.size() > 1 ? QString::fromUtf8(columns.at(1)) : QString()});
    }
    return rows;
}

// A voice: a second of a tone between quiet stretches.
QByteArray voice()
{
    QByteArray bytes(kRate * 2 * 2, '\0');
    for (int i = kRate / 2; i < kRate * 3 / 2; ++i)
        qToLittleEndian(qint16(std::lround(8000 * std::sin(2 * M_PI * 440 * i / kRate))), bytes.data() + i * 2);
    return bytes;
}

// The microphone and the sound output, played by the test.
class TestCapture : public AudioCapture
{
public:
    int sampleRate() const override { return kRate; }
    QString start(Callbacks callbacks) override
    {
        m_callbacks = std::move(callbacks);
        return {};
    }
    void stop() override { m_callbacks = {}; }
    void speak(const QByteArray &samples)
    {
        if (m_callbacks.samples)
            m_callbacks.samples(samples);
    }
    void unplug()
    {
        if (auto lost = std::exchange(m_callbacks.lost, {}))
            lost(u"The microphone was disconnected."_s);
    }

private:
    Callbacks m_callbacks;
};

class TestPlayback : public AudioPlayback
{
public:
    QString play(int, const QByteArray &samples, int, Callbacks callbacks) override
    {
        played.append(samples);
        m_callbacks = std::move(callbacks);
        return {};
    }
    void stop() override { m_callbacks = {}; }
    void finish()
    {
        if (auto finished = std::exchange(m_callbacks.finished, {}))
            finished();
    }
    QList<QByteArray> played;

private:
    Callbacks m_callbacks;
};

} // namespace

class tst_Form5 : public QObject
{
    Q_OBJECT

private slots:
    void opensOnTheListInUse();
    void useThisList_data();
    void useThisList();
    void useThisListReadsTheFileAgain();
    void readOnlyListIsSavedAs_data();
    void readOnlyListIsSavedAs();
    void changedOnDisk_data();
    void changedOnDisk();
    void openAnother_data();
    void openAnother();
    void closingAsksAboutChanges_data();
    void closingAsksAboutChanges();
    void saveQuestionOffersCancel();
    void pasteIntoTheTable_data();
    void pasteIntoTheTable();
    void largeLists();
    void recordKeepAndDelete();
    void takeIsKeptOnlyOnceHeard_data();
    void takeIsKeptOnlyOnceHeard();
    void withoutMicrophone();
    void samplesStayAsShipped();
    void recordingsStayWithAChangedWord_data();
    void recordingsStayWithAChangedWord();
    void savingKeepsTheChosenRow_data();
    void savingKeepsTheChosenRow();
    void savedOverAnotherList_data();
    void closingAsksAboutAWaitingTake_data();
    void closingAsksAboutAWaitingTake();
    void savedOverAnotherList();

private:
    // Starts the program on a list of these bytes and opens the editor on it.
    Form5 &openEditor(TestProgram &program, const QString &listPath);
};

Form5 &tst_Form5::openEditor(TestProgram &program, const QString &listPath)
{
    Form1 &main = program.start(listPath);
    main.show();
    main.PushButton14->click();
    Form5 *editor = program.app->loadedWordListEditor();
    if (!editor)
        qFatal("The word list editor did not open");
    return *editor;
}

void tst_Form5::opensOnTheListInUse()
{
    TestProgram program;
    const QString path = program.writeFile(u"week 3.dic"_s, "their\tIt is their house.\nthere\n");
    Form5 &editor = openEditor(program, path);

    QVERIFY(editor.isVisible());
    QVERIFY(!program.app->mainWindow()->isVisible());
    QCOMPARE(editor.windowTitle(), u"Lexidrill - Word List"_s);
    QCOMPARE(editor.listPath(), path);
    QVERIFY(!editor.isReadOnly());
    QCOMPARE(editor.model().rows(), rowsOf("their\tIt is their house.\nthere\n"));
    QCOMPARE(editor.Grid1->model()->headerData(0, Qt::Horizontal).toString(), u"Word"_s);
    QCOMPARE(editor.Grid1->model()->headerData(1, Qt::Horizontal).toString(), u"Sentence"_s);
    QCOMPARE(editor.Label1->text(), u"week 3.dic"_s);

    // Closing it brings the main window back.
    editor.close();
    QVERIFY(program.app->mainWindow()->isVisible());
    QTRY_VERIFY(!program.app->loadedWordListEditor());
}

void tst_Form5::useThisList_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("saveDialogs");

    QTest::addRow("a new list is saved first") << u"new"_s << true << 1;
    QTest::addRow("a changed list is saved in its place") << u"own"_s << true << 0;
    QTest::addRow("an unchanged sample is used as it is") << u"sample"_s << false << 0;
}

void tst_Form5::useThisList()
{
    QFETCH(QString, start);
    QFETCH(bool, changed);
    QFETCH(int, saveDialogs);
    TestProgram program;
    program.addSamples();
    const QString own = program.writeFile(u"own.dic"_s, "cat\n");
    const QString sample = program.path(ProgramFiles::kSecondSample);
    Form5 &editor = openEditor(program, start == u"sample"_s ? sample : own);
    if (start == u"new"_s)
        editor.PushButton4_Click();
    const QString saved = program.folder.filePath(u"made here.dic"_s);
    program.dialogs.saveAnswers.enqueue(saved);
    if (changed)
        editor.pasteText(u"zebra\tThe zebra ran.\nyak\n"_s);

    editor.PushButton8->click();

    const QString expected = start == u"new"_s ? saved : start == u"own"_s ? own : sample;
    QCOMPARE(program.dialogs.saveCalls.size(), saveDialogs);
    QCOMPARE(editor.listPath(), expected);
    QVERIFY(!editor.model().isModified());
    // The main window, its list and the remembered setting, as the open
    // dialog leaves them.
    Form1 &main = *program.app->mainWindow();
    QCOMPARE(main.Text1->text(), expected);
    QCOMPARE(main.Label3->text(), QFileInfo(expected).fileName());
    QCOMPARE(program.settings->ReadSetting(u"Dictionary"_s, QString()), expected);
    QCOMPARE(WordListEdit::rowsOf(program.state().dictionary), editor.model().rows());
    QVERIFY(program.prompts.messages().isEmpty());
}

// The list in use, changed by another program since the game read it, is
// read again, as choosing it in the open dialog does.
void tst_Form5::useThisListReadsTheFileAgain()
{
    TestProgram program;
    const QString path = program.writeFile(u"list.dic"_s, "cat\n");
    Form1 &main = program.start(path);
    main.show();
    program.writeFile(u"list.dic"_s, "cat\ndog\n");
    main.PushButton14->click();
    Form5 *editor = program.app->loadedWordListEditor();
    QVERIFY(editor);
    QCOMPARE(editor->model().rows(), rowsOf("cat\ndog\n"));

    editor->PushButton8->click();

    QCOMPARE(WordListEdit::rowsOf(program.state().dictionary), rowsOf("cat\ndog\n"));
    QCOMPARE(editor->Label2->text(), u"This list is now the list in use."_s);
}

void tst_Form5::readOnlyListIsSavedAs_data()
{
    QTest::addColumn<bool>("sample");
    QTest::addColumn<QString>("name");
    QTest::addRow("a sample of the program") << true << u"One-To-Ten.txt"_s;
    QTest::addRow("a sample of the program ending .dic") << true << u"Homophones.dic"_s;
    QTest::addRow("a list the user cannot write") << false << u"theirs.txt"_s;
    QTest::addRow("a list the user cannot write ending .dic") << false << u"theirs.dic"_s;
}

void tst_Form5::readOnlyListIsSavedAs()
{
    QFETCH(bool, sample);
    QFETCH(QString, name);
    TestProgram program;
    program.addSamples();
    const QString path
        = sample ? program.writeBeside(u"\\Samples\\"_s + name, "cat\n") : program.writeFile(name, "cat\n");
    std::optional<ReadOnlyFile> readOnly;
    if (!sample) {
        readOnly.emplace(path);
        if (!readOnly->holds())
            QSKIP("This user can write any file here");
    }
    const QByteArray before = readFile(path);
    Form5 &editor = openEditor(program, path);
    QVERIFY(editor.isReadOnly());
    QVERIFY(editor.Label1->text().contains(u"read-only"_s));

    editor.pasteText(u"extra\n"_s);
    const QString copy = program.folder.filePath(u"my copy.dic"_s);
    program.dialogs.saveAnswers.enqueue(copy);
    editor.PushButton6->click();

    QCOMPARE(program.dialogs.saveCalls.size(), 1);
    // The name offered ends as lists do, and is not the file that cannot
    // be saved over.
    const QString offered = program.dialogs.saveCalls.at(0).previousName;
    QVERIFY(offered.endsWith(u".dic"_s));
    QVERIFY2(QFileInfo(offered) != QFileInfo(path), qPrintable(offered));
    QCOMPARE(readFile(path), before);
    QCOMPARE(rowsOf(readFile(copy)), editor.model().rows());
    QCOMPARE(editor.listPath(), copy);
    QVERIFY(!editor.isReadOnly());
}

void tst_Form5::changedOnDisk_data()
{
    QTest::addColumn<bool>("saveOver");
    QTest::addColumn<bool>("saveAs");
    QTest::addRow("the parent keeps the other program's words") << false << false;
    QTest::addRow("the parent saves over them") << true << false;
    QTest::addRow("kept, saving as the same file") << false << true;
    QTest::addRow("saved over, saving as the same file") << true << true;
}

void tst_Form5::changedOnDisk()
{
    QFETCH(bool, saveOver);
    QFETCH(bool, saveAs);
    TestProgram program;
    const QString path = program.writeFile(u"list.dic"_s, "cat\n");
    Form5 &editor = openEditor(program, path);
    editor.pasteText(u"dog\n"_s);
    // Another program writes the file meanwhile, keeping its size.
    program.writeFile(u"list.dic"_s, "cot\n");
    program.prompts.answers.enqueue(saveOver);

    if (saveAs) {
        program.dialogs.saveAnswers.enqueue(path);
        editor.PushButton7->click();
    } else {
        editor.PushButton6->click();
    }

    QCOMPARE(program.prompts.questions(),
             QStringList{u"list.dic was changed by another program after it was opened here. "
                         "Save over those changes?"_s});
    QCOMPARE(readFile(path), saveOver ? QByteArray("cat\ndog\n") : QByteArray("cot\n"));
    QCOMPARE(editor.model().isModified(), !saveOver);
    // The list in use is played as saved.
    QCOMPARE(WordListEdit::rowsOf(program.state().dictionary), rowsOf(saveOver ? "cat\ndog\n" : "cat\n"));
    // Once saved, the next save asks nothing.
    if (saveOver) {
        editor.pasteText(u"bird\n"_s);
        editor.PushButton6->click();
        QCOMPARE(program.prompts.questions().size(), 1);
        QCOMPARE(readFile(path), QByteArray("cat\ndog\nbird\n"));
    }
}

void tst_Form5::openAnother_data()
{
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("messages");

    QTest::addRow("another list opens in its place") << QByteArray("dog\tThe dog.\n") << false << true << 0;
    QTest::addRow("a file that is no list leaves the list shown") << QByteArray("dog\0bin", 7) << false << false << 1;
    QTest::addRow("cancelled") << QByteArray("dog\n") << true << false << 0;
}

void tst_Form5::openAnother()
{
    QFETCH(QByteArray, other);
    QFETCH(bool, cancel);
    QFETCH(bool, opened);
    QFETCH(int, messages);
    TestProgram program;
    const QString path = program.writeFile(u"list.dic"_s, "cat\n");
    const QString otherPath = program.writeFile(u"other.dic"_s, other);
    Form5 &editor = openEditor(program, path);
    // Changes given up first.
    editor.pasteText(u"bird\n"_s);
    program.prompts.answers.enqueue(false);
    program.dialogs.openAnswers.enqueue(cancel ? QString() : otherPath);

    editor.PushButton5->click();

    QCOMPARE(program.prompts.questions(), QStringList{u"Save the changes to list.dic?"_s});
    QCOMPARE(program.prompts.messages().size(), messages);
    QCOMPARE(editor.listPath(), opened ? otherPath : path);
    QCOMPARE(editor.model().rows(), opened ? rowsOf(other) : rowsOf("cat\nbird\n"));
    QCOMPARE(editor.model().isModified(), !opened);
    QCOMPARE(readFile(path), QByteArray("cat\n"));
}

void tst_Form5::closingAsksAboutChanges_data()
{
    QTest::addColumn<bool>("changed");
    // "yes", "no" or "cancel"
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("file");

    QTest::addRow("nothing changed: nothing asked") << false << u"no"_s << QByteArray("cat\n");
    QTest::addRow("changes given up") << true << u"no"_s << QByteArray("cat\n");
    QTest::addRow("changes saved") << true << u"yes"_s << QByteArray("cat\ndog\n");
    QTest::addRow("cancelled: the window stays with the changes") << true << u"cancel"_s << QByteArray("cat\n");
}

void tst_Form5::closingAsksAboutChanges()
{
    QFETCH(bool, changed);
    QFETCH(QString, answer);
    QFETCH(QByteArray, file);
    TestProgram program;
    const QString path = program.writeFile(u"list.dic"_s, "cat\n");
    Form5 &editor = openEditor(program, path);
    if (changed)
        editor.pasteText(u"dog\n"_s);
    program.prompts.answersOrCancel.enqueue(answer == u"cancel"_s ? std::nullopt
                                                                  : std::optional<bool>(answer == u"yes"_s));

    editor.PushButton9->click();

    QCOMPARE(program.prompts.questions(), changed ? QStringList{u"Save the changes to list.dic?"_s} : QStringList());
    QCOMPARE(readFile(path), file);
    const bool stays = answer == u"cancel"_s;
    QCOMPARE(editor.isVisible(), stays);
    QCOMPARE(program.app->mainWindow()->isVisible(), !stays);
    if (stays)
        QCOMPARE(editor.model().rows(), rowsOf("cat\ndog\n"));
}

// The real question box: Escape and closing it cancel, as its Cancel does,
// rather than answer No and give the changes up.
void tst_Form5::saveQuestionOffersCancel()
{
    QtPrompts boxes;
    QString buttons;
    const BoxWatch watch([&](QMessageBox &box) {
        for (QAbstractButton *button : box.buttons())
            buttons += button->text().remove(u'&') + u' ';
        QTest::keyClick(box.windowHandle(), Qt::Key_Escape);
    });
    QCOMPARE(boxes.questionOrCancel(u"Save the changes to list.dic?"_s), std::nullopt);
    QCOMPARE(buttons.split(u' ', Qt::SkipEmptyParts).size(), 3);
}

void tst_Form5::pasteIntoTheTable_data()
{
    QTest::addColumn<int>("chosenColumn");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<WordListRow>>("rows");

    QTest::addRow("rows go after the chosen row")
        << 0 << u"b\tThe b.\r\nc\r\n"_s
        << QList<WordListRow>{{u"a"_s, {}}, {u"b"_s, u"The b."_s}, {u"c"_s, {}}, {u"z"_s, {}}};
    QTest::addRow("one line without a TAB fills the chosen cell")
        << 1 << u"The a."_s << QList<WordListRow>{{u"a"_s, u"The a."_s}, {u"z"_s, {}}};
    QTest::addRow("one line with the Recordings column chosen is a row")
        << 2 << u"b"_s << QList<WordListRow>{{u"a"_s, {}}, {u"b"_s, {}}, {u"z"_s, {}}};
}

void tst_Form5::pasteIntoTheTable()
{
    QFETCH(int, chosenColumn);
    QFETCH(QString, text);
    QFETCH(QList<WordListRow>, rows);
    TestProgram program;
    Form5 &editor = openEditor(program, program.writeFile(u"list.dic"_s, "a\nz\n"));
    editor.Grid1->setCurrentIndex(editor.model().index(0, chosenColumn));
    editor.pasteText(text);
    QCOMPARE(editor.model().rows(), rows);
    QVERIFY(editor.model().isModified());
    QVERIFY(editor.Label1->text().contains(u"changed"_s));
}

// A list of the game's largest size opens, and ten thousand rows paste, while
// the window stays quick.
void tst_Form5::largeLists()
{
    TestProgram program;
    QByteArray bytes;
    for (int i = 0; i < 32'767; ++i)
        bytes += "word" + QByteArray::number(i) + (i % 2 ? "\tSentence " + QByteArray::number(i) + ".\n" : "\n");
    const QString path = program.writeFile(u"large.dic"_s, bytes);
    Form1 &main = program.start(path);
    main.show();

    main.PushButton14->click();
    Form5 *editor = program.app->loadedWordListEditor();
    QVERIFY(editor);
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    QCOMPARE(editor->model().rowCount(), 32'767);

    QString pasted;
    for (int i = 0; i < 10'000; ++i)
        pasted += u"new%1\tPasted %1.\n"_s.arg(i);
    editor->Grid1->setCurrentIndex(editor->model().index(100, 0));
    editor->pasteText(pasted);
    QCOMPARE(editor->model().rowCount(), 42'767);
    QCOMPARE(editor->model().rows().at(101).word, u"new0"_s);
    QCOMPARE(editor->Label2->text(), u"10000 rows added."_s);
}

void tst_Form5::recordKeepAndDelete()
{
    TestProgram program;
    const QString path = program.writeFile(u"week 3.dic"_s, "their\tIt is their house.\nthere\n");
    Form5 &editor = openEditor(program, path);
    auto capture = std::make_unique<TestCapture>();
    auto playback = std::make_unique<TestPlayback>();
    TestCapture &microphone = *capture;
    TestPlayback &speaker = *playback;
    editor.setAudio(std::move(capture), std::move(playback), [] { return QString(); });
    editor.Grid1->setCurrentIndex(editor.model().index(0, 0));
    QCOMPARE(editor.model().data(editor.model().index(0, 2), Qt::DisplayRole).toString(), u"none"_s);

    editor.PushButton11->click();
    QVERIFY(editor.isRecording());
    QCOMPARE(editor.Label3->text(), u"It is their house."_s);
    QVERIFY(!editor.Grid1->isEnabled());
    microphone.speak(voice());
    editor.PushButton12->click();
    QVERIFY(editor.hasTake());
    QCOMPARE(speaker.played.size(), 1);
    speaker.finish();
    editor.PushButton15->click();

    const QString file = QDir(path + u".audio"_s).filePath(recordingFileName(u"their"_s, RecordingPart::Sentence));
    QVERIFY(QFile::exists(file));
    QCOMPARE(editor.model().data(editor.model().index(0, 2), Qt::DisplayRole).toString(), u"sentence"_s);
    QVERIFY(editor.Option2->isChecked());
    QVERIFY(editor.PushButton13->isEnabled());

    // Played from its file, then deleted.
    editor.PushButton13->click();
    QCOMPARE(speaker.played.size(), 2);
    QCOMPARE(speaker.played.at(1), speaker.played.at(0));
    editor.PushButton14->click();
    QVERIFY(!QFile::exists(file));
    QCOMPARE(editor.model().data(editor.model().index(0, 2), Qt::DisplayRole).toString(), u"none"_s);
    QVERIFY(program.prompts.messages().isEmpty());
}

void tst_Form5::takeIsKeptOnlyOnceHeard_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QStringList>("messages");

    QTest::addRow("discarded after hearing it") << u"discard"_s << QStringList();
    QTest::addRow("microphone unplugged mid-take")
        << u"unplug"_s << QStringList{u"The microphone was disconnected. The recording was not kept."_s};
}

// A new take replaces the old recording only once heard and kept; a take
// given up or lost leaves the old one.
void tst_Form5::takeIsKeptOnlyOnceHeard()
{
    QFETCH(QString, ending);
    QFETCH(QStringList, messages);
    TestProgram program;
    const QString path = program.writeFile(u"list.dic"_s, "cat\n");
    const QString old = QDir(path + u".audio"_s).filePath(recordingFileName(u"cat"_s, RecordingPart::Word));
    QVERIFY(QDir().mkpath(path + u".audio"_s));
    const QByteArray oldBytes = "RIFF but not really a WAV";
    program.writeFile(u"list.dic.audio/"_s + QFileInfo(old).fileName(), oldBytes);
    Form5 &editor = openEditor(program, path);
    auto capture = std::make_unique<TestCapture>();
    auto playback = std::make_unique<TestPlayback>();
    TestCapture &microphone = *capture;
    TestPlayback &speaker = *playback;
    editor.setAudio(std::move(capture), std::move(playback), [] { return QString(); });
    editor.Grid1->setCurrentIndex(editor.model().index(0, 0));
    QCOMPARE(editor.model().data(editor.model().index(0, 2), Qt::DisplayRole).toString(), u"word damaged"_s);

    editor.PushButton10->click();
    microphone.speak(voice());
    if (ending == u"unplug"_s) {
        microphone.unplug();
        QVERIFY(!editor.hasTake());
    } else {
        editor.PushButton12->click();
        QVERIFY(editor.hasTake());
        QVERIFY(!editor.PushButton15->isEnabled());
        speaker.finish();
        QVERIFY(editor.PushButton15->isEnabled());
        editor.PushButton16->click();
    }
    QCOMPARE(program.prompts.messages(), messages);
    QVERIFY(!editor.isRecording());
    QVERIFY(editor.Grid1->isEnabled());
    QCOMPARE(readFile(old), oldBytes);
}

void tst_Form5::withoutMicrophone()
{
    TestProgram program;
    Form5 &editor = openEditor(program, program.writeFile(u"list.dic"_s, "cat\tThe cat.\n"));
    editor.setAudio(std::make_unique<TestCapture>(), std::make_unique<TestPlayback>(),
                    [] { return u"No microphone is connected."_s; });
    editor.Grid1->setCurrentIndex(editor.model().index(0, 0));
    QVERIFY(!editor.PushButton10->isEnabled());
    QVERIFY(!editor.PushButton11->isEnabled());
    QCOMPARE(editor.Label4->text(), u"Recording is not possible: No microphone is connected."_s);

    // With one, a row with a sentence can record both.
    editor.setAudio(std::make_unique<TestCapture>(), std::make_unique<TestPlayback>(), [] { return QString(); });
    QVERIFY(editor.PushButton10->isEnabled());
    QVERIFY(editor.PushButton11->isEnabled());
    QVERIFY(editor.Label4->text().isEmpty());
}

// A sample of the program takes no recordings beside it, even where its
// folder could be written: they go to the data folder, and the game plays
// them from there.
void tst_Form5::samplesStayAsShipped()
{
    TestProgram program;
    program.addSamples();
    const QString sample = program.path(ProgramFiles::kFirstSample);
    Form5 &editor = openEditor(program, sample);
    auto capture = std::make_unique<TestCapture>();
    auto playback = std::make_unique<TestPlayback>();
    TestCapture &microphone = *capture;
    TestPlayback &speaker = *playback;
    editor.setAudio(std::move(capture), std::move(playback), [] { return QString(); });
    editor.Grid1->setCurrentIndex(editor.model().index(0, 0));
    editor.PushButton10->click();
    microphone.speak(voice());
    editor.PushButton12->click();
    speaker.finish();
    editor.PushButton15->click();

    QVERIFY(!QFileInfo::exists(sample + u".audio"_s));
    const RecordingFolder folder(sample);
    const auto cleanUp = qScopeGuard([&] { QDir(folder.inDataFolder()).removeRecursively(); });
    const QString kept = folder.existing(u"one"_s, RecordingPart::Word);
    QVERIFY2(kept.startsWith(folder.inDataFolder() + u'/'), qPrintable(kept));
    QVERIFY(editor.Label4->text().contains(QDir::toNativeSeparators(folder.inDataFolder())));
    QCOMPARE(editor.model().index(0, WordListModel::RecordingColumn).data().toString(), u"word"_s);
    QVERIFY(program.prompts.messages().isEmpty());
}

void tst_Form5::recordingsStayWithAChangedWord_data()
{
    // The list then: "kept" (not saved), "saved", "saved as" another list.
    QTest::addColumn<QString>("then");
    QTest::addRow("until the list is saved") << u"kept"_s;
    QTest::addRow("then under the new word") << u"saved"_s;
    QTest::addRow("in a list saved under another name") << u"saved as"_s;
}

void tst_Form5::recordingsStayWithAChangedWord()
{
    QFETCH(QString, then);
    TestProgram program;
    const QString path = program.writeFile(u"week 3.dic"_s, "frend\tA frend came.\nhen\n");
    {
        ListRecordings made(path);
        made.keep(u"frend"_s, RecordingPart::Word, VoiceAudio{kRate, voice()});
        made.keep(u"frend"_s, RecordingPart::Sentence, VoiceAudio{kRate, voice()});
    }
    Form5 &editor = openEditor(program, path);
    auto playback = std::make_unique<TestPlayback>();
    TestPlayback &speaker = *playback;
    editor.setAudio(std::make_unique<TestCapture>(), std::move(playback), [] { return QString(); });
    const QModelIndex word = editor.model().index(0, WordListModel::WordColumn);
    editor.Grid1->setCurrentIndex(word);

    QVERIFY(editor.model().setData(word, u"friend"_s, Qt::EditRole));

    const auto shown = [&] { return editor.model().index(0, WordListModel::RecordingColumn).data().toString(); };
    QCOMPARE(shown(), u"word, sentence"_s);
    QCOMPARE(editor.Label2->text(), u"Recordings of \"frend\" will be kept for \"friend\" when the list is saved."_s);
    QVERIFY(editor.PushButton13->isEnabled());
    editor.PushButton13->click();
    QCOMPARE(speaker.played.size(), 1);
    const QString copy = program.folder.filePath(u"week 4.dic"_s);
    if (then == u"saved"_s) {
        editor.PushButton6->click();
    } else if (then == u"saved as"_s) {
        program.dialogs.saveAnswers.enqueue(copy);
        editor.PushButton7->click();
    }
    // Each saved list and its recordings agree: the game finds each saved
    // word's recordings under it.
    const QString changed = then == u"saved"_s ? u"friend"_s : u"frend"_s;
    QCOMPARE(rowsOf(readFile(path)).at(0).word, changed);
    const ListRecordings files(path);
    QCOMPARE(files.statusText(changed), u"word, sentence"_s);
    QCOMPARE(files.statusText(changed == u"friend"_s ? u"frend"_s : u"friend"_s), u"none"_s);
    if (then == u"saved as"_s) {
        const ListRecordings copied(copy);
        QCOMPARE(rowsOf(readFile(copy)).at(0).word, u"friend"_s);
        QCOMPARE(copied.statusText(u"friend"_s), u"word, sentence"_s);
        QCOMPARE(copied.statusText(u"frend"_s), u"none"_s);
    }
    QCOMPARE(shown(), u"word, sentence"_s);
    QVERIFY(program.prompts.messages().isEmpty());
}

void tst_Form5::savingKeepsTheChosenRow_data()
{
    QTest::addColumn<bool>("newList");
    QTest::addRow("a list saved under another name") << false;
    QTest::addRow("a new list saved as its first word is recorded") << true;
}

// Saving under a name keeps the row chosen, and what can be done with it.
void tst_Form5::savingKeepsTheChosenRow()
{
    QFETCH(bool, newList);
    TestProgram program;
    Form5 &editor = openEditor(program, program.writeFile(u"list.dic"_s, "ant\nbee\ncat\n"));
    editor.setAudio(std::make_unique<TestCapture>(), std::make_unique<TestPlayback>(), [] { return QString(); });
    if (newList) {
        editor.PushButton4_Click();
        editor.pasteText(u"ant\nbee\ncat\n"_s);
    }
    editor.Grid1->setCurrentIndex(editor.model().index(1, WordListModel::SentenceColumn));
    program.dialogs.saveAnswers.enqueue(program.folder.filePath(u"copy.dic"_s));

    if (newList)
        editor.PushButton10->click();
    else
        editor.PushButton7->click();

    QCOMPARE(editor.listPath(), program.folder.filePath(u"copy.dic"_s));
    QCOMPARE(editor.Grid1->currentIndex(), editor.model().index(1, WordListModel::SentenceColumn));
    QCOMPARE(editor.isRecording(), newList);
    if (newList)
        editor.PushButton12->click();
    QVERIFY(editor.PushButton10->isEnabled());
}

void tst_Form5::savedOverAnotherList_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addRow("replaced: the saved list plays this list's recordings") << true;
    QTest::addRow("not replaced: the other list keeps its own") << false;
}

// A list saved over another list takes its own recordings along, also of
// words the other list had recorded.
void tst_Form5::savedOverAnotherList()
{
    QFETCH(bool, replace);
    TestProgram program;
    const QString path = program.writeFile(u"mine.dic"_s, "cat\tThe cat sat.\n");
    const QString other = program.writeFile(u"theirs.dic"_s, "cat\tA cat ran.\ndog\n");
    const VoiceAudio mine{kRate, voice()};
    const VoiceAudio theirs{kRate, voice().repeated(2)};
    {
        ListRecordings made(path);
        made.keep(u"cat"_s, RecordingPart::Word, mine);
        made.keep(u"cat"_s, RecordingPart::Sentence, mine);
        ListRecordings madeThere(other);
        madeThere.keep(u"cat"_s, RecordingPart::Word, theirs);
        madeThere.keep(u"cat"_s, RecordingPart::Sentence, theirs);
    }
    Form5 &editor = openEditor(program, path);
    program.dialogs.saveAnswers.enqueue(other);
    program.prompts.answers.enqueue(replace);

    editor.PushButton7->click();

    QCOMPARE(program.prompts.questions(), QStringList{u"theirs.dic already exists. Replace it?"_s});
    QCOMPARE(readFile(other), replace ? QByteArray("cat\tThe cat sat.\n") : QByteArray("cat\tA cat ran.\ndog\n"));
    const ListRecordings saved(other);
    for (const RecordingPart part : {RecordingPart::Word, RecordingPart::Sentence})
        QCOMPARE(readWavFile(saved.path(u"cat"_s, part)).audio.samples, (replace ? mine : theirs).samples);
    QCOMPARE(readWavFile(ListRecordings(path).path(u"cat"_s, RecordingPart::Word)).audio.samples, mine.samples);
    QVERIFY(program.prompts.messages().isEmpty());
}

void tst_Form5::closingAsksAboutAWaitingTake_data()
{
    // "yes", "no" or "cancel"
    QTest::addColumn<QString>("answer");
    QTest::addRow("kept") << u"yes"_s;
    QTest::addRow("given up: the old recording stays") << u"no"_s;
    QTest::addRow("cancelled: the window stays with the take") << u"cancel"_s;
}

// Closing the window while a new take waits for Keep or Discard asks
// which, rather than throwing the take away unheard of.
void tst_Form5::closingAsksAboutAWaitingTake()
{
    QFETCH(QString, answer);
    TestProgram program;
    const QString path = program.writeFile(u"list.dic"_s, "cat\n");
    const VoiceAudio old{kRate, voice().repeated(2)};
    ListRecordings(path).keep(u"cat"_s, RecordingPart::Word, old);
    Form5 &editor = openEditor(program, path);
    auto capture = std::make_unique<TestCapture>();
    TestCapture &microphone = *capture;
    editor.setAudio(std::move(capture), std::make_unique<TestPlayback>(), [] { return QString(); });
    editor.Grid1->setCurrentIndex(editor.model().index(0, 0));
    editor.PushButton10->click();
    microphone.speak(voice());
    editor.PushButton12->click();
    QVERIFY(editor.hasTake());
    program.prompts.answersOrCancel.enqueue(answer == u"cancel"_s ? std::nullopt
                                                                  : std::optional<bool>(answer == u"yes"_s));

    editor.PushButton9->click();

    QCOMPARE(program.prompts.questions(), QStringList{u"Keep the new recording of \"cat\"?"_s});
    const bool stays = answer == u"cancel"_s;
    QCOMPARE(editor.isVisible(), stays);
    QCOMPARE(editor.hasTake(), stays);
    QCOMPARE(program.app->mainWindow()->isVisible(), !stays);
    const QByteArray kept = readWavFile(ListRecordings(path).path(u"cat"_s, RecordingPart::Word)).audio.samples;
    if (answer == u"yes"_s)
        QVERIFY(kept != old.samples && !kept.isEmpty());
    else
        QCOMPARE(kept, old.samples);
    QVERIFY(program.prompts.messages().isEmpty());
}

QTEST_MAIN(tst_Form5)
#include "tst_form5.moc"
