// SPDX-License-Identifier: GPL-3.0-or-later
#include "scorechart.h"

#include "core/programmodule.h"

using namespace Qt::StringLiterals;

std::unique_ptr<ScoreChart> makeScoreChart(QWidget *window)
{
    using NewChart = ScoreChart *(*)(QWidget *);
    const auto newChart = reinterpret_cast<NewChart>(programModuleFunction(u"charts"_s, "lexidrillNewScoreChart"));
    return std::unique_ptr<ScoreChart>(newChart(window));
}
