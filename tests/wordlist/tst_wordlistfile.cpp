// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/failure.h"
#include "wordlist/wordlistfile.h"
#include "wordlist/wordstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QStringList wordsOf(const WordStore &store)
{
    QStringList words;
    for (qsizetype position = 1; position <= store.count(); ++position)
        words.append(store.word(position));
    return words;
}

QByteArray utf16(const QString &text, QSysInfo::Endian order)
{
    QByteArray bytes;
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes.append(order == QSysInfo::LittleEndian ? low : high);
        bytes.append(order == QSysInfo::LittleEndian ? high : low);
    }
    return bytes;
}

} // namespace

class tst_WordListFile : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void sentences_data();
    void sentences();
    void homophonesSample();
    void read_data();
    void read();
    void refused_data();
    void refused();
    void savedWordsReadBack_data();
    void savedWordsReadBack();
    void saveRefused_data();
    void saveRefused();
};

// What a list's bytes become: decoding, then the split into words.
void tst_WordListFile::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("words");

    QTest::addRow("CR LF line ends") << "cat\r\ndog\r\n"_ba << QStringList{u"cat"_s, u"dog"_s};
    QTest::addRow("LF line ends") << "cat\ndog"_ba << QStringList{u"cat"_s, u"dog"_s};
    QTest::addRow("empty lines skipped") << "cat\n\n\ndog"_ba << QStringList{u"cat"_s, u"dog"_s};
    QTest::addRow("lone CR joins its neighbours") << "cat\rdog\r"_ba << QStringList{u"catdog"_s};
    QTest::addRow("spaces and case kept") << " \n Cat \nx \n"_ba << QStringList{u" "_s, u" Cat "_s, u"x "_s};
    QTest::addRow("empty file") << QByteArray() << QStringList();
    QTest::addRow("only line ends") << "\r\n\n\r\n"_ba << QStringList();
    QTest::addRow("UTF-16 LE") << "\xFF\xFE"_ba + utf16(u"cat\r\ndog"_s, QSysInfo::LittleEndian)
                               << QStringList{u"cat"_s, u"dog"_s};
    QTest::addRow("UTF-16 BE") << "\xFE\xFF"_ba + utf16(u"cat\r\ndog"_s, QSysInfo::BigEndian)
                               << QStringList{u"cat"_s, u"dog"_s};
    QTest::addRow("UTF-16 LE beyond Latin")
        << "\xFF\xFE"_ba + utf16(u"\u00E9t\u00E9\n\u043A\u043E\u0442"_s, QSysInfo::LittleEndian)
        << QStringList{u"\u00E9t\u00E9"_s, u"\u043A\u043E\u0442"_s};
    QTest::addRow("UTF-16 odd final byte dropped")
        << "\xFF\xFE"_ba + utf16(u"cat"_s, QSysInfo::LittleEndian) + "\x0A"_ba << QStringList{u"cat"_s};
    QTest::addRow("UTF-16 mark alone") << "\xFF\xFE"_ba << QStringList();
    QTest::addRow("single byte FF") << "\xFF"_ba << QStringList();
    QTest::addRow("UTF-8 with mark") << "\xEF\xBB\xBF"
                                        "caf\xC3\xA9\r\nna\xC3\xAFve\r\n"_ba
                                     << QStringList{u"caf\u00E9"_s, u"na\u00EFve"_s};
    QTest::addRow("UTF-8 without mark") << "caf\xC3\xA9\nna\xC3\xAFve"_ba
                                        << QStringList{u"caf\u00E9"_s, u"na\u00EFve"_s};
    QTest::addRow("UTF-8 mark before 8-bit text") << "\xEF\xBB\xBF"
                                                     "caf\xE9\r\nna\xEFve"_ba
                                                  << QStringList{u"caf\u00E9"_s, u"na\u00EFve"_s};
    QTest::addRow("ANSI accented letters")
        << "caf\xE9\r\nna\xEFve\r\n"_ba << QStringList{u"caf\u00E9"_s, u"na\u00EFve"_s};
    QTest::addRow("ANSI 0x80 to 0x9F") << "\x80\x8A\x9F\n\x81\x8D"_ba
                                       << QStringList{u"\u20AC\u0160\u0178"_s, u"\u0081\u008D"_s};
    QTest::addRow("ANSI letter of byte FF first reads as UTF-16 LE") << "\xFF"
                                                                        "ab\r\n"_ba
                                                                     << QStringList{u"\u0D62"_s};
    QTest::addRow("ANSI letter of byte FE first reads as UTF-16 BE") << "\xFE"
                                                                        "te\r\n"_ba
                                                                     << QStringList{u"\u650D"_s};
}

void tst_WordListFile::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, words);
    QCOMPARE(wordsOf(WordStore::fromText(WordListFile::decode(bytes))), words);
}

