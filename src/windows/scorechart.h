// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/progressdays.h"

#include <memory>

class QGraphicsView;
class QWidget;

// The Progress window's chart of the share of answers right per day. It is
// drawn by Qt Charts, which the chart module links (core/programmodule.h):
// the first chart made loads it.
class ScoreChart
{
public:
    virtual ~ScoreChart() = default;
    // The chart's view, a child of the window the chart was made for.
    virtual QGraphicsView *view() const = 0;
    // Draws the practice days as a line and the tests as marks of their own,
    // with a mark on each practice day when `marked`.
    virtual void show(const DayChart &chart, bool marked) = 0;
};

// Throws Failure when the chart module cannot be loaded.
std::unique_ptr<ScoreChart> makeScoreChart(QWidget *window);
