// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/progressdays.h"
#include "timezone.h"

#include <QSet>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2026, 12, 9);

// Games written "day hour answered correct", the day counted from kToday,
// with " test" after a test.
QList<GameSummary> gamesOf(const QStringList &texts)
{
    QList<GameSummary> games;
    for (const QString &text : texts) {
        const QStringList parts = text.split(u' ');
        GameSummary game;
        game.started = QDateTime(kToday.addDays(parts.at(0).toInt()), QTime(parts.at(1).toInt(), 0));
        game.answered = parts.at(2).toLongLong();
        game.correct = parts.at(3).toLongLong();
        game.kind = parts.size() > 4 ? GameKind::Test : GameKind::Practice;
        // Newest first, as the history gives them.
        games.prepend(game);
    }
    return games;
}

} // namespace

class tst_ProgressDays : public QObject
{
    Q_OBJECT

private slots:
    void scoresByDay_data();
    void scoresByDay();
    void chart_data();
    void chart();
    void localClockReadsAsLocalTime_data();
    void localClockReadsAsLocalTime();
    void gamesCountOnTheirLocalDay();
};

void tst_ProgressDays::scoresByDay_data()
{
    QTest::addColumn<QStringList>("games");
    QTest::addColumn<QStringList>("expected"); // "day kind games answered correct percent"
    QTest::addColumn<int>("daysAhead");

    QTest::addRow("no games") << QStringList() << QStringList() << 0;
    QTest::addRow("one game") << QStringList{u"0 10 20 15"_s} << QStringList{u"0 practice 1 20 15 75%"_s} << 0;
    QTest::addRow("games of one day are one point of all their answers")
        << QStringList{u"-1 9 10 10"_s, u"-1 18 30 10"_s} << QStringList{u"-1 practice 2 40 20 50%"_s} << 0;
    QTest::addRow("a game without answers is left out")
        << QStringList{u"-2 9 0 0"_s, u"0 9 4 1"_s} << QStringList{u"0 practice 1 4 1 25%"_s} << 0;
    QTest::addRow("midnight parts two days") << QStringList{u"-1 23 2 2"_s, u"0 0 2 0"_s}
                                             << QStringList{u"-1 practice 1 2 2 100%"_s, u"0 practice 1 2 0 0%"_s} << 0;
    QTest::addRow("a test is apart from the practice of its day")
        << QStringList{u"0 9 10 5"_s, u"0 10 8 8 test"_s, u"0 11 10 10"_s}
        << QStringList{u"0 practice 2 20 15 75%"_s, u"0 test 1 8 8 100%"_s} << 0;
    QTest::addRow("games dated ahead by a wrong clock keep their days, the earliest first")
        << QStringList{u"400 9 5 5"_s, u"401 9 5 0"_s, u"-3 9 5 4"_s, u"0 9 5 3"_s}
        << QStringList{u"-3 practice 1 5 4 80%"_s, u"0 practice 1 5 3 60%"_s, u"400 practice 1 5 5 100%"_s,
                       u"401 practice 1 5 0 0%"_s}
        << 2;
}

void tst_ProgressDays::scoresByDay()
{
    QFETCH(QStringList, games);
    QFETCH(QStringList, expected);
    QFETCH(int, daysAhead);

    const QList<DayScore> days = ::scoresByDay(gamesOf(games));

    QStringList texts;
    for (const DayScore &day : days) {
        texts.append(u"%1 %2 %3 %4 %5 %6%"_s.arg(kToday.daysTo(day.day))
                         .arg(day.kind == GameKind::Test ? u"test"_s : u"practice"_s)
                         .arg(day.games)
                         .arg(day.answered)
                         .arg(day.correct)
                         .arg(day.percent));
    }
    QCOMPARE(texts, expected);
    QCOMPARE(daysAfter(days, kToday), daysAhead);
}

void tst_ProgressDays::chart_data()
{
    QTest::addColumn<QList<int>>("days"); // counted from kToday, one practice game each
    QTest::addColumn<int>("mostLabels");
    QTest::addColumn<QStringList>("labels");

    QTest::addRow("nothing to show") << QList<int>() << 6 << QStringList();
    QTest::addRow("one day") << QList<int>{0} << 6 << QStringList{u"9 Dec"_s};
    QTest::addRow("days apart are next to each other")
        << QList<int>{-300, -2, 0} << 6 << QStringList{u"12 Feb"_s, u"7 Dec"_s, u"9 Dec"_s};
    QTest::addRow("days of two years carry the year")
        << QList<int>{0, 25} << 6 << QStringList{u"9 Dec 2026"_s, u"3 Jan 2027"_s};
    QTest::addRow("a day dated years ahead takes one place")
        << QList<int>{-1, 0, 1000} << 6 << QStringList{u"8 Dec 2026"_s, u"9 Dec 2026"_s, u"4 Sep 2029"_s};
    QList<int> sixty;
    for (int day = -59; day <= 0; ++day)
        sixty.append(day);
    QTest::addRow("60 days: a few dates, the first and the last among them")
        << sixty << 6 << QStringList{u"11 Oct"_s, u"23 Oct"_s, u"4 Nov"_s, u"16 Nov"_s, u"9 Dec"_s};
    QTest::addRow("no room for labels") << QList<int>{0, 1} << 0 << QStringList();
}

