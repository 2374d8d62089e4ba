// SPDX-License-Identifier: GPL-3.0-or-later
// The frames between the program and its speech helper: texts come back as
// they went, and a damaged or truncated stream is caught, never trusted.

#include "speechprotocol/speechprotocol.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace SpeechProtocol;

class tst_SpeechProtocol : public QObject
{
    Q_OBJECT

private slots:
    void textsComeBackAsTheyWent_data();
    void textsComeBackAsTheyWent();
    void framesSplitAnywhereReadTheSame();
    void damagedStream_data();
    void damagedStream();
    void numbersOutsideTheirRange_data();
    void numbersOutsideTheirRange();
};

void tst_SpeechProtocol::textsComeBackAsTheyWent_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addRow("no fields") << QStringList();
    QTest::addRow("plain word") << QStringList{u"cat"_s};
    QTest::addRow("spaces, line ends and tabs") << QStringList{u" two words \n\r\tthen"_s};
    QTest::addRow("empty texts between others") << QStringList{QString(), u"x"_s, QString()};
    QTest::addRow("a lone dash is no empty text") << QStringList{u"-"_s, u"--"_s};
    QTest::addRow("percent signs") << QStringList{u"100% %41 %"_s};
    QTest::addRow("accents and other scripts") << QStringList{u"Amy (English – United States)"_s, u"café 東京"_s};
}

void tst_SpeechProtocol::textsComeBackAsTheyWent()
{
    QFETCH(QStringList, texts);
    const QByteArray frame = encodeTexts("ready", texts);
    QVERIFY(frame.endsWith('\n'));
    QCOMPARE(frame.count('\n'), 1);

    FrameReader reader;
    reader.feed(frame);
    const std::optional<Message> message = reader.next();
    QVERIFY2(message, qPrintable(reader.problem()));
    QCOMPARE(message->verb, QByteArray("ready"));
    QStringList decoded;
    for (qsizetype i = 0; i < message->fields.size(); ++i)
        decoded.append(*message->text(i));
    QCOMPARE(decoded, texts);
    QVERIFY(!reader.next());
    QVERIFY(!reader.damaged());
}

void tst_SpeechProtocol::framesSplitAnywhereReadTheSame()
{
    const QByteArray stream
        = encode("hello", {"1"}) + encodeTexts("ready", {u"speechd"_s, u"Amy – US"_s}) + encode("done", {"7"});
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        FrameReader reader;
        QList<QByteArray> verbs;
        for (const QByteArray &part : {stream.left(cut), stream.mid(cut)}) {
            reader.feed(part);
            while (const auto message = reader.next())
                verbs.append(message->verb);
        }
        QCOMPARE(verbs, (QList<QByteArray>{"hello", "ready", "done"}));
        QVERIFY(!reader.damaged());
    }
}

void tst_SpeechProtocol::damagedStream_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("empty line") << QByteArray("\n");
    QTest::addRow("escape cut short") << QByteArray("done %4\n");
    QTest::addRow("escape that is no hex") << QByteArray("ready %zz\n");
    QTest::addRow("control byte") << QByteArray("done 1\x01\n");
    QTest::addRow("byte above ASCII") << QByteArray("ready caf\xc3\xa9\n");
    QTest::addRow("two spaces: an empty field") << QByteArray("done  1\n");
    QTest::addRow("line without a verb") << QByteArray(" 1\n");
    QTest::addRow("carriage return") << QByteArray("done 1\r\n");
    QTest::addRow("endless line") << QByteArray(kMaxFrame + 1, 'a');
    QTest::addRow("too long a line") << QByteArray(kMaxFrame + 1, 'a') + '\n';
}

void tst_SpeechProtocol::damagedStream()
{
    QFETCH(QByteArray, bytes);
    FrameReader reader;
    reader.feed(bytes);
    reader.feed(encode("done", {"1"}));
    QVERIFY(!reader.next());
    QVERIFY(reader.damaged());
    QVERIFY(!reader.problem().isEmpty());
    // Nothing after the damage is read either.
    QVERIFY(!reader.next());
}

void tst_SpeechProtocol::numbersOutsideTheirRange_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("accepted");
    QTest::addRow("lowest") << QByteArray("-10") << true;
    QTest::addRow("highest") << QByteArray("10") << true;
    QTest::addRow("below") << QByteArray("-11") << false;
    QTest::addRow("above") << QByteArray("11") << false;
    QTest::addRow("huge") << QByteArray("99999999999999999999999") << false;
    QTest::addRow("not a number") << QByteArray("ten") << false;
    QTest::addRow("trailing text") << QByteArray("1x") << false;
}

void tst_SpeechProtocol::numbersOutsideTheirRange()
{
    QFETCH(QByteArray, field);
    QFETCH(bool, accepted);
    const std::optional<Message> message = decodeLine(encode("rate", {"1", field}).chopped(1));
    QVERIFY(message);
    QCOMPARE(message->number(1, -10, 10).has_value(), accepted);
    QVERIFY(!message->number(2, -10, 10));
}

QTEST_GUILESS_MAIN(tst_SpeechProtocol)
#include "tst_speechprotocol.moc"
