// SPDX-License-Identifier: GPL-3.0-or-later
// Aligns arbitrary answers with arbitrary words, and answers made from the
// word by a few slips: the edits, applied to the typed letters, give the
// word's letters as the answer check sees them, each edit names the letters it
// concerns, their number is the restricted Damerau-Levenshtein distance
// (computed here the plain way), and the text told is made from them.
#include "fuzzsupport.h"
#include "practice/answercheck.h"
#include "practice/misspelling.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

using namespace Qt::StringLiterals;
using Misspelling::Edit;

namespace {

// Any text: UTF-8 (broken bytes read as U+FFFD) or raw UTF-16 code units,
// lone surrogates included.
QString someText(FuzzedDataProvider &input)
{
    const std::string bytes = input.ConsumeRandomLengthString(64);
    if (input.ConsumeBool())
        return QString::fromUtf8(bytes);
    return QString(reinterpret_cast<const QChar *>(bytes.data()), qsizetype(bytes.size() / 2));
}

// The word with a few slips of a learner: letters left out, added, changed
// or swapped with their neighbour, in code units so that slips may also
// break letters apart.
QString slipped(QString text, FuzzedDataProvider &input)
{
    const int slips = input.ConsumeIntegralInRange(0, 4);
    for (int k = 0; k < slips; ++k) {
        const qsizetype at = input.ConsumeIntegralInRange<qsizetype>(0, text.size());
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            if (at < text.size())
                text.remove(at, 1);
            break;
        case 1:
            text.insert(at, QChar(input.ConsumeIntegralInRange<char16_t>(0, 0x24F)));
            break;
        case 2:
            if (at < text.size())
                text[at] = QChar(input.ConsumeIntegralInRange<char16_t>(0, 0x24F));
            break;
        default:
            if (at + 1 < text.size())
                std::swap(text[at], text[at + 1]);
            break;
        }
    }
    return text;
}

QStringList keys(const QStringList &letters)
{
    QStringList result;
    for (const QString &letter : letters)
        result.append(AnswerCheck::comparable(letter));
    return result;
}

qsizetype restrictedDistance(const QStringList &a, const QStringList &b)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    std::vector<std::vector<qsizetype>> d(std::size_t(n + 1), std::vector<qsizetype>(std::size_t(m + 1)));
    for (qsizetype i = 0; i <= n; ++i) {
        for (qsizetype j = 0; j <= m; ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = i + j;
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

QString joined(const QStringList &letters, qsizetype from, qsizetype count)
{
    return letters.mid(from, count).join(QString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString word = someText(input);
    const QString typed = input.ConsumeBool() ? slipped(word, input) : someText(input);

    const QStringList typedLetters = Misspelling::letters(typed);
    const QStringList wordLetters = Misspelling::letters(word);
    const QStringList typedKeys = keys(typedLetters);
    const QStringList wordKeys = keys(wordLetters);
    const QList<Edit> edits = Misspelling::align(typed, word);

    // Applying the edits to the typed letters gives the word's letters.
    QStringList made;
    qsizetype typedAt = 0;
    qsizetype wordAt = 0;
    for (const Edit &edit : edits) {
        const qsizetype typedCount = Misspelling::typedLength(edit.change);
        const qsizetype wordCount = Misspelling::wordLength(edit.change);
        FUZZ_REQUIRE(edit.typedAt >= typedAt && edit.typedAt + typedCount <= typedLetters.size());
        FUZZ_REQUIRE(edit.wordAt >= wordAt && edit.wordAt + wordCount <= wordLetters.size());
        // Between edits the letters are the same ones, as many on each side.
        FUZZ_REQUIRE(edit.typedAt - typedAt == edit.wordAt - wordAt);
        FUZZ_REQUIRE_EQUAL(edit.typed, joined(typedLetters, edit.typedAt, typedCount));
        FUZZ_REQUIRE_EQUAL(edit.word, joined(wordLetters, edit.wordAt, wordCount));
        made += typedKeys.mid(typedAt, edit.typedAt - typedAt);
        made += wordKeys.mid(edit.wordAt, wordCount);
        if (edit.change == Misspelling::Change::Swapped) {
            FUZZ_REQUIRE(typedKeys[edit.typedAt] == wordKeys[edit.wordAt + 1]);
            FUZZ_REQUIRE(typedKeys[edit.typedAt + 1] == wordKeys[edit.wordAt]);
        }
        if (edit.change == Misspelling::Change::Instead)
            FUZZ_REQUIRE(typedKeys[edit.typedAt] != wordKeys[edit.wordAt]);
        typedAt = edit.typedAt + typedCount;
        wordAt = edit.wordAt + wordCount;
    }
    made += typedKeys.mid(typedAt);
    FUZZ_REQUIRE_EQUAL(made, wordKeys);
    FUZZ_REQUIRE(edits.size() == restrictedDistance(typedKeys, wordKeys));

    // The text comes from the edits: none for none, and when told chunk by
    // chunk, no more chunks than edits.
    const QString text = Misspelling::explain(typed, word);
    FUZZ_REQUIRE_EQUAL(text, Misspelling::describe(edits, wordLetters.size()));
    FUZZ_REQUIRE(text.isEmpty() == edits.isEmpty());
    if (2 * edits.size() > wordLetters.size()) {
        FUZZ_REQUIRE_EQUAL(text, u"a different word"_s);
    } else if (!edits.isEmpty() && !typed.contains(u'"') && !word.contains(u'"') && !typed.contains(u',')
               && !word.contains(u',')) {
        // Chunks are told apart by ", " after a closing quote; a chunk that
        // starts with a comma would look like one more.
        FUZZ_REQUIRE(text.count(u"\", "_s) < edits.size());
    }
    return 0;
}