void tst_ProgressDays::chart()
{
    QFETCH(QList<int>, days);
    QFETCH(int, mostLabels);
    QFETCH(QStringList, labels);
    QStringList games;
    // Two games a day, and a test on each even day.
    for (const int day : days) {
        games.append(u"%1 9 10 %2"_s.arg(day).arg(qAbs(day) % 11));
        games.append(u"%1 17 10 10"_s.arg(day));
        if (day % 2 == 0)
            games.append(u"%1 12 10 10 test"_s.arg(day));
    }

    const DayChart chart = dayChart(::scoresByDay(gamesOf(games)), mostLabels);

    QStringList texts;
    QSet<qreal> places;
    for (const DayChart::Label &label : chart.labels)
        texts.append(label.text);
    QCOMPARE(texts, labels);
    QCOMPARE(QSet<QString>(texts.cbegin(), texts.cend()).size(), texts.size());
    if (!chart.labels.isEmpty()) {
        QCOMPARE(chart.labels.constFirst().x, 0);
        QCOMPARE(chart.labels.constLast().x, days.size() - 1);
    }
    // One place a day, the test beside the day's practice, every point
    // inside the plot.
    for (const DayChart::Point &point : chart.points) {
        places.insert(point.x);
        QVERIFY(point.x > chart.left && point.x < chart.right);
        QVERIFY(point.percent >= 0 && point.percent <= 100);
    }
    QCOMPARE(places.size(), days.size());
    const auto tests = std::count_if(days.cbegin(), days.cend(), [](int day) { return day % 2 == 0; });
    QCOMPARE(chart.points.size(), days.size() + tests);
    QVERIFY(chart.right - chart.left >= 1);
}

void tst_ProgressDays::localClockReadsAsLocalTime_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("moment"); // read around it, a day and a half each way

    const auto utc = [](int year, int month, int day, int hour, int minute = 0) {
        return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
    };
    QTest::addRow("a clock without changes") << QByteArray("UTC") << utc(2026, 12, 9, 12);
    QTest::addRow("clocks forward an hour at one") << QByteArray("Europe/London") << utc(2026, 3, 29, 1);
    QTest::addRow("clocks back an hour at two") << QByteArray("Europe/London") << utc(2026, 10, 25, 1);
    QTest::addRow("clocks forward from midnight") << QByteArray("America/Havana") << utc(2026, 3, 8, 5);
    QTest::addRow("clocks back to midnight") << QByteArray("America/Havana") << utc(2026, 11, 1, 5);
    QTest::addRow("clocks forward half an hour") << QByteArray("Australia/Lord_Howe") << utc(2026, 10, 3, 15, 30);
    QTest::addRow("a day left out of the calendar") << QByteArray("Pacific/Apia") << utc(2011, 12, 30, 10);
    QTest::addRow("a summer before 1970") << QByteArray("America/New_York") << utc(1965, 7, 1, 12);
    QTest::addRow("clocks forward after 2038") << QByteArray("Europe/London") << utc(2040, 3, 25, 1);
}

void tst_ProgressDays::localClockReadsAsLocalTime()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, moment);
    const TimeZoneForTest inZone(zone.constData());

    // A reading every 7 minutes 13 seconds, so that they fall on every
    // minute of the hour in turn, and on the moment itself.
    QList<QDateTime> instants;
    for (qint64 seconds = -36 * 3600; seconds <= 36 * 3600; seconds += 433)
        instants.append(moment.addSecs(seconds));
    instants.append(moment);
    instants.append(moment.addMSecs(-1));
    std::sort(instants.begin(), instants.end());

    const auto misread = [](const QList<QDateTime> &order) {
        LocalClock clock;
        QStringList wrong;
        for (const QDateTime &instant : order) {
            const QDateTime local = instant.toLocalTime();
            const QDateTime read = clock.at(instant);
            if (read != instant || read.date() != local.date() || read.time() != local.time()
                || read.offsetFromUtc() != local.offsetFromUtc())
                wrong.append(instant.toString(Qt::ISODateWithMs) + u" read as "_s + read.toString(Qt::ISODateWithMs)
                             + u", not "_s + local.toString(Qt::ISODateWithMs));
        }
        return wrong;
    };
    // Newest first, as the history gives games, and oldest first.
    QList<QDateTime> newestFirst = instants;
    std::reverse(newestFirst.begin(), newestFirst.end());
    QCOMPARE(misread(newestFirst), QStringList());
    QCOMPARE(misread(instants), QStringList());
    QVERIFY(!LocalClock().at(QDateTime()).isValid());
}

void tst_ProgressDays::gamesCountOnTheirLocalDay()
{
    // 13 hours ahead of UTC in December: from 11:00 by UTC on, the games
    // are the next day's.
    const TimeZoneForTest inZone("Pacific/Auckland");
    QList<GameSummary> games;
    for (const int hour : {14, 11, 10}) {
        GameSummary game;
        game.started = QDateTime(kToday, QTime(hour, 0), Qt::UTC);
        game.answered = 4;
        game.correct = hour == 10 ? 0 : 4;
        games.append(game);
    }

    const QList<DayScore> days = ::scoresByDay(games);

    QCOMPARE(days.size(), 2);
    QCOMPARE(days.at(0).day, kToday);
    QCOMPARE(days.at(0).games, 1);
    QCOMPARE(days.at(0).percent, 0);
    QCOMPARE(days.at(1).day, kToday.addDays(1));
    QCOMPARE(days.at(1).games, 2);
    QCOMPARE(days.at(1).percent, 100);
}

QTEST_GUILESS_MAIN(tst_ProgressDays)
#include "tst_progressdays.moc"
