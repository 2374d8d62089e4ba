// SPDX-License-Identifier: GPL-3.0-or-later
#include "progressdays.h"

#include "practice/scoring.h"

#include <QLocale>
#include <QMap>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMsPerDay = 24 * 3600 * 1000;

int offsetAt(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc();
}

} // namespace

QDateTime LocalClock::at(const QDateTime &instant)
{
    if (!instant.isValid())
        return QDateTime();
    const qint64 ms = instant.toMSecsSinceEpoch();
    if (m_known && ms >= m_start && ms - m_start < kMsPerDay) {
        if (!m_checked) {
            m_checked = true;
            m_steady = offsetAt(m_start) == m_offset && offsetAt(m_start + kMsPerDay - 1) == m_offset;
        }
        if (m_steady)
            return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, m_offset);
        const QDateTime local = instant.toLocalTime();
        return local.toOffsetFromUtc(local.offsetFromUtc());
    }
    const QDateTime local = instant.toLocalTime();
    m_offset = local.offsetFromUtc();
    // Local midnight, if the clock keeps this offset all day.
    m_start = ms - local.time().msecsSinceStartOfDay();
    m_known = true;
    m_checked = false;
    return local.toOffsetFromUtc(m_offset);
}

QList<DayScore> scoresByDay(const QList<GameSummary> &games)
{
    QMap<std::pair<QDate, int>, DayScore> byDay;
    LocalClock clock;
    for (const GameSummary &game : games) {
        if (game.answered <= 0)
            continue;
        const QDate day = clock.at(game.started).date();
        DayScore &score = byDay[{day, int(game.kind)}];
        score.day = day;
        score.kind = game.kind;
        ++score.games;
        score.answered += game.answered;
        score.correct += game.correct;
    }
    QList<DayScore> days;
    days.reserve(byDay.size());
    for (DayScore &score : byDay) {
        score.percent = Scoring::percent(score.correct, score.answered - score.correct);
        days.append(score);
    }
    return days;
}

QString dayText(const QDate &day)
{
    return QLocale::c().toString(day, u"d MMM yyyy"_s);
}

DayChart dayChart(const QList<DayScore> &days, int mostLabels)
{
    DayChart chart;
    QList<QDate> places;
    for (const DayScore &score : days) {
        if (places.isEmpty() || places.constLast() != score.day)
            places.append(score.day);
        chart.points.append({qreal(places.size() - 1), score.percent, score.kind});
    }
    chart.left = -0.5;
    chart.right = qreal(std::max<qsizetype>(places.size(), 1)) - 0.5;
    if (places.isEmpty() || mostLabels <= 0)
        return chart;

    // Within one year the year is left out, and never needed to tell two
    // days apart.
    const bool oneYear = places.constFirst().year() == places.constLast().year();
    const auto text
        = [oneYear](const QDate &day) { return oneYear ? QLocale::c().toString(day, u"d MMM"_s) : dayText(day); };
    const qsizetype last = places.size() - 1;
    if (mostLabels == 1 || last == 0) {
        chart.labels.append({0, text(places.constFirst())});
        return chart;
    }
    const qsizetype step = (last + mostLabels - 2) / (mostLabels - 1);
    for (qsizetype place = 0; place < last; place += step) {
        // The last day's label needs the room of a whole step.
        if (place > 0 && last - place < step)
            break;
        chart.labels.append({qreal(place), text(places.at(place))});
    }
    chart.labels.append({qreal(last), text(places.at(last))});
    return chart;
}

qsizetype daysAfter(const QList<DayScore> &days, const QDate &today)
{
    QList<QDate> later;
    for (const DayScore &score : days) {
        if (score.day > today && !later.contains(score.day))
            later.append(score.day);
    }
    return later.size();
}

qsizetype daysPlayed(const QList<DayScore> &days)
{
    qsizetype played = 0;
    for (qsizetype i = 0; i < days.size(); ++i)
        played += i == 0 || days.at(i).day != days.at(i - 1).day;
    return played;
}
