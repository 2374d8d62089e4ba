// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/failure.h"
#include "readonlyfile.h"
#include "wordlist/recordingfolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QRegularExpression hashed(u"^(.*)~[0-9a-f]{10}$"_s);

// The name without its ending, and whether it carries a hash.
std::pair<QString, bool> readablePart(const QString &fileName)
{
    const QString stem = fileName.section(u'.', 0, -3);
    const auto match = hashed.match(stem);
    return match.hasMatch() ? std::pair{match.captured(1), true} : std::pair{stem, false};
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class tst_RecordingFolder : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void fileNamesStayApart();
    void fileNameOfAVeryLongWord();
    void folderForNewRecordings_data();
    void folderForNewRecordings();
    void dataFolderKeepsListsApart();
    void existingLooksInBothFolders();
    void noFolderCanBeMade();
    void removeDeletesFromBothFolders();
};

void tst_RecordingFolder::fileName_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("readable");
    QTest::addColumn<bool>("withHash");

    QTest::newRow("a plain word is its own name") << u"cat"_s << u"cat"_s << false;
    QTest::newRow("spaces inside stay") << u"ice cream"_s << u"ice cream"_s << false;
    QTest::newRow("accents stay, composed") << u"café"_s << u"café"_s << false;
    QTest::newRow("a decomposed accent is composed and hashed") << u"cafe\u0301"_s << u"café"_s << true;
    QTest::newRow("a capital letter is hashed for case-blind file systems") << u"Cat"_s << u"Cat"_s << true;
    QTest::newRow("a slash is replaced") << u"and/or"_s << u"and_or"_s << true;
    QTest::newRow("a backslash is replaced") << u"a\\b"_s << u"a_b"_s << true;
    QTest::newRow("characters Windows refuses are replaced") << u"why?*:<>|\""_s << u"why_______"_s << true;
    QTest::newRow("a tilde is replaced, it marks the hash") << u"a~b"_s << u"a_b"_s << true;
    QTest::newRow("control characters are replaced") << u"a\tb\nc"_s << u"a_b_c"_s << true;
    QTest::newRow("an invisible joiner is replaced") << u"a\u200Db"_s << u"a_b"_s << true;
    QTest::newRow("a leading dot would hide the file") << u".net"_s << u"_net"_s << true;
    QTest::newRow("a leading space is replaced") << u" ok"_s << u"_ok"_s << true;
    QTest::newRow("trailing dots and spaces are replaced") << u"etc. "_s << u"etc__"_s << true;
    QTest::newRow("a reserved device name is changed") << u"con"_s << u"con_"_s << true;
    QTest::newRow("a reserved device name before a dot is changed") << u"aux.x"_s << u"aux_.x"_s << true;
    QTest::newRow("a numbered port name is changed") << u"lpt1"_s << u"lpt1_"_s << true;
    QTest::newRow("a word beginning like a port name stays") << u"common"_s << u"common"_s << false;
    QTest::newRow("a word only of dots") << u".."_s << u"__"_s << true;
}

void tst_RecordingFolder::fileName()
{
    QFETCH(QString, word);
    QFETCH(QString, readable);
    QFETCH(bool, withHash);

    const QString wordFile = recordingFileName(word, RecordingPart::Word);
    const QString sentenceFile = recordingFileName(word, RecordingPart::Sentence);
    QVERIFY2(wordFile.endsWith(u".word.wav"_s), qPrintable(wordFile));
    QVERIFY2(sentenceFile.endsWith(u".sentence.wav"_s), qPrintable(sentenceFile));
    QCOMPARE(readablePart(wordFile), std::pair(readable, withHash));
    QCOMPARE(readablePart(sentenceFile), std::pair(readable, withHash));
    QCOMPARE(wordFile.chopped(9), sentenceFile.chopped(13));
}

