// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

class Prompts;

// A list with titled columns, as the aligned export reads it. A row with
// fewer texts than titles has empty cells; texts beyond the titles are not
// part of the table.
struct ExportTable
{
    QStringList titles;
    QList<QStringList> rows;
};

// Gives the event loop a turn; called before each cell of a long export.
using Yield = std::function<void()>;

// A yield that processes pending events at most once per interval (the first
// call always does), so that a long export keeps the window painted without
// spending its time in the event loop.
Yield throttledYield(std::chrono::milliseconds interval = std::chrono::milliseconds(20));

namespace AlignedExport {

enum class Encoding { Ansi, Utf8 };

// For each column the longest of its title and its texts in all rows,
// counted in UTF-16 code units.
QList<qsizetype> columnWidths(const ExportTable &table, const Yield &yield = {});

// Each cell padded with spaces to its column's width, then a TAB; no line end.
QString alignedLine(const QStringList &cells, const QList<qsizetype> &widths, const Yield &yield = {});

// The 8-bit code page when every character of the file fits in it; UTF-8
// otherwise, so that no answer is lost.
Encoding fileEncoding(const ExportTable &table, const QString &summary);

// One line of the file in the encoding, CR LF appended.
QByteArray encodeLine(const QString &line, Encoding encoding);

// The whole file: title line, one line per row, an empty line, the summary.
QByteArray fileBytes(const ExportTable &table, const QString &summary);

} // namespace AlignedExport

// Writes the table as aligned text to the file, replacing any file of that
// name. The file is written beside the target and put in its place when
// complete. The first failure ends the save with one report, "Cannot save",
// the file and the reason, at the step that failed: 104 when the target is
// refused (a folder, a pipe, a device) or cannot be created, 106 to 112 for
// a line that cannot be written, 114 when the finished file cannot be put in
// place. A file that was there is then left as it was.
void SaveListviewProperlySpaced(Prompts &prompts, const ExportTable &table, const QString &fileName,
                                const QString &summary, const Yield &yield = {});
