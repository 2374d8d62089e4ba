// SPDX-License-Identifier: GPL-3.0-or-later
// What the word list editor shows of a list's recordings, read from real
// files in the list's recordings folder.
#include "audio/wavfile.h"
#include "program/listrecordings.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const VoiceAudio kVoice{16000, QByteArray(16000, '\x10')};

// Puts a file of the kind named as the word's part: "wav", "damaged"
// (not a WAV), "long" (over a minute) or "" (none).
void put(const ListRecordings &recordings, const QString &word, RecordingPart part, const QString &kind)
{
    if (kind.isEmpty())
        return;
    const QString path = recordings.folder().pathForNew(word, part);
    if (kind == u"wav"_s) {
        writeWavFile(path, kVoice);
    } else if (kind == u"long"_s) {
        writeWavFile(path, VoiceAudio{8000, QByteArray(61 * 8000 * 2, '\0')});
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("RIFF\xff\xff\xff\x7fWAVEjunk");
    }
}

// "cat=a,dog=b": the words whose word recording holds the sample byte
// named; "-" for none.
QMap<QString, char> filesOf(const QString &text)
{
    QMap<QString, char> files;
    for (const QString &entry : text.split(u',', Qt::SkipEmptyParts)) {
        const QStringList pair = entry.split(u'=');
        files.insert(pair.at(0), pair.at(1) == u"-"_s ? '\0' : pair.at(1).at(0).toLatin1());
    }
    return files;
}

char heldBy(const ListRecordings &recordings, const QString &word, RecordingPart part)
{
    const QString path = recordings.path(word, part);
    return path.isEmpty() ? '\0' : readWavFile(path).audio.samples.at(0);
}

} // namespace

class tst_ListRecordings : public QObject
{
    Q_OBJECT

private slots:
    void statusOfARow_data();
    void statusOfARow();
    void keepAndRemove();
    void savedUnderAnotherName();
    void recordingsFollowTheirRows_data();
    void recordingsFollowTheirRows();
    void partsFollowApart();
};

void tst_ListRecordings::statusOfARow_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("shown");

    QTest::addRow("nothing recorded") << QString() << QString() << u"none"_s;
    QTest::addRow("the word only") << u"wav"_s << QString() << u"word"_s;
    QTest::addRow("the sentence only") << QString() << u"wav"_s << u"sentence"_s;
    QTest::addRow("both") << u"wav"_s << u"wav"_s << u"word, sentence"_s;
    QTest::addRow("a file that is no WAV") << u"damaged"_s << u"wav"_s << u"word damaged, sentence"_s;
    QTest::addRow("longer than a minute") << QString() << u"long"_s << u"sentence damaged"_s;
}

void tst_ListRecordings::statusOfARow()
{
    QFETCH(QString, word);
    QFETCH(QString, sentence);
    QFETCH(QString, shown);
    QTemporaryDir folder;
    ListRecordings recordings(folder.filePath(u"week 3.dic"_s), folder.filePath(u"data"_s));
    put(recordings, u"Their"_s, RecordingPart::Word, word);
    put(recordings, u"Their"_s, RecordingPart::Sentence, sentence);
    QCOMPARE(recordings.statusText(u"Their"_s), shown);
    // Another word, even one differing only in case, has none.
    QCOMPARE(recordings.statusText(u"their"_s), u"none"_s);
}

void tst_ListRecordings::keepAndRemove()
{
    QTemporaryDir folder;
    ListRecordings recordings(folder.filePath(u"list.dic"_s), folder.filePath(u"data"_s));
    QCOMPARE(recordings.state(u"cat"_s, RecordingPart::Word), ListRecordings::State::None);
    recordings.keep(u"cat"_s, RecordingPart::Word, kVoice);
    // What was read before is read again once the recording changes.
    QCOMPARE(recordings.state(u"cat"_s, RecordingPart::Word), ListRecordings::State::Recorded);
    QCOMPARE(readWavFile(recordings.path(u"cat"_s, RecordingPart::Word)).audio.samples, kVoice.samples);
    QVERIFY(recordings.path(u"cat"_s, RecordingPart::Word).startsWith(folder.filePath(u"list.dic.audio/"_s)));
    QVERIFY(recordings.remove(u"cat"_s, RecordingPart::Word));
    QCOMPARE(recordings.state(u"cat"_s, RecordingPart::Word), ListRecordings::State::None);
}