void tst_RecordingFolder::fileNamesStayApart()
{
    // Words that differ only in letter case, in their normal form or in a
    // character the name replaces (dotless i and final sigma are lower-case
    // letters whose capitals are another letter's too); compared as the
    // case-blind systems do, by folding the case or by upper-casing each
    // letter.
    const QStringList words
        = {u"cat"_s,  u"Cat"_s,      u"CAT"_s,          u"a/b"_s, u"a\\b"_s, u"a:b"_s,   u"a_b"_s,
           u"café"_s, u"CAFÉ"_s,     u"cafe\u0301"_s,   u"con"_s, u"CON"_s,  u"con_"_s,  u"cat."_s,
           u"cat_"_s, u"cat.word"_s, u"cat.sentence"_s, u"kır"_s, u"kir"_s,  u"λόγος"_s, u"λόγοσ"_s};
    using CaseBlind = QString (*)(QString);
    const CaseBlind folded = [](QString name) { return name.toCaseFolded(); };
    const CaseBlind upperCased = [](QString name) {
        for (QChar &c : name)
            c = c.toUpper();
        return name;
    };
    for (const CaseBlind caseBlind : {folded, upperCased}) {
        QSet<QString> names;
        for (const QString &word : words) {
            for (const RecordingPart part : {RecordingPart::Word, RecordingPart::Sentence}) {
                const QString name = caseBlind(recordingFileName(word, part));
                QVERIFY2(!names.contains(name), qPrintable(word + u" -> "_s + name));
                names.insert(name);
            }
        }
    }
}

void tst_RecordingFolder::fileNameOfAVeryLongWord()
{
    const QString longWord = QString(4999, u'a') + u'b';
    const QString otherLongWord = QString(5000, u'a');
    const QString name = recordingFileName(longWord, RecordingPart::Sentence);
    QCOMPARE(readablePart(name), std::pair(QString(kLongestReadableName, u'a'), true));
    QVERIFY(name != recordingFileName(otherLongWord, RecordingPart::Sentence));
    // Cut before a surrogate pair's second half, never inside it.
    const QString emoji = QString(kLongestReadableName - 1, u'x') + u"\U0001F600"_s;
    const QString cut = readablePart(recordingFileName(emoji, RecordingPart::Word)).first;
    QCOMPARE(cut, QString(kLongestReadableName - 1, u'x'));
}

void tst_RecordingFolder::folderForNewRecordings_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<bool>("besideList");

    QTest::newRow("a writable folder without recordings yet") << u"none"_s << true;
    QTest::newRow("a writable folder with the recordings' folder") << u"folder"_s << true;
    QTest::newRow("the recordings' folder's name taken by a file") << u"file"_s << false;
    QTest::newRow("the list's folder read-only") << u"read-only list folder"_s << false;
    QTest::newRow("the recordings' folder read-only") << u"read-only folder"_s << false;
}

void tst_RecordingFolder::folderForNewRecordings()
{
    QFETCH(QString, setUp);
    QFETCH(bool, besideList);

    QTemporaryDir lists;
    QTemporaryDir data;
    const QString list = lists.filePath(u"week 3.dic"_s);
    touch(list);
    const RecordingFolder folder(list, data.path());
    QCOMPARE(folder.besideList(), list + u".audio"_s);
    QVERIFY(folder.inDataFolder().startsWith(data.path() + u"/Recordings/week 3.dic~"_s));

    std::unique_ptr<ReadOnlyFile> lock;
    if (setUp == u"file"_s)
        touch(folder.besideList());
    if (setUp == u"folder"_s || setUp == u"read-only folder"_s)
        QVERIFY(QDir().mkdir(folder.besideList()));
    if (setUp.startsWith(u"read-only"_s)) {
        lock = std::make_unique<ReadOnlyFile>(setUp.contains(u"list"_s) ? lists.path() : folder.besideList());
        if (!lock->holds())
            QSKIP("This user can write any folder here");
    }

    const QString expected = besideList ? folder.besideList() : folder.inDataFolder();
    QCOMPARE(folder.writeFolder(), expected);
    QCOMPARE(folder.writesBesideList(), besideList);
    const QString path = folder.pathForNew(u"Bee"_s, RecordingPart::Word);
    QCOMPARE(path, expected + u'/' + recordingFileName(u"Bee"_s, RecordingPart::Word));
    QVERIFY(QFileInfo(expected).isDir());
    touch(path);
    QCOMPARE(folder.existing(u"Bee"_s, RecordingPart::Word), path);
    QCOMPARE(folder.existing(u"Bee"_s, RecordingPart::Sentence), QString());
    QCOMPARE(folder.existing(u"bee"_s, RecordingPart::Word), QString());
}

