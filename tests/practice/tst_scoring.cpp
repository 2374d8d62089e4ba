// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/scoring.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Scoring : public QObject
{
    Q_OBJECT

private slots:
    void percent_data();
    void percent();
    void isCorrect_data();
    void isCorrect();
    void tally_data();
    void tally();
};

void tst_Scoring::percent_data()
{
    QTest::addColumn<qint64>("correct");
    QTest::addColumn<qint64>("wrong");
    QTest::addColumn<qint64>("expected");
    QTest::addRow("one of eight rounds half up") << qint64(1) << qint64(7) << qint64(13);
    QTest::addRow("two of three") << qint64(2) << qint64(1) << qint64(67);
    QTest::addRow("one of three") << qint64(1) << qint64(2) << qint64(33);
    QTest::addRow("none of one") << qint64(0) << qint64(1) << qint64(0);
    QTest::addRow("three of three") << qint64(3) << qint64(0) << qint64(100);
    QTest::addRow("nothing answered") << qint64(0) << qint64(0) << qint64(0);
    QTest::addRow("23 of 40 is exactly 57.5") << qint64(23) << qint64(17) << qint64(58);
    QTest::addRow("29 of 200 is exactly 14.5") << qint64(29) << qint64(171) << qint64(15);
    QTest::addRow("beyond 16-bit counts") << qint64(30000) << qint64(10000) << qint64(75);
    QTest::addRow("32768 of 65536") << qint64(32768) << qint64(32768) << qint64(50);
    QTest::addRow("billions of answers") << qint64(3'000'000'001) << qint64(999'999'999) << qint64(75);
}

void tst_Scoring::percent()
{
    QFETCH(qint64, correct);
    QFETCH(qint64, wrong);
    QFETCH(qint64, expected);
    QCOMPARE(Scoring::percent(correct, wrong), expected);
    QCOMPARE(Scoring::scoreText({correct, wrong}), u"Score: %1%"_s.arg(expected));
}

void tst_Scoring::isCorrect_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("expected");
    QTest::addRow("same") << u"necessary"_s << u"necessary"_s << true;
    QTest::addRow("upper case typed") << u"NECESSARY"_s << u"necessary"_s << true;
    QTest::addRow("mixed case in the list") << u"cat"_s << u"Cat"_s << true;
    QTest::addRow("trailing space") << u"necessary "_s << u"necessary"_s << false;
    QTest::addRow("leading space") << u" cat"_s << u"cat"_s << false;
    QTest::addRow("spaces only") << u"   "_s << u"cat"_s << false;
    QTest::addRow("punctuation counts") << u"cat."_s << u"cat"_s << false;
    QTest::addRow("misspelt") << u"dgo"_s << u"dog"_s << false;
    QTest::addRow("sharp s against double S") << u"STRASSE"_s << u"straße"_s << true;
    QTest::addRow("sharp s against lower ss") << u"strasse"_s << u"Straße"_s << true;
    QTest::addRow("ligature fi") << u"FISH"_s << u"\uFB01sh"_s << true;
    QTest::addRow("accents count") << u"cafe"_s << u"café"_s << false;
    QTest::addRow("accented upper case") << u"CAFÉ"_s << u"café"_s << true;
}

void tst_Scoring::isCorrect()
{
    QFETCH(QString, typed);
    QFETCH(QString, given);
    QFETCH(bool, expected);
    QCOMPARE(Scoring::isCorrect(typed, given), expected);
}

void tst_Scoring::tally_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<qint64>("correct");
    QTest::addColumn<qint64>("wrong");
    QTest::addRow("nothing answered") << QStringList{u"cat"_s} << QStringList() << qint64(0) << qint64(0);
    QTest::addRow("unanswered last word left out")
        << QStringList{u"cat"_s, u"dog"_s, u"owl"_s, u"emu"_s} << QStringList{u"cat"_s, u"DOG"_s, u"ow"_s} << qint64(2)
        << qint64(1);
    QStringList given;
    QStringList typed;
    for (int k = 0; k < 40000; ++k) {
        given.append(u"word"_s);
        typed.append(k % 4 == 3 ? u"wrod"_s : u"WORD"_s);
    }
    given.append(u"word"_s);
    QTest::addRow("40000 answers") << given << typed << qint64(30000) << qint64(10000);
}

void tst_Scoring::tally()
{
    QFETCH(QStringList, given);
    QFETCH(QStringList, typed);
    QFETCH(qint64, correct);
    QFETCH(qint64, wrong);
    const Scoring::Tally result = Scoring::tally(given, typed);
    QCOMPARE(result.correct, correct);
    QCOMPARE(result.wrong, wrong);
}

QTEST_GUILESS_MAIN(tst_Scoring)
#include "tst_scoring.moc"
