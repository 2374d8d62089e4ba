// SPDX-License-Identifier: GPL-3.0-or-later
// The chart module (core/programmodule.h): the Progress window's chart over
// Qt Charts, which makeScoreChart() loads for the first Progress window.
#include "windows/scorechart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QScatterSeries>

using namespace Qt::StringLiterals;

namespace {

// The score axis reaches a little beyond 0 % and 100 %, so that a mark on
// either is drawn whole inside the plot.
constexpr qreal kScoreMargin = 6;

class ChartOfScores : public ScoreChart
{
public:
    explicit ChartOfScores(QWidget *window)
    {
        auto *chart = new QChart();
        chart->legend()->setAlignment(Qt::AlignBottom);
        chart->setMargins(QMargins(4, 4, 4, 4));
        m_view = new QChartView(chart, window);
        m_view->setRenderHint(QPainter::Antialiasing);
    }

    QGraphicsView *view() const override { return m_view; }

    void show(const DayChart &days, bool marked) override
    {
        QChart *chart = m_view->chart();
        chart->removeAllSeries();
        // A removed axis is no longer the chart's to delete.
        for (QAbstractAxis *axis : chart->axes()) {
            chart->removeAxis(axis);
            delete axis;
        }
        auto *practice = new QLineSeries(chart);
        practice->setName(u"Practice"_s);
        practice->setPointsVisible(marked);
        auto *tests = new QScatterSeries(chart);
        tests->setName(u"Test"_s);
        tests->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        tests->setMarkerSize(10);
        for (const DayChart::Point &point : days.points)
            (point.kind == GameKind::Test ? static_cast<QXYSeries *>(tests) : practice)
                ->append(point.x, qreal(point.percent));
        chart->addSeries(practice);
        chart->addSeries(tests);
        // A legend only tells the two apart when there are tests.
        chart->legend()->setVisible(tests->count() > 0);

        auto *time = new QCategoryAxis(chart);
        time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        time->setRange(days.left, days.right);
        for (const DayChart::Label &label : days.labels)
            time->append(label.text, label.x);
        time->setGridLineVisible(false);
        auto *score = new QCategoryAxis(chart);
        score->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        score->setRange(-kScoreMargin, 100 + kScoreMargin);
        for (const int percent : {0, 50, 100})
            score->append(u"%1%"_s.arg(percent), percent);
        chart->addAxis(time, Qt::AlignBottom);
        chart->addAxis(score, Qt::AlignLeft);
        for (QXYSeries *series : {static_cast<QXYSeries *>(practice), static_cast<QXYSeries *>(tests)}) {
            series->attachAxis(time);
            series->attachAxis(score);
        }
    }

private:
    QChartView *m_view;
};

} // namespace

extern "C" Q_DECL_EXPORT ScoreChart *lexidrillNewScoreChart(QWidget *window)
{
    return new ChartOfScores(window);
}
