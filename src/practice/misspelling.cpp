// SPDX-License-Identifier: GPL-3.0-or-later
#include "misspelling.h"

#include <QHash>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace Misspelling {

namespace {

// How each step of the alignment is reached.
enum class Step : quint8 { Start, Same, Instead, Extra, Missing, Swapped };

// The letters of a text as numbers, equal where the answer check sees equal
// letters, with the letters themselves.
struct Letters
{
    QStringList text;
    std::vector<int> keys;
};

Letters lettersOf(const QString &text, QHash<QString, int> &keys)
{
    Letters result;
    result.text = letters(text);
    result.keys.reserve(std::size_t(result.text.size()));
    for (const QString &letter : std::as_const(result.text)) {
        const QString key = letter.toUpper();
        auto found = keys.constFind(key);
        if (found == keys.cend())
            found = keys.insert(key, int(keys.size()));
        result.keys.push_back(found.value());
    }
    return result;
}

// Whether the letter at an index stands beside one equal to it.
bool doubled(const std::vector<int> &keys, std::size_t index)
{
    return (index > 0 && keys[index - 1] == keys[index]) || (index + 1 < keys.size() && keys[index + 1] == keys[index]);
}

// Among alignments of equal cost the smallest of these sums wins.
constexpr qint64 kDoubledLetterPreference = 0;
constexpr qint64 kLetterPreference = 1;
constexpr qint64 kSwapPreference = 1;
constexpr qint64 kInsteadPreference = 2;

QList<Edit> alignLetters(const Letters &typed, const Letters &word)
{
    const std::size_t n = typed.keys.size();
    const std::size_t m = word.keys.size();
    // Each edit costs `scale`, more than any sum of preferences, so that the
    // preferences only choose among the cheapest alignments.
    const qint64 scale = 2 * qint64(n + m) * kInsteadPreference + 1;
    const std::size_t width = m + 1;
    std::vector<qint64> cost((n + 1) * width);
    std::vector<Step> how((n + 1) * width, Step::Start);
    for (std::size_t i = 0; i <= n; ++i) {
        for (std::size_t j = 0; j <= m; ++j) {
            if (i == 0 && j == 0)
                continue;
            qint64 best = std::numeric_limits<qint64>::max();
            Step step = Step::Start;
            const auto offer = [&](qint64 candidate, Step reached) {
                if (candidate < best) {
                    best = candidate;
                    step = reached;
                }
            };
            if (i > 0 && j > 0) {
                if (typed.keys[i - 1] == word.keys[j - 1])
                    offer(cost[(i - 1) * width + j - 1], Step::Same);
                else
                    offer(cost[(i - 1) * width + j - 1] + scale + kInsteadPreference, Step::Instead);
            }
            if (i > 1 && j > 1 && typed.keys[i - 1] == word.keys[j - 2] && typed.keys[i - 2] == word.keys[j - 1]
                && typed.keys[i - 1] != typed.keys[i - 2])
                offer(cost[(i - 2) * width + j - 2] + scale + kSwapPreference, Step::Swapped);
            if (i > 0)
                offer(cost[(i - 1) * width + j] + scale
                          + (doubled(typed.keys, i - 1) ? kDoubledLetterPreference : kLetterPreference),
                      Step::Extra);
            if (j > 0)
                offer(cost[i * width + j - 1] + scale
                          + (doubled(word.keys, j - 1) ? kDoubledLetterPreference : kLetterPreference),
                      Step::Missing);
            cost[i * width + j] = best;
            how[i * width + j] = step;
        }
    }

    QList<Edit> edits;
    qsizetype i = qsizetype(n);
    qsizetype j = qsizetype(m);
    while (i > 0 || j > 0) {
        switch (how[std::size_t(i) * width + std::size_t(j)]) {
        case Step::Same:
            --i;
            --j;
            break;
        case Step::Instead:
            --i;
            --j;
            edits.append({Change::Instead, i, j, typed.text.at(i), word.text.at(j)});
            break;
        case Step::Extra:
            --i;
            edits.append({Change::Extra, i, j, typed.text.at(i), QString()});
            break;
        case Step::Missing:
            --j;
            edits.append({Change::Missing, i, j, QString(), word.text.at(j)});
            break;
        case Step::Swapped:
            i -= 2;
            j -= 2;
            edits.append({Change::Swapped, i, j, typed.text.at(i) + typed.text.at(i + 1),
                          word.text.at(j) + word.text.at(j + 1)});
            break;
        case Step::Start:
            Q_UNREACHABLE();
        }
    }
    std::reverse(edits.begin(), edits.end());
    return edits;
}

bool tooDifferent(qsizetype edits, qsizetype wordLetters)
{
    return 2 * edits > wordLetters;
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

QString chunkText(const QString &typed, const QString &word)
{
    if (typed.isEmpty())
        return u"missing "_s + quoted(word);
    if (word.isEmpty())
        return u"extra "_s + quoted(typed);
    return quoted(typed) + u" instead of "_s + quoted(word);
}

const QString kDifferentWord = u"a different word"_s;

} // namespace

qsizetype typedLength(Change change)
{
    switch (change) {
    case Change::Missing:
        return 0;
    case Change::Swapped:
        return 2;
    case Change::Extra:
    case Change::Instead:
        break;
    }
    return 1;
}

qsizetype wordLength(Change change)
{
    switch (change) {
    case Change::Extra:
        return 0;
    case Change::Swapped:
        return 2;
    case Change::Missing:
    case Change::Instead:
        break;
    }
    return 1;
}

QStringList letters(const QString &text)
{
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QStringList result;
    result.reserve(composed.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, composed);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary()) {
        result.append(composed.sliced(start, end - start));
        start = end;
    }
    return result;
}

QList<Edit> align(const QString &typed, const QString &word)
{
    QHash<QString, int> keys;
    const Letters typedLetters = lettersOf(typed, keys);
    const Letters wordLetters = lettersOf(word, keys);
    if (typedLetters.text.size() > kLongestAligned || wordLetters.text.size() > kLongestAligned)
        return {};
    return alignLetters(typedLetters, wordLetters);
}

QString describe(const QList<Edit> &edits, qsizetype wordLetters)
{
    if (edits.isEmpty())
        return QString();
    if (tooDifferent(edits.size(), wordLetters))
        return kDifferentWord;
    QStringList chunks;
    QString typed;
    QString word;
    for (qsizetype k = 0; k < edits.size(); ++k) {
        const Edit &edit = edits.at(k);
        typed += edit.typed;
        word += edit.word;
        const bool last = k + 1 == edits.size();
        if (last || edits.at(k + 1).typedAt != edit.typedAt + typedLength(edit.change)
            || edits.at(k + 1).wordAt != edit.wordAt + wordLength(edit.change)) {
            chunks.append(chunkText(typed, word));
            typed.clear();
            word.clear();
        }
    }
    return chunks.join(u", "_s);
}

QString explain(const QString &typed, const QString &word)
{
    QHash<QString, int> keys;
    const Letters typedLetters = lettersOf(typed, keys);
    const Letters wordLetters = lettersOf(word, keys);
    const qsizetype wordCount = wordLetters.text.size();
    // Every letter the lengths differ by is an edit: a long text that is far
    // too long or too short is told without aligning it.
    if (tooDifferent(std::abs(typedLetters.text.size() - wordCount), wordCount))
        return kDifferentWord;
    if (typedLetters.text.size() > kLongestAligned || wordCount > kLongestAligned)
        return QString();
    return describe(alignLetters(typedLetters, wordLetters), wordCount);
}

} // namespace Misspelling
