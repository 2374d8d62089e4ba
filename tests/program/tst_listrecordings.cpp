// SPDX-License-Identifier: GPL-3.0-or-later
// What the word list editor shows of a list's recordings, read from real
// files in the list's recordings folder.
#include "audio/wavfile.h"
#include "program/listrecordings.h"

#include <QDir>
#include <QFile>
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

} // namespace

class tst_ListRecordings : public QObject
{
    Q_OBJECT

private slots:
    void statusOfARow_data();
    void statusOfARow();
    void keepAndRemove();
    void savedUnderAnotherName();
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
    // A recording the new list already has stays its own.
    const VoiceAudio own{16000, QByteArray(320, '\x20')};
    after.keep(u"cat"_s, RecordingPart::Word, own);
    QCOMPARE(after.statusText(u"dog"_s), u"none"_s);

    QVERIFY(before.copyTo(after));
    QCOMPARE(after.statusText(u"dog"_s), u"sentence"_s);
    QCOMPARE(readWavFile(after.path(u"cat"_s, RecordingPart::Word)).audio.samples, own.samples);
    QVERIFY(after.path(u"dog"_s, RecordingPart::Sentence).startsWith(folder.filePath(u"copy.dic.audio/"_s)));
    QCOMPARE(before.statusText(u"dog"_s), u"sentence"_s);
}

QTEST_GUILESS_MAIN(tst_ListRecordings)
#include "tst_listrecordings.moc"