void tst_ListRecordings::savedUnderAnotherName()
{
    QTemporaryDir folder;
    ListRecordings before(folder.filePath(u"list.dic"_s), folder.filePath(u"data"_s));
    before.keep(u"cat"_s, RecordingPart::Word, kVoice);
    before.keep(u"dog"_s, RecordingPart::Sentence, kVoice);
    ListRecordings after(folder.filePath(u"copy.dic"_s), folder.filePath(u"data"_s));
    // The new list's own recording of a word gives way to this list's; one
    // of a part this list has none of stays.
    const VoiceAudio own{16000, QByteArray(320, '\x20')};
    after.keep(u"cat"_s, RecordingPart::Word, own);
    after.keep(u"cat"_s, RecordingPart::Sentence, own);
    QCOMPARE(after.statusText(u"dog"_s), u"none"_s);

    QVERIFY(before.copyTo(after));
    QCOMPARE(after.statusText(u"dog"_s), u"sentence"_s);
    QCOMPARE(readWavFile(after.path(u"cat"_s, RecordingPart::Word)).audio.samples, kVoice.samples);
    QCOMPARE(readWavFile(after.path(u"cat"_s, RecordingPart::Sentence)).audio.samples, own.samples);
    // Nothing set aside while copying is left.
    QCOMPARE(QDir(after.folder().besideList()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    QVERIFY(after.path(u"dog"_s, RecordingPart::Sentence).startsWith(folder.filePath(u"copy.dic.audio/"_s)));
    QCOMPARE(before.statusText(u"dog"_s), u"sentence"_s);
}

void tst_ListRecordings::recordingsFollowTheirRows_data()
{
    QTest::addColumn<QString>("before");
    // "dog<cat": a row whose word was "cat" when the list was saved and is
    // "dog" now; "dog<": a row added since; "cat": a row unchanged.
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("after");

    QTest::addRow("a changed word takes its recording along")
        << u"cat=a"_s << QStringList{u"dog<cat"_s} << u"cat=-,dog=a"_s;
    QTest::addRow("two rows swap their words")
        << u"cat=a,dog=b"_s << QStringList{u"dog<cat"_s, u"cat<dog"_s} << u"cat=b,dog=a"_s;
    QTest::addRow("a row still of the old word keeps a copy")
        << u"cat=a"_s << QStringList{u"dog<cat"_s, u"cat"_s} << u"cat=a,dog=a"_s;
    QTest::addRow("a word a row keeps keeps its own")
        << u"cat=a,dog=b"_s << QStringList{u"dog<cat"_s, u"dog"_s} << u"cat=a,dog=b"_s;
    QTest::addRow("a row without one leaves the new word without")
        << u"dog=b"_s << QStringList{u"dog<cat"_s} << u"cat=-,dog=-"_s;
    QTest::addRow("a row added since shows what its word has") << u"dog=b"_s << QStringList{u"dog<"_s} << u"dog=b"_s;
    QTest::addRow("two rows of one word")
        << u"cat=a"_s << QStringList{u"dog<cat"_s, u"cow<cat"_s} << u"cat=-,dog=a,cow=a"_s;
    QTest::addRow("a change of letter case") << u"cat=a"_s << QStringList{u"Cat<cat"_s} << u"cat=-,Cat=a"_s;
    QTest::addRow("a word emptied is not saved") << u"cat=a"_s << QStringList{u" <cat"_s} << u"cat=a"_s;
    QTest::addRow("nothing changed") << u"cat=a,dog=b"_s << QStringList{u"cat"_s, u"dog"_s} << u"cat=a,dog=b"_s;
}

void tst_ListRecordings::recordingsFollowTheirRows()
{
    QFETCH(QString, before);
    QFETCH(QStringList, rows);
    QFETCH(QString, after);
    QTemporaryDir folder;
    ListRecordings recordings(folder.filePath(u"list.dic"_s), folder.filePath(u"data"_s));
    const QMap<QString, char> files = filesOf(before);
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        recordings.keep(file.key(), RecordingPart::Word, VoiceAudio{16000, QByteArray(320, file.value())});
    QList<FiledRow> filed;
    for (const QString &row : std::as_const(rows)) {
        const QStringList words = row.split(u'<');
        const QString from = words.size() > 1 ? words.at(1) : words.at(0);
        filed.append({words.at(0), from, from});
    }

    QVERIFY(recordings.follow(filed));

    const QMap<QString, char> expected = filesOf(after);
    for (auto file = expected.cbegin(); file != expected.cend(); ++file)
        QCOMPARE(heldBy(recordings, file.key(), RecordingPart::Word), file.value());
    // Nothing else is left in the folder, nothing set aside while moving.
    const QStringList names = QDir(recordings.folder().besideList()).entryList(QDir::Files | QDir::Hidden);
    qsizetype held = 0;
    for (const char sample : expected)
        held += sample != '\0';
    QCOMPARE(names.size(), held);
}

void tst_ListRecordings::partsFollowApart()
{
    // The row's word was recorded again under its new word; its sentence
    // recording is still the old word's.
    QTemporaryDir folder;
    ListRecordings recordings(folder.filePath(u"list.dic"_s), folder.filePath(u"data"_s));
    recordings.keep(u"cat"_s, RecordingPart::Word, VoiceAudio{16000, QByteArray(320, 'a')});
    recordings.keep(u"cat"_s, RecordingPart::Sentence, VoiceAudio{16000, QByteArray(320, 'c')});
    recordings.keep(u"dog"_s, RecordingPart::Word, VoiceAudio{16000, QByteArray(320, 'b')});
    QCOMPARE(recordings.statusText(u"dog"_s, u"cat"_s), u"word, sentence"_s);

    QVERIFY(recordings.follow({{u"dog"_s, u"dog"_s, u"cat"_s}}));

    QCOMPARE(heldBy(recordings, u"dog"_s, RecordingPart::Word), 'b');
    QCOMPARE(heldBy(recordings, u"dog"_s, RecordingPart::Sentence), 'c');
    QCOMPARE(heldBy(recordings, u"cat"_s, RecordingPart::Sentence), '\0');
    // The old word's own recording went with no row: it stays.
    QCOMPARE(heldBy(recordings, u"cat"_s, RecordingPart::Word), 'a');
}

QTEST_GUILESS_MAIN(tst_ListRecordings)
#include "tst_listrecordings.moc"
