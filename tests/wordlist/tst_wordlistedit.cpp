// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/failure.h"
#include "readonlyfile.h"
#include "wordlist/wordlistedit.h"
#include "wordlist/wordlistfile.h"
#include "wordlist/wordstore.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<WordListRow>)

namespace {

QList<WordListRow> rows(std::initializer_list<std::pair<QString, QString>> pairs)
{
    QList<WordListRow> list;
    for (const auto &[word, sentence] : pairs)
        list.append({word, sentence});
    return list;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Keeps the files this process writes below a size for as long as it lives,
// as a full disk would: a write past it fails instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

class tst_WordListEdit : public QObject
{
    Q_OBJECT

private slots:
    void typedRowsReadBackAsSaved_data();
    void typedRowsReadBackAsSaved();
    void savedBytes_data();
    void savedBytes();
    void pastedRows_data();
    void pastedRows();
    void listsReadAsTheGameReadsThem();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void changeOnDisk_data();
    void changeOnDisk();
    void writableLists_data();
    void writableLists();
    void modifiedFollowsChanges();
    void pasteTenThousandRows();
    void rowsKeepTheWordTheirRecordingsAreFiledUnder();
};

void tst_WordListEdit::typedRowsReadBackAsSaved_data()
{
    QTest::addColumn<QList<WordListRow>>("typed");
    QTest::addColumn<QList<WordListRow>>("readBack");

    const QString longWord = QString(5000, u'x');
    QTest::addRow("words alone") << rows({{u"cat"_s, {}}, {u"dog"_s, {}}}) << rows({{u"cat"_s, {}}, {u"dog"_s, {}}});
    QTest::addRow("words with sentences") << rows({{u"their"_s, u"It is their house."_s}, {u"there"_s, {}}})
                                          << rows({{u"their"_s, u"It is their house."_s}, {u"there"_s, {}}});
    QTest::addRow("spaces around a sentence are dropped")
        << rows({{u"cat"_s, u"  The cat sat.  "_s}}) << rows({{u"cat"_s, u"The cat sat."_s}});
    QTest::addRow("spaces around a word are kept") << rows({{u" ice cream "_s, {}}}) << rows({{u" ice cream "_s, {}}});
    QTest::addRow("a TAB or line break typed becomes a space")
        << rows({{u"ice\tcream"_s, u"Cold\nand sweet."_s}, {u"new\r\nline"_s, {}}})
        << rows({{u"ice cream"_s, u"Cold and sweet."_s}, {u"new  line"_s, {}}});
    QTest::addRow("rows without a word are left out")
        << rows({{QString(), u"A sentence alone."_s}, {u"   "_s, {}}, {u"cat"_s, {}}}) << rows({{u"cat"_s, {}}});
    QTest::addRow("letters beyond ASCII stay as typed")
        << rows({{u"café"_s, u"Ein Käse für 5 €."_s}, {u"𝒜lpha"_s, u"日本語の文。"_s}})
        << rows({{u"café"_s, u"Ein Käse für 5 €."_s}, {u"𝒜lpha"_s, u"日本語の文。"_s}});
    QTest::addRow("a mark before the first word goes") << rows({{u"\uFEFFcat"_s, {}}}) << rows({{u"cat"_s, {}}});
    QTest::addRow("a NUL would make the file binary: it goes")
        << rows({{u"ca\u0000t"_s, {}}}) << rows({{u"cat"_s, {}}});
    QTest::addRow("a word of 5,000 characters") << rows({{longWord, u"Long."_s}}) << rows({{longWord, u"Long."_s}});
    QTest::addRow("words differing in case stay two")
        << rows({{u"Polish"_s, {}}, {u"polish"_s, {}}}) << rows({{u"Polish"_s, {}}, {u"polish"_s, {}}});
}

// Typed into the table, saved, and read by the game's own reader.
void tst_WordListEdit::typedRowsReadBackAsSaved()
{
    QFETCH(QList<WordListRow>, typed);
    QFETCH(QList<WordListRow>, readBack);
    WordListModel model;
    model.insertRows(0, int(typed.size()));
    for (int row = 0; row < typed.size(); ++row) {
        model.setData(model.index(row, WordListModel::WordColumn), typed.at(row).word, Qt::EditRole);
        model.setData(model.index(row, WordListModel::SentenceColumn), typed.at(row).sentence, Qt::EditRole);
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(u"list.dic"_s);
    WordListEdit::save(path, model.rows());

    QCOMPARE(WordListEdit::rowsOf(WordStore::fromText(readDictionaryText(path))), readBack);
    QCOMPARE(WordListEdit::read(path), readBack);
    // What the table shows is what the game reads.
    QList<WordListRow> shown = model.rows();
    shown.removeIf([](const WordListRow &row) { return WordListEdit::isBlankWord(row.word); });
    QCOMPARE(shown, readBack);
    // Saved again unchanged, the file is the same.
    const QByteArray first = readBytes(path);
    WordListEdit::save(path, WordListEdit::read(path));
    QCOMPARE(readBytes(path), first);
}

void tst_WordListEdit::savedBytes_data()
{
    QTest::addColumn<QList<WordListRow>>("rows");
    QTest::addColumn<QByteArray>("bytes");

    QTest::addRow("a word alone is its own line") << rows({{u"cat"_s, {}}}) << QByteArray("cat\n");
    QTest::addRow("a sentence follows a TAB") << rows({{u"cat"_s, u"The cat."_s}}) << QByteArray("cat\tThe cat.\n");
    QTest::addRow("UTF-8 without a mark") << rows({{u"né"_s, {}}}) << QByteArray("n\xC3\xA9\n");
    QTest::addRow("no rows, no bytes") << QList<WordListRow>() << QByteArray();
}

void tst_WordListEdit::savedBytes()
{
    QFETCH(QList<WordListRow>, rows);
    QFETCH(QByteArray, bytes);
    QCOMPARE(WordListEdit::encode(rows), bytes);
}

void tst_WordListEdit::pastedRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<WordListRow>>("pasted");

    QTest::addRow("spreadsheet rows end in CR LF")
        << u"cat\tThe cat sat.\r\ndog\tThe dog ran.\r\n"_s
        << rows({{u"cat"_s, u"The cat sat."_s}, {u"dog"_s, u"The dog ran."_s}});
    QTest::addRow("a text file's lines end in LF")
        << u"one\ntwo\nthree"_s << rows({{u"one"_s, {}}, {u"two"_s, {}}, {u"three"_s, {}}});
    QTest::addRow("old Mac lines end in CR") << u"one\rtwo\r"_s << rows({{u"one"_s, {}}, {u"two"_s, {}}});
    QTest::addRow("columns past the second are left out")
        << u"cat\tThe cat.\tnoun\t3"_s << rows({{u"cat"_s, u"The cat."_s}});
    QTest::addRow("empty lines and lines without a word are skipped")
        << u"\n\ncat\n\t\tlonely\n \ndog\n"_s << rows({{u"cat"_s, {}}, {u"dog"_s, {}}});
    QTest::addRow("a sentence's spaces at both ends go") << u"cat\t  The cat.  "_s << rows({{u"cat"_s, u"The cat."_s}});
    QTest::addRow("an empty sentence column") << u"cat\t\n"_s << rows({{u"cat"_s, {}}});
}

void tst_WordListEdit::pastedRows()
{
    QFETCH(QString, text);
    QFETCH(QList<WordListRow>, pasted);
    QCOMPARE(WordListEdit::parseRows(text), pasted);

    // Pasted between two rows, they come in there in their order.
    WordListModel model;
    model.setRows(rows({{u"first"_s, {}}, {u"last"_s, {}}}));
    QCOMPARE(model.paste(1, text), pasted.size());
    QCOMPARE(model.rows(), rows({{u"first"_s, {}}}) + pasted + rows({{u"last"_s, {}}}));
}

// A list written by hand opens with the rows the game would ask.
void tst_WordListEdit::listsReadAsTheGameReadsThem()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"hand.txt"_s);
    writeBytes(path,
               "\xEF\xBB\xBF"
               "cat\tThe cat sat.\t(noun)\r\n\r\n\tno word\r\ndog\r\n");
    QCOMPARE(WordListEdit::read(path), rows({{u"cat"_s, u"The cat sat."_s}, {u"dog"_s, {}}}));
}

