// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary tables to the aligned export as the program runs it
// (SaveListviewProperlySpaced, into a file) and reads the file back: its
// bytes are the encoder's, they decode in the chosen encoding to the aligned
// lines, and those lines give back the rows, each cell its text followed by
// spaces up to its column's width.
#include "core/codepage.h"
#include "fuzzsupport.h"
#include "results/alignedexport.h"

#include <QStringDecoder>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

using namespace Qt::StringLiterals;

namespace {

// Any text: UTF-8 (broken bytes read as U+FFFD) or raw UTF-16 code units,
// lone surrogates included.
QString someText(FuzzedDataProvider &input)
{
    const std::string bytes = input.ConsumeRandomLengthString(40);
    if (input.ConsumeBool())
        return QString::fromUtf8(bytes);
    return QString(reinterpret_cast<const QChar *>(bytes.data()), qsizetype(bytes.size() / 2));
}

// UTF-8 without taking a U+FEFF at the start for a mark: there it is text.
QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// UTF-8 cannot hold a lone surrogate: it is written as U+FFFD, one code unit
// as well, so the columns stay aligned.
QString asWritten(const QString &text, AlignedExport::Encoding encoding)
{
    return encoding == AlignedExport::Encoding::Utf8 ? fromUtf8(text.toUtf8()) : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    ExportTable table;
    const int columns = input.ConsumeIntegralInRange(0, 4);
    for (int column = 0; column < columns; ++column)
        table.titles.append(someText(input));
    const int rows = input.ConsumeIntegralInRange(0, 8);
    for (int row = 0; row < rows; ++row) {
        QStringList cells;
        const int count = input.ConsumeIntegralInRange(0, columns + 1);
        for (int cell = 0; cell < count; ++cell)
            cells.append(someText(input));
        table.rows.append(cells);
    }
    const QString summary = someText(input);

    const QString path = fuzzFile(u"results.txt"_s);
    RecordingPrompts prompts;
    SaveListviewProperlySpaced(prompts, table, path, summary);
    FUZZ_REQUIRE(prompts.errors.isEmpty());
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    FUZZ_REQUIRE_EQUAL(bytes, AlignedExport::fileBytes(table, summary));

    const AlignedExport::Encoding encoding = AlignedExport::fileEncoding(table, summary);
    const QString text = encoding == AlignedExport::Encoding::Ansi ? CodePage::decodeAnsi(bytes) : fromUtf8(bytes);
    QList<qsizetype> widths;
    for (int column = 0; column < columns; ++column) {
        qsizetype width = table.titles.at(column).size();
        for (const QStringList &cells : std::as_const(table.rows))
            width = std::max(width, cells.value(column).size());
        widths.append(width);
    }
    QList<QStringList> lines{table.titles};
    lines.append(table.rows);
    QString expected;
    for (const QStringList &cells : std::as_const(lines)) {
        for (int column = 0; column < columns; ++column) {
            const QString cell = asWritten(cells.value(column), encoding);
            expected += cell + QString(widths.at(column) - cell.size(), u' ') + u'\t';
        }
        expected += u"\r\n"_s;
    }
    expected += u"\r\n"_s + asWritten(summary, encoding) + u"\r\n"_s;
    FUZZ_REQUIRE_EQUAL(text, expected);

    // Back to the rows, when no text holds a TAB or a line end.
    const auto plain
        = [](const QString &cell) { return !cell.contains(u'\t') && !cell.contains(u'\r') && !cell.contains(u'\n'); };
    bool allPlain = plain(summary);
    for (const QStringList &cells : std::as_const(lines))
        allPlain = allPlain && std::all_of(cells.cbegin(), cells.cend(), plain);
    if (!allPlain)
        return 0;
    const QStringList written = text.split(u"\r\n"_s);
    FUZZ_REQUIRE(written.size() == lines.size() + 3);
    for (qsizetype line = 0; line < lines.size(); ++line) {
        const QStringList cells = written.at(line).split(u'\t');
        FUZZ_REQUIRE(cells.size() == columns + 1 && cells.last().isEmpty());
        for (int column = 0; column < columns; ++column) {
            const QString original = asWritten(lines.at(line).value(column), encoding);
            FUZZ_REQUIRE(cells.at(column).size() == widths.at(column));
            FUZZ_REQUIRE(cells.at(column).startsWith(original));
            FUZZ_REQUIRE(QStringView(cells.at(column)).sliced(original.size()).count(u' ')
                         == widths.at(column) - original.size());
        }
    }
    FUZZ_REQUIRE(written.at(lines.size()).isEmpty());
    FUZZ_REQUIRE(written.at(lines.size() + 1) == asWritten(summary, encoding));
    FUZZ_REQUIRE(written.last().isEmpty());
    return 0;
}
