// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/progressreport.h"

#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

const QDate kWritten(2026, 12, 9);

GameSummary game(int daysAgo, qint64 answered, qint64 correct, GameKind kind = GameKind::Practice)
{
    return {QDateTime(kWritten.addDays(-daysAgo), QTime(10, 0)), answered, correct, correct * 100 / answered, kind};
}

} // namespace

// The report as a reader gets its text; the PDF itself is read back with
// pdftotext through the Progress window.
class tst_ProgressReport : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
};

void tst_ProgressReport::text_data()
{
    QTest::addColumn<QString>("learner");
    QTest::addColumn<QList<GameSummary>>("games");
    QTest::addColumn<QList<WordToWorkOn>>("words");
    QTest::addColumn<QStringList>("expected");

    QTest::addRow("nothing played yet") << u"Ann"_s << QList<GameSummary>() << QList<WordToWorkOn>()
                                        << QStringList{u"Learner: Ann"_s,        u"List: week 1.txt"_s,
                                                       u"Written: 9 Dec 2026"_s, u"No games yet."_s,
                                                       u"No tests yet."_s,       u"Words secure: 2 of 5"_s,
                                                       u"Words to work on: 0."_s};
    QTest::addRow("markup and right-to-left text in the name are shown as typed")
        << u"<b>Ann</b> & \u05D3\u05E0\u05D4"_s << QList<GameSummary>() << QList<WordToWorkOn>()
        << QStringList{u"Learner: <b>Ann</b> & \u05D3\u05E0\u05D4"_s};
    QTest::addRow("days, tests with their scores, words with where they went wrong")
        << u"Ann"_s
        << QList<GameSummary>{game(0, 10, 8, GameKind::Test), game(0, 20, 10), game(3, 10, 5), game(3, 10, 10)}
        << QList<WordToWorkOn>{{u"receive"_s, 4, 2, u"recieve"_s}}
        << QStringList{u"Played from 6 Dec 2026 to 9 Dec 2026 on 2 days: 4 games."_s,
                       u"9 Dec 2026 8 of 10 80%"_s,
                       u"receive 4 2 recieve \"ie\" instead of \"ei\""_s,
                       u"6 Dec 2026 Practice 2 15 of 20 75%"_s,
                       u"9 Dec 2026 Test 1 8 of 10 80%"_s,
                       u"Words to work on: 1."_s};
    QTest::addRow("days after the report's are told")
        << u"Ann"_s << QList<GameSummary>{game(-400, 10, 10), game(1, 10, 9)} << QList<WordToWorkOn>()
        << QStringList{u"to 13 Jan 2028 on 2 days"_s, u"One of these days comes after the day of this report"_s};
}

void tst_ProgressReport::text()
{
    QFETCH(QString, learner);
    QFETCH(QList<GameSummary>, games);
    QFETCH(QList<WordToWorkOn>, words);
    QFETCH(QStringList, expected);
    ProgressReport report{learner, u"week 1.txt"_s, {games, words, 5, 2}, kWritten};

    QTextDocument document;
    document.setHtml(reportHtml(report, QString()));
    // Table cells and lines read as one run of words.
    const QString text = document.toPlainText().replace(QChar::ParagraphSeparator, u' ').simplified();

    for (const QString &part : expected)
        QVERIFY2(text.contains(part), qPrintable(part + u"\n in \n"_s + text));
}

QTEST_MAIN(tst_ProgressReport)
#include "tst_progressreport.moc"
