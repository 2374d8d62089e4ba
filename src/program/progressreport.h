// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/practicerecord.h"

#include <QDate>
#include <QImage>
#include <QString>

// The progress of one learner on one list, written for a parent or a teacher.
struct ProgressReport
{
    QString learner;
    QString list;
    ListProgress progress;
    QDate written;
};

// The report as rich text: learner, list, the days played, the tests with
// their scores, the chart (the image resource `chartName`, when not empty),
// the words to work on with where each went wrong. Every text of the learner
// and of the lists is escaped.
QString reportHtml(const ProgressReport &report, const QString &chartName);

// Writes the report as a PDF file of A4 pages with the chart, when not null,
// and puts it in the file's place only when complete. Throws Failure
// ("Cannot save ...") when it cannot be written; the old file is then left
// as it was.
void saveReportPdf(const QString &fileName, const ProgressReport &report, const QImage &chart);