void tst_RecordingFolder::dataFolderKeepsListsApart()
{
    QTemporaryDir lists;
    QVERIFY(QDir(lists.path()).mkpath(u"a"_s));
    QVERIFY(QDir(lists.path()).mkpath(u"b"_s));
    const RecordingFolder first(lists.filePath(u"a/week.dic"_s), u"/data"_s);
    const RecordingFolder second(lists.filePath(u"b/week.dic"_s), u"/data"_s);
    const RecordingFolder firstAgain(lists.filePath(u"b/../a/week.dic"_s), u"/data"_s);
    QVERIFY(first.inDataFolder() != second.inDataFolder());
    QCOMPARE(firstAgain.inDataFolder(), first.inDataFolder());
}

void tst_RecordingFolder::existingLooksInBothFolders()
{
    QTemporaryDir lists;
    QTemporaryDir data;
    const QString list = lists.filePath(u"list.dic"_s);
    touch(list);
    const RecordingFolder folder(list, data.path());
    QVERIFY(QDir().mkpath(folder.besideList()));
    QVERIFY(QDir().mkpath(folder.inDataFolder()));
    const QString name = recordingFileName(u"one"_s, RecordingPart::Word);

    touch(folder.inDataFolder() + u'/' + name);
    QCOMPARE(folder.existing(u"one"_s, RecordingPart::Word), folder.inDataFolder() + u'/' + name);
    // The folder new recordings go to wins: it holds the newer take.
    touch(folder.besideList() + u'/' + name);
    QCOMPARE(folder.existing(u"one"_s, RecordingPart::Word), folder.besideList() + u'/' + name);
}

void tst_RecordingFolder::noFolderCanBeMade()
{
    QTemporaryDir lists;
    const QString list = lists.filePath(u"list.dic"_s);
    touch(list);
    touch(list + u".audio"_s);
    const QString blocked = lists.filePath(u"data-is-a-file"_s);
    touch(blocked);
    const RecordingFolder folder(list, blocked);
    QVERIFY_THROWS_EXCEPTION(Failure, folder.pathForNew(u"one"_s, RecordingPart::Word));
}

void tst_RecordingFolder::removeDeletesFromBothFolders()
{
    QTemporaryDir lists;
    QTemporaryDir data;
    const QString list = lists.filePath(u"list.dic"_s);
    touch(list);
    const RecordingFolder folder(list, data.path());
    const QString name = recordingFileName(u"one"_s, RecordingPart::Sentence);
    for (const QString &place : {folder.besideList(), folder.inDataFolder()}) {
        QVERIFY(QDir().mkpath(place));
        touch(place + u'/' + name);
    }
    const QString other = folder.pathForNew(u"one"_s, RecordingPart::Word);
    touch(other);

    QVERIFY(folder.remove(u"one"_s, RecordingPart::Sentence));
    QCOMPARE(folder.existing(u"one"_s, RecordingPart::Sentence), QString());
    QVERIFY(QFile::exists(other));
    QVERIFY(folder.remove(u"absent"_s, RecordingPart::Word));
}

QTEST_GUILESS_MAIN(tst_RecordingFolder)
#include "tst_recordingfolder.moc"
