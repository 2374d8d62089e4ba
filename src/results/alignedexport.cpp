// SPDX-License-Identifier: GPL-3.0-or-later
#include "alignedexport.h"

#include "core/codepage.h"
#include "core/errorreport.h"
#include "core/safesave.h"

#include <QCoreApplication>
#include <QElapsedTimer>

using namespace Qt::StringLiterals;

Yield throttledYield(std::chrono::milliseconds interval)
{
    auto clock = std::make_shared<QElapsedTimer>();
    return [clock, interval] {
        if (clock->isValid() && clock->elapsed() < interval.count())
            return;
        QCoreApplication::processEvents();
        clock->start();
    };
}

namespace AlignedExport {

namespace {

const QString &cellText(const QStringList &cells, qsizetype column)
{
    static const QString empty;
    return column < cells.size() ? cells.at(column) : empty;
}

void turn(const Yield &yield)
{
    if (yield)
        yield();
}

} // namespace

QList<qsizetype> columnWidths(const ExportTable &table, const Yield &yield)
{
    QList<qsizetype> widths;
    widths.reserve(table.titles.size());
    for (qsizetype column = 0; column < table.titles.size(); ++column) {
        qsizetype width = table.titles.at(column).size();
        for (const QStringList &row : table.rows) {
            turn(yield);
            width = std::max(width, cellText(row, column).size());
        }
        widths.append(width);
    }
    return widths;
}

QString alignedLine(const QStringList &cells, const QList<qsizetype> &widths, const Yield &yield)
{
    QString line;
    for (qsizetype column = 0; column < widths.size(); ++column) {
        turn(yield);
        const QString &text = cellText(cells, column);
        line.append(text);
        line.append(QString(std::max<qsizetype>(0, widths.at(column) - text.size()), u' '));
        line.append(u'\t');
    }
    return line;
}

Encoding fileEncoding(const ExportTable &table, const QString &summary)
{
    const auto fits = [](const QString &text) { return CodePage::encodeAnsi(text).has_value(); };
    if (!fits(summary))
        return Encoding::Utf8;
    for (const QString &title : table.titles) {
        if (!fits(title))
            return Encoding::Utf8;
    }
    for (const QStringList &row : table.rows) {
        for (qsizetype column = 0; column < table.titles.size(); ++column) {
            if (!fits(cellText(row, column)))
                return Encoding::Utf8;
        }
    }
    return Encoding::Ansi;
}

QByteArray encodeLine(const QString &line, Encoding encoding)
{
    QByteArray bytes;
    if (encoding == Encoding::Ansi) {
        const auto ansi = CodePage::encodeAnsi(line);
        if (!ansi)
            throw Failure(u"The text does not fit the code page"_s);
        bytes = *ansi;
    } else {
        bytes = line.toUtf8();
    }
    bytes.append("\r\n");
    return bytes;
}

QByteArray fileBytes(const ExportTable &table, const QString &summary)
{
    const Encoding encoding = fileEncoding(table, summary);
    const QList<qsizetype> widths = columnWidths(table);
    QByteArray bytes = encodeLine(alignedLine(table.titles, widths), encoding);
    for (const QStringList &row : table.rows)
        bytes += encodeLine(alignedLine(row, widths), encoding);
    bytes += encodeLine(QString(), encoding);
    bytes += encodeLine(summary, encoding);
    return bytes;
}

} // namespace AlignedExport

void SaveListviewProperlySpaced(Prompts &prompts, const ExportTable &table, const QString &fileName,
                                const QString &summary, const Yield &yield)
{
    using namespace AlignedExport;
    Steps s(prompts, u"Main", u"SaveListviewProperlySpaced");
    QList<qsizetype> widths;
    Encoding encoding = Encoding::Ansi;
    SafeSave file(fileName);

    // Once a step has failed, every later one would fail for the same reason:
    // the save stops at the first report.
    bool failed = false;
    const auto step = [&](int line, auto &&body) {
        if (failed)
            return;
        s.step(line, [&] {
            try {
                body();
            } catch (...) {
                failed = true;
                throw;
            }
        });
    };
    const auto writeLine = [&](const QString &line) { file.write(encodeLine(line, encoding)); };

    step(100, [&] { widths = columnWidths(table, yield); });
    step(102, [&] { encoding = fileEncoding(table, summary); });
    step(104, [&] { file.open(); });
    step(106, [&] { writeLine(alignedLine(table.titles, widths, yield)); });
    for (const QStringList &row : table.rows) {
        if (failed)
            break;
        turn(yield);
        step(108, [&] { writeLine(alignedLine(row, widths, yield)); });
    }
    step(110, [&] { writeLine(QString()); });
    step(112, [&] { writeLine(summary); });
    step(114, [&] { file.commit(); });
}