void tst_WordListEdit::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::addRow("the disk fills up while writing") << true;
    QTest::addRow("the file cannot be written") << false;
}

void tst_WordListEdit::failedSaveKeepsTheOldFile()
{
    QFETCH(bool, fullDisk);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"week 3.dic"_s);
    const QByteArray old = "cat\tThe cat sat.\ndog\n";
    writeBytes(path, old);
    QList<WordListRow> many;
    for (int i = 0; i < 10'000; ++i)
        many.append({u"word%1"_s.arg(i), u"Sentence number %1."_s.arg(i)});

    std::optional<ReadOnlyFile> readOnly;
    std::optional<FileSizeLimit> limit;
    if (fullDisk) {
        limit.emplace(4096);
    } else {
        readOnly.emplace(path);
        if (!readOnly->holds())
            QSKIP("This user can write any file here");
    }
    QVERIFY_THROWS_EXCEPTION(Failure, WordListEdit::save(path, many));
    limit.reset();
    readOnly.reset();
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"week 3.dic"_s});
}

void tst_WordListEdit::changeOnDisk_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("seen");

    QTest::addRow("nothing changed") << u"none"_s << false;
    QTest::addRow("read again by another program") << u"read"_s << false;
    QTest::addRow("rewritten with other words") << u"rewrite"_s << true;
    QTest::addRow("same size and time, other letters") << u"sameSizeAndTime"_s << true;
    QTest::addRow("deleted") << u"delete"_s << true;
    QTest::addRow("only its time changed, as a sync tool does") << u"touch"_s << false;
}

