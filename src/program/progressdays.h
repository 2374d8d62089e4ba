// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/practicerecord.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// One day's games of one kind: the share of that day's answers that were
// right.
struct DayScore
{
    QDate day;
    GameKind kind = GameKind::Practice;
    qint64 games = 0;
    qint64 answered = 0;
    qint64 correct = 0;
    qint64 percent = 0; // as the results window computes a score
};

// The computer's clock at instants that come several to a day, such as the
// games of a history. Each conversion to local time has the C library look at
// the time zone file again, which over 50,000 games was half the Progress
// window's opening: a day's span is checked once, when a second instant falls
// in it (the clock's offset the same at its first and its last moment), and
// the instants in it are read off it. A day whose clock changes is converted
// instant by instant; one changed and changed back within the day would pass
// for steady.
class LocalClock
{
public:
    // The date and time toLocalTime() gives, at the clock's offset from UTC
    // then; invalid for an invalid instant.
    QDateTime at(const QDateTime &instant);

private:
    qint64 m_start = 0; // the local midnight of the day last converted, if its offset held
    int m_offset = 0;
    bool m_known = false;
    bool m_checked = false;
    bool m_steady = false;
};

// The games by local day and kind, the earliest day first, practice before a
// test on the same day. Games without answers are left out.
QList<DayScore> scoresByDay(const QList<GameSummary> &games);

// The chart of the day scores: the days played are evenly spaced, one place
// each, whatever lies between them, so that a day played long ago or dated
// ahead by a clock that was wrong squeezes no other day.
struct DayChart
{
    struct Point
    {
        qreal x = 0;
        qint64 percent = 0;
        GameKind kind = GameKind::Practice;
    };
    struct Label
    {
        qreal x = 0;
        QString text;
    };

    QList<Point> points;
    // Half a place beyond the first and the last day: every point lies
    // inside the plot.
    qreal left = 0;
    qreal right = 0;
    // At most the number asked for, never two alike, the first and the
    // last day always among them.
    QList<Label> labels;
};

DayChart dayChart(const QList<DayScore> &days, int mostLabels);

// A day as the chart and the report write it: "9 Dec 2026", in English as
// every text of the program.
QString dayText(const QDate &day);

// The number of different days.
qsizetype daysPlayed(const QList<DayScore> &days);

// The number of days after `today` among the days: games dated in the future
// were recorded while the computer's clock was ahead.
qsizetype daysAfter(const QList<DayScore> &days, const QDate &today);