// A line with a TAB gives a word and its sentence.
void tst_WordListFile::sentences_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("sentences");

    QTest::addRow("word and sentence") << "their\tThey lost their way.\r\nthere\n"_ba
                                       << QStringList{u"their"_s, u"there"_s}
                                       << QStringList{u"They lost their way."_s, QString()};
    QTest::addRow("spaces around the sentence go, the word's stay")
        << " cat \t  The cat sat. \r\n"_ba << QStringList{u" cat "_s} << QStringList{u"The cat sat."_s};
    QTest::addRow("third column left out")
        << "sole\tA fish.\tnote\tmore\n"_ba << QStringList{u"sole"_s} << QStringList{u"A fish."_s};
    QTest::addRow("line of only TABs skipped")
        << "\t\t\t\ncat\n\t\n"_ba << QStringList{u"cat"_s} << QStringList{QString()};
    QTest::addRow("TAB-only word part skipped")
        << "\tNo word here.\ndog\tA dog barks.\n"_ba << QStringList{u"dog"_s} << QStringList{u"A dog barks."_s};
    QTest::addRow("space word part kept") << " \tA space.\n"_ba << QStringList{u" "_s} << QStringList{u"A space."_s};
    QTest::addRow("empty or blank sentence")
        << "cat\t\ndog\t  \t Third.\n"_ba << QStringList{u"cat"_s, u"dog"_s} << QStringList{QString(), QString()};
    QTest::addRow("copies keep their own sentences")
        << "bear\tA bear growls.\nbear\nbear\tI cannot bear it.\n"_ba << QStringList{u"bear"_s, u"bear"_s, u"bear"_s}
        << QStringList{u"A bear growls."_s, QString(), u"I cannot bear it."_s};
    QTest::addRow("CR before the TAB deleted")
        << "cat\r\tA cat.\r\n"_ba << QStringList{u"cat"_s} << QStringList{u"A cat."_s};
    QTest::addRow("UTF-16 LE") << "\xFF\xFE"_ba
            + utf16(u"\u00E9t\u00E9\tL'\u00E9t\u00E9 est chaud.\r\nhiver\r\n"_s, QSysInfo::LittleEndian)
                               << QStringList{u"\u00E9t\u00E9"_s, u"hiver"_s}
                               << QStringList{u"L'\u00E9t\u00E9 est chaud."_s, QString()};
    QTest::addRow("UTF-16 BE") << "\xFE\xFF"_ba + utf16(u"\tskipped\r\nknot\t Tie a knot. \r\n"_s, QSysInfo::BigEndian)
                               << QStringList{u"knot"_s} << QStringList{u"Tie a knot."_s};
    QTest::addRow("UTF-8 with mark") << "\xEF\xBB\xBF"
                                        "na\xC3\xAFve\tA na\xC3\xAFve plan.\r\n"_ba
                                     << QStringList{u"na\u00EFve"_s} << QStringList{u"A na\u00EFve plan."_s};
    QTest::addRow("ANSI") << "caf\xE9\tUn caf\xE9 \x80 deux.\r\n"_ba << QStringList{u"caf\u00E9"_s}
                          << QStringList{u"Un caf\u00E9 \u20AC deux."_s};
}

void tst_WordListFile::sentences()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, words);
    QFETCH(QStringList, sentences);
    const WordStore store = WordStore::fromText(WordListFile::decode(bytes));
    QCOMPARE(wordsOf(store), words);
    QStringList given;
    for (qsizetype position = 1; position <= store.count(); ++position)
        given.append(store.sentence(position));
    QCOMPARE(given, sentences);
}

// The sample list of words that sound alike: each word once, each with a
// sentence that holds it, in UTF-8 as the open dialog's filter finds it.
void tst_WordListFile::homophonesSample()
{
    const QString path = QStringLiteral(LEXIDRILL_SAMPLES_DIR "/Homophones.dic");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.isValidUtf8());
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.endsWith('\n'));

    const WordStore store = WordStore::fromText(readDictionaryText(path));
    QVERIFY2(store.count() >= 40, qPrintable(QString::number(store.count())));
    QCOMPARE(store.distinctCount(), store.count());
    QCOMPARE(store.count(), bytes.count('\n'));
    for (qsizetype position = 1; position <= store.count(); ++position) {
        const QString word = store.word(position);
        const QString sentence = store.sentence(position);
        QVERIFY2(!word.isEmpty() && word.trimmed() == word, qPrintable(word));
        QVERIFY2(sentence.contains(word, Qt::CaseInsensitive), qPrintable(word + u" / "_s + sentence));
        QVERIFY2(sentence.endsWith(u'.') || sentence.endsWith(u'?') || sentence.endsWith(u'!'), qPrintable(sentence));
    }
}

void tst_WordListFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::addRow("empty file") << QByteArray() << QString();
    QTest::addRow("ANSI") << "caf\xE9\r\n"_ba << u"caf\u00E9\r\n"_s;
    QTest::addRow("UTF-16 LE") << "\xFF\xFE"_ba + utf16(u"cat"_s, QSysInfo::LittleEndian) << u"cat"_s;
}

