// SPDX-License-Identifier: GPL-3.0-or-later
// The chart module (core/programmodule.h): the Progress window's chart over
// Qt Charts, which makeScoreChart() loads for the first Progress window.
#include "windows/scorechart.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

using namespace Qt::StringLiterals;

namespace {

class ChartOfScores : public ScoreChart
{
public:
    explicit ChartOfScores(QWidget *window)
    {
        auto *chart = new QChart();
        chart->legend()->hide();
        chart->setMargins(QMargins());
        m_view = new QChartView(chart, window);
    }

    QGraphicsView *view() const override { return m_view; }

    void show(const QList<QPointF> &points, bool marked, const QDateTime &first, const QDateTime &last) override
    {
        QChart *chart = m_view->chart();
        chart->removeAllSeries();
        // A removed axis is no longer the chart's to delete.
        for (QAbstractAxis *axis : chart->axes()) {
            chart->removeAxis(axis);
            delete axis;
        }
        auto *series = new QLineSeries(chart);
        series->replace(points);
        series->setPointsVisible(marked);
        chart->addSeries(series);

        auto *time = new QDateTimeAxis(chart);
        time->setFormat(u"MM-dd"_s);
        time->setTickCount(3);
        if (first.isValid() && last.isValid())
            time->setRange(first, last);
        auto *score = new QValueAxis(chart);
        score->setRange(0, 100);
        score->setLabelFormat(u"%d%%"_s);
        score->setTickCount(3);
        chart->addAxis(time, Qt::AlignBottom);
        chart->addAxis(score, Qt::AlignLeft);
        series->attachAxis(time);
        series->attachAxis(score);
    }

private:
    QChartView *m_view;
};

} // namespace

extern "C" Q_DECL_EXPORT ScoreChart *lexidrillNewScoreChart(QWidget *window)
{
    return new ChartOfScores(window);
}
