// SPDX-License-Identifier: GPL-3.0-or-later
#include "progressreport.h"

#include "core/apptitle.h"
#include "core/safesave.h"
#include "practice/answercheck.h"
#include "practice/misspelling.h"
#include "program/progressdays.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextOption>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// A shown text of the learner or a list, as rich text.
QString escaped(const QString &text)
{
    return AnswerCheck::shown(text, AnswerCheck::kLongestShown).toHtmlEscaped();
}

QString row(const QStringList &cells, bool heading = false)
{
    const QString tag = heading ? u"th"_s : u"td"_s;
    QString html = u"<tr>"_s;
    for (const QString &cell : cells)
        html += u"<%1>%2</%1>"_s.arg(tag, cell);
    return html + u"</tr>"_s;
}

QString table(const QStringList &titles, const QStringList &rows)
{
    return u"<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"_s + row(titles, true) + rows.join(QString())
        + u"</table>"_s;
}

} // namespace

QString reportHtml(const ProgressReport &report, const QString &chartName)
{
    const ListProgress &progress = report.progress;
    QString html = u"<html><body>"_s;
    html += u"<h1>Spelling progress</h1>"_s;
    html += u"<p>Learner: %1<br>List: %2<br>Written: %3</p>"_s.arg(escaped(report.learner), escaped(report.list),
                                                                   dayText(report.written));

    const QList<DayScore> days = scoresByDay(progress.games);
    if (days.isEmpty()) {
        html += u"<p>No games yet.</p>"_s;
    } else {
        html += u"<p>Played from %1 to %2 on %3 days: %4 games.</p>"_s
                    .arg(dayText(days.constFirst().day), dayText(days.constLast().day))
                    .arg(daysPlayed(days))
                    .arg(progress.games.size());
        const qsizetype ahead = daysAfter(days, report.written);
        if (ahead == 1)
            html += u"<p>One of these days comes after the day of this report: its games were played while the"
                    " computer's clock was wrong.</p>"_s;
        else if (ahead > 1)
            html += u"<p>%1 of these days come after the day of this report: their games were played while the"
                    " computer's clock was wrong.</p>"_s.arg(ahead);
    }
    html += u"<p>Words secure: %1 of %2 (right in two separate later games). Words to work on: %3.</p>"_s
                .arg(progress.secure)
                .arg(progress.words)
                .arg(progress.toWorkOn.size());

    html += u"<h2>Tests</h2>"_s;
    QStringList tests;
    for (const GameSummary &game : progress.games) {
        if (game.kind == GameKind::Test)
            tests.append(row({dayText(game.started.toLocalTime().date()),
                              u"%1 of %2"_s.arg(game.correct).arg(game.answered), u"%1%"_s.arg(game.score)}));
    }
    html += tests.isEmpty() ? u"<p>No tests yet.</p>"_s : table({u"Date"_s, u"Right"_s, u"Score"_s}, tests);

    if (!chartName.isEmpty() && !days.isEmpty()) {
        html += u"<h2>Share of answers right per day</h2>"_s;
        html += u"<p><img src=\"%1\" width=\"640\"></p>"_s.arg(chartName.toHtmlEscaped());
    }

    html += u"<h2>Words to work on</h2>"_s;
    QStringList words;
    for (const WordToWorkOn &word : progress.toWorkOn) {
        words.append(
            row({escaped(word.word), QString::number(word.asked), QString::number(word.wrong),
                 escaped(word.lastSpelling), Misspelling::explain(word.lastSpelling, word.word).toHtmlEscaped()}));
    }
    html += words.isEmpty()
        ? u"<p>None.</p>"_s
        : table({u"Word"_s, u"Asked"_s, u"Wrong"_s, u"Last spelling"_s, u"Where it went wrong"_s}, words);

    html += u"<h2>Days played</h2>"_s;
    QStringList dayRows;
    for (auto day = days.crbegin(); day != days.crend(); ++day) {
        dayRows.append(row({dayText(day->day), day->kind == GameKind::Test ? u"Test"_s : u"Practice"_s,
                            QString::number(day->games), u"%1 of %2"_s.arg(day->correct).arg(day->answered),
                            u"%1%"_s.arg(day->percent)}));
    }
    if (!dayRows.isEmpty())
        html += table({u"Day"_s, u"Kind"_s, u"Games"_s, u"Right"_s, u"Score"_s}, dayRows);
    return html + u"</body></html>"_s;
}

void saveReportPdf(const QString &fileName, const ProgressReport &report, const QImage &chart)
{
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&bytes);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(u"Spelling progress of %1"_s.arg(AnswerCheck::shown(report.learner, 200)));
        writer.setCreator(kProductName.toString());
        QTextDocument document;
        // A name or a word of thousands of letters wraps rather than runs
        // off the page.
        QTextOption wrapping = document.defaultTextOption();
        wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        document.setDefaultTextOption(wrapping);
        const QString chartName = chart.isNull() ? QString() : u"chart.png"_s;
        if (!chart.isNull())
            document.addResource(QTextDocument::ImageResource, QUrl(chartName), chart);
        document.setHtml(reportHtml(report, chartName));
        document.print(&writer);
    }
    SafeSave file(fileName);
    file.open();
    file.write(bytes.data());
    file.commit();
}