void tst_WordListFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"list with spaces.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QCOMPARE(readDictionaryText(path), text);
}

// Files that are no word list give a Failure that says why.
void tst_WordListFile::refused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("description");

    QTest::addRow("missing") << u"missing"_s << QByteArray() << u"No such file"_s;
    QTest::addRow("folder") << u"folder"_s << QByteArray() << u"is a folder"_s;
    QTest::addRow("NUL in ANSI text") << u"file"_s << "cat\0dog"_ba << u"is not a text file."_s;
    QTest::addRow("NUL in UTF-8 text") << u"file"_s << "caf\xC3\xA9\0"_ba << u"is not a text file."_s;
    QTest::addRow("NUL in UTF-16 text") << u"file"_s
                                        << "\xFF\xFE"
                                           "c\0\0\0"_ba
                                        << u"is not a text file."_s;
    QTest::addRow("UTF-16 without mark") << u"file"_s << "c\0a\0t\0"_ba << u"is not a text file."_s;
    QTest::addRow("too large") << u"sparse"_s << QByteArray() << u"is too large for a word list"_s;
#ifdef Q_OS_UNIX
    QTest::addRow("pipe") << u"pipe"_s << QByteArray() << u"is not a plain file."_s;
#endif
}

void tst_WordListFile::refused()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, description);
    QTemporaryDir folder;
    // Percent signs in the name must reach the description unchanged.
    const QString name = u"list %1 %2.txt"_s;
    const QString path = folder.filePath(name);
    if (kind == u"folder") {
        QVERIFY(QDir(folder.path()).mkdir(name));
    } else if (kind == u"file" || kind == u"sparse") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        // A sparse file: the size is refused before anything is read.
        if (kind == u"sparse")
            QVERIFY(file.resize(WordListFile::kMaximumBytes + 1));
    } else if (kind == u"pipe") {
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    }

    try {
        readDictionaryText(path);
        QFAIL("no failure");
    } catch (const Failure &failure) {
        QVERIFY2(failure.description().contains(description), qPrintable(failure.description()));
        QVERIFY2(failure.description().contains(QDir::toNativeSeparators(path)), qPrintable(failure.description()));
    }
}

// A list saved by the program reads back as the same words, whatever the
// loader's encoding rules would make of other bytes.
void tst_WordListFile::savedWordsReadBack_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("plain") << QStringList{u"cat"_s, u"dog"_s} << "cat\ndog\n"_ba;
    QTest::addRow("accents, not the code page")
        << QStringList{u"caf\u00E9"_s, u"na\u00EFve"_s} << "caf\xC3\xA9\nna\xC3\xAFve\n"_ba;
    QTest::addRow("beyond the code page")
        << QStringList{u"\u043A\u043E\u0442"_s, u"\U0001F431"_s} << "\xD0\xBA\xD0\xBE\xD1\x82\n\xF0\x9F\x90\xB1\n"_ba;
    QTest::addRow("spaces and case kept") << QStringList{u" Cat "_s, u"x "_s} << " Cat \nx \n"_ba;
    QTest::addRow("copies kept") << QStringList{u"cat"_s, u"cat"_s} << "cat\ncat\n"_ba;
    QTest::addRow("none") << QStringList() << QByteArray();
}

void tst_WordListFile::savedWordsReadBack()
{
    QFETCH(QStringList, words);
    QFETCH(QByteArray, bytes);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"words.txt"_s);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older, longer list\r\n");
    old.close();

    WordListFile::save(path, words);

    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), bytes);
    QCOMPARE(wordsOf(WordStore::fromText(readDictionaryText(path))), words);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"words.txt"_s});
}

void tst_WordListFile::saveRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("description");
    QTest::addRow("folder") << u"folder"_s << u"it is a folder."_s;
#ifdef Q_OS_UNIX
    QTest::addRow("pipe") << u"pipe"_s << u"it is not a plain file."_s;
#endif
    QTest::addRow("missing folder") << u"missing"_s << u"Cannot save"_s;
}

void tst_WordListFile::saveRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, description);
    QTemporaryDir folder;
    QString path = folder.filePath(u"words %1.txt"_s);
    if (kind == u"folder") {
        QVERIFY(QDir(folder.path()).mkdir(u"words %1.txt"_s));
    } else if (kind == u"pipe") {
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    } else {
        path = folder.filePath(u"absent/words.txt"_s);
    }

    try {
        WordListFile::save(path, {u"cat"_s});
        QFAIL("no failure");
    } catch (const Failure &failure) {
        QVERIFY2(failure.description().startsWith(u"Cannot save \""_s + QDir::toNativeSeparators(path) + u"\": "_s),
                 qPrintable(failure.description()));
        QVERIFY2(failure.description().contains(description), qPrintable(failure.description()));
    }
    // What was there is left as it was, and nothing is left beside it.
    if (kind != u"missing")
        QVERIFY(!QFileInfo(path).isFile());
    QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(tst_WordListFile)
#include "tst_wordlistfile.moc"
