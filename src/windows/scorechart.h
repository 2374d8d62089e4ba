// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <memory>

class QGraphicsView;
class QWidget;

// The Progress window's chart of the score per game over time. It is drawn
// by Qt Charts, which the chart module links (core/programmodule.h): the
// first chart made loads it.
class ScoreChart
{
public:
    virtual ~ScoreChart() = default;
    // The chart's view, a child of the window the chart was made for.
    virtual QGraphicsView *view() const = 0;
    // Draws a line through the points, each a time in milliseconds since the
    // epoch and a score out of 100, with a mark on each point when `marked`.
    // The time axis runs from `first` to `last`; when they are not valid it
    // keeps the range it has.
    virtual void show(const QList<QPointF> &points, bool marked, const QDateTime &first, const QDateTime &last) = 0;
};

// Throws Failure when the chart module cannot be loaded.
std::unique_ptr<ScoreChart> makeScoreChart(QWidget *window);