void tst_WordListEdit::changeOnDisk()
{
    QFETCH(QString, change);
    QFETCH(bool, seen);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"list.dic"_s);
    writeBytes(path, "cat\ndog\n");
    const FileStamp opened = FileStamp::of(path);
    QVERIFY(opened.exists());

    const QDateTime time = QFileInfo(path).lastModified();
    if (change == u"read"_s) {
        QVERIFY(!readBytes(path).isEmpty());
    } else if (change == u"rewrite"_s) {
        writeBytes(path, "cat\ndog\nbird\n");
    } else if (change == u"sameSizeAndTime"_s) {
        writeBytes(path, "cot\ndig\n");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
    } else if (change == u"delete"_s) {
        QVERIFY(QFile::remove(path));
    } else if (change == u"touch"_s) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(time.addSecs(3600), QFileDevice::FileModificationTime));
    }
    QCOMPARE(FileStamp::of(path) != opened, seen);
}

void tst_WordListEdit::writableLists_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("writable");

    QTest::addRow("a list of the user's") << u"file"_s << true;
    QTest::addRow("a list not yet saved") << u"missing"_s << true;
    QTest::addRow("a list the user cannot write") << u"readOnly"_s << false;
    QTest::addRow("a folder") << u"folder"_s << false;
    QTest::addRow("in a folder that is not there") << u"noFolder"_s << false;
}

void tst_WordListEdit::writableLists()
{
    QFETCH(QString, kind);
    QFETCH(bool, writable);
    QTemporaryDir folder;
    QString path = folder.filePath(u"list.dic"_s);
    std::optional<ReadOnlyFile> readOnly;
    if (kind == u"file"_s || kind == u"readOnly"_s)
        writeBytes(path, "cat\n");
    if (kind == u"readOnly"_s) {
        readOnly.emplace(path);
        if (!readOnly->holds())
            QSKIP("This user can write any file here");
    }
    if (kind == u"folder"_s)
        QVERIFY(QDir(folder.path()).mkdir(u"list.dic"_s));
    if (kind == u"noFolder"_s)
        path = folder.filePath(u"gone/list.dic"_s);
    QCOMPARE(WordListEdit::canWrite(path), writable);
}

void tst_WordListEdit::modifiedFollowsChanges()
{
    WordListModel model;
    QSignalSpy changes(&model, &WordListModel::modifiedChanged);
    model.setRows(rows({{u"cat"_s, {}}, {u"dog"_s, {}}}));
    QVERIFY(!model.isModified());

    // The same text typed again changes nothing.
    model.setData(model.index(0, WordListModel::WordColumn), u"cat"_s, Qt::EditRole);
    QVERIFY(!model.isModified());
    model.setData(model.index(0, WordListModel::SentenceColumn), u"The cat."_s, Qt::EditRole);
    QVERIFY(model.isModified());
    model.setModified(false);
    model.removeRows(1, 1);
    QVERIFY(model.isModified());
    QCOMPARE(model.rows(), rows({{u"cat"_s, u"The cat."_s}}));
    QCOMPARE(changes.count(), 3);
    // The recordings column is not typed in.
    QVERIFY(!model.setData(model.index(0, WordListModel::RecordingColumn), u"x"_s, Qt::EditRole));
}

void tst_WordListEdit::pasteTenThousandRows()
{
    QString text;
    for (int i = 0; i < 10'000; ++i)
        text += u"word%1\tSentence number %1.\r\n"_s.arg(i);
    WordListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QCOMPARE(model.paste(0, text), 10'000);
    // One insertion, so a view lays its rows out once.
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(model.rows().at(9'999), (WordListRow{u"word9999"_s, u"Sentence number 9999."_s}));
}

void tst_WordListEdit::rowsKeepTheWordTheirRecordingsAreFiledUnder()
{
    WordListModel model;
    model.setRows(rows({{u"cat"_s, {}}, {u"dog"_s, {}}}));
    QVERIFY(model.setData(model.index(1, WordListModel::WordColumn), u"dot"_s, Qt::EditRole));
    const auto recorded = [&](int row) { return model.recordedWord(row, RecordingPart::Word); };
    QCOMPARE(recorded(1), u"dog"_s);

    // Rows inserted and removed above it leave each row its own.
    QVERIFY(model.removeRows(0, 1));
    QCOMPARE(recorded(0), u"dog"_s);
    QCOMPARE(model.paste(0, u"hen\nowl"_s), 2);
    QCOMPARE(recorded(0), u"hen"_s);
    QCOMPARE(model.filedAs(0, RecordingPart::Word), QString());
    QCOMPARE(recorded(2), u"dog"_s);
    model.setFiledAs(2, RecordingPart::Sentence, u"dot"_s);
    QCOMPARE(model.recordedWord(2, RecordingPart::Sentence), u"dot"_s);

    model.markSaved();
    QCOMPARE(recorded(2), u"dot"_s);
    QCOMPARE(model.filedAs(0, RecordingPart::Word), u"hen"_s);
    QVERIFY(!model.isModified());
}

QTEST_GUILESS_MAIN(tst_WordListEdit)
#include "tst_wordlistedit.moc"
