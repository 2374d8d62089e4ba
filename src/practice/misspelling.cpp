// SPDX-License-Identifier: GPL-3.0-or-later
#include "misspelling.h"

#include "answercheck.h"

#include <QHash>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <array>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace Misspelling {

namespace {

// How each step of the alignment is reached.
enum class Step : quint8 { Start, Same, Instead, Extra, Missing, Swapped };

// The letters of a text: where each begins in the NFC form of the text as
// shown, and a number for each, equal where the answer check sees equal
// letters.
struct Letters
{
    QString text;
    std::vector<qsizetype> starts; // one more than letters: the text's end
    std::vector<int> keys;

    qsizetype count() const { return qsizetype(keys.size()); }
    QString letter(qsizetype index) const
    {
        return text.sliced(starts[std::size_t(index)], starts[std::size_t(index) + 1] - starts[std::size_t(index)]);
    }
};

// The number of a letter whose comparable form is one ASCII character, else -1.
int asciiKey(const QString &comparable)
{
    return comparable.size() == 1 && comparable.front().unicode() < 0x80 ? comparable.front().unicode() : -1;
}

// Numbers for letters, equal where the answer check sees equal letters
// (AnswerCheck::comparable of each): a letter whose comparable form is one
// ASCII character ("a", but also the dotless "ı") is that character's code,
// any other gets a number of its own.
class Keys
{
public:
    int of(QStringView letter)
    {
        // Most letters are ASCII: theirs are worked out once.
        static const std::array<int, 0x80> ascii = [] {
            std::array<int, 0x80> keys{};
            for (char16_t c = 0; c < 0x80; ++c)
                keys[c] = asciiKey(AnswerCheck::comparable(QString(QChar(c))));
            return keys;
        }();
        if (letter.size() == 1 && letter.front().unicode() < 0x80 && ascii[letter.front().unicode()] >= 0)
            return ascii[letter.front().unicode()];
        const QString key = AnswerCheck::comparable(letter.toString());
        if (const int code = asciiKey(key); code >= 0)
            return code;
        auto found = m_others.constFind(key);
        if (found == m_others.cend())
            found = m_others.insert(key, kFirstOther + int(m_others.size()));
        return found.value();
    }

private:
    static constexpr int kFirstOther = 0x80;
    QHash<QString, int> m_others;
};

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

Letters lettersOf(const QString &text, Keys &keys)
{
    Letters result;
    // Invisible format characters are no letters: they are neither compared
    // nor told.
    result.text = AnswerCheck::shown(text).normalized(QString::NormalizationForm_C);
    const QStringView composed(result.text);
    result.starts.reserve(std::size_t(composed.size()) + 1);
    if (isAscii(composed)) {
        // In ASCII text every character is a letter of its own, except that
        // CR LF is one.
        for (qsizetype at = 0; at < composed.size(); ++at) {
            if (at == 0 || composed[at] != u'\n' || composed[at - 1] != u'\r')
                result.starts.push_back(at);
        }
    } else {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, result.text);
        for (qsizetype at = 0; at >= 0 && at < composed.size(); at = finder.toNextBoundary())
            result.starts.push_back(at);
    }
    result.starts.push_back(composed.size());
    result.keys.reserve(result.starts.size() - 1);
    for (std::size_t k = 0; k + 1 < result.starts.size(); ++k)
        result.keys.push_back(keys.of(composed.sliced(result.starts[k], result.starts[k + 1] - result.starts[k])));
    return result;
}

// Among alignments of equal cost the smallest of these sums wins.
constexpr int kDoubledLetterPreference = 0;
constexpr int kLetterPreference = 1;
constexpr int kSwapPreference = 1;
constexpr int kInsteadPreference = 2;

// For each letter, the preference of leaving it out or adding it: a letter
// beside one equal to it is a doubled letter.
std::vector<int> letterPreferences(const std::vector<int> &keys)
{
    std::vector<int> result(keys.size(), kLetterPreference);
    for (std::size_t k = 0; k + 1 < keys.size(); ++k) {
        if (keys[k] == keys[k + 1])
            result[k] = result[k + 1] = kDoubledLetterPreference;
    }
    return result;
}

QList<Edit> alignLetters(const Letters &typed, const Letters &word)
{
    const std::vector<int> &t = typed.keys;
    const std::vector<int> &w = word.keys;
    // Letters that agree at the start and at the end are right; only the
    // part between them is aligned.
    std::size_t first = 0;
    while (first < t.size() && first < w.size() && t[first] == w[first])
        ++first;
    std::size_t last = 0;
    while (last < t.size() - first && last < w.size() - first && t[t.size() - 1 - last] == w[w.size() - 1 - last])
        ++last;
    const std::size_t n = t.size() - first - last;
    const std::size_t m = w.size() - first - last;
    if (n == 0 && m == 0)
        return {};
    const std::vector<int> extra = letterPreferences(t);
    const std::vector<int> missing = letterPreferences(w);

    // Each edit costs `scale`, more than any sum of preferences, so that the
    // preferences only choose among the cheapest alignments.
    const int scale = 2 * int(n + m) * kInsteadPreference + 1;
    const std::size_t width = m + 1;
    std::vector<int> cost((n + 1) * width);
    std::vector<Step> how((n + 1) * width, Step::Start);
    for (std::size_t j = 1; j <= m; ++j) {
        cost[j] = cost[j - 1] + scale + missing[first + j - 1];
        how[j] = Step::Missing;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        const int typedKey = t[first + i - 1];
        const int extraCost = scale + extra[first + i - 1];
        int *const row = &cost[i * width];
        const int *const above = row - width;
        const int *const twoAbove = i > 1 ? above - width : nullptr;
        Step *const steps = &how[i * width];
        row[0] = above[0] + extraCost;
        steps[0] = Step::Extra;
        for (std::size_t j = 1; j <= m; ++j) {
            const int wordKey = w[first + j - 1];
            int best;
            Step step;
            if (typedKey == wordKey) {
                best = above[j - 1];
                step = Step::Same;
            } else {
                best = above[j - 1] + scale + kInsteadPreference;
                step = Step::Instead;
            }
            if (i > 1 && j > 1 && typedKey == w[first + j - 2] && t[first + i - 2] == wordKey
                && typedKey != t[first + i - 2] && twoAbove[j - 2] + scale + kSwapPreference < best) {
                best = twoAbove[j - 2] + scale + kSwapPreference;
                step = Step::Swapped;
            }
            if (above[j] + extraCost < best) {
                best = above[j] + extraCost;
                step = Step::Extra;
            }
            if (row[j - 1] + scale + missing[first + j - 1] < best) {
                best = row[j - 1] + scale + missing[first + j - 1];
                step = Step::Missing;
            }
            row[j] = best;
            steps[j] = step;
        }
    }

    QList<Edit> edits;
    std::size_t i = n;
    std::size_t j = m;
    const auto at = [first](std::size_t index) { return qsizetype(first + index); };
    while (i > 0 || j > 0) {
        switch (how[i * width + j]) {
        case Step::Same:
            --i;
            --j;
            break;
        case Step::Instead:
            --i;
            --j;
            edits.append({Change::Instead, at(i), at(j), typed.letter(at(i)), word.letter(at(j))});
            break;
        case Step::Extra:
            --i;
            edits.append({Change::Extra, at(i), at(j), typed.letter(at(i)), QString()});
            break;
        case Step::Missing:
            --j;
            edits.append({Change::Missing, at(i), at(j), QString(), word.letter(at(j))});
            break;
        case Step::Swapped:
            i -= 2;
            j -= 2;
            edits.append({Change::Swapped, at(i), at(j), typed.letter(at(i)) + typed.letter(at(i) + 1),
                          word.letter(at(j)) + word.letter(at(j) + 1)});
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
    Keys keys;
    const Letters found = lettersOf(text, keys);
    QStringList result;
    result.reserve(found.count());
    for (qsizetype k = 0; k < found.count(); ++k)
        result.append(found.letter(k));
    return result;
}

QList<Edit> align(const QString &typed, const QString &word)
{
    Keys keys;
    const Letters typedLetters = lettersOf(typed, keys);
    const Letters wordLetters = lettersOf(word, keys);
    if (typedLetters.count() > kLongestAligned || wordLetters.count() > kLongestAligned)
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
    // Noting where each letter of millions begins would take gigabytes.
    if (typed.size() > kLongestCounted || word.size() > kLongestCounted)
        return kDifferentWord;
    Keys keys;
    const Letters typedLetters = lettersOf(typed, keys);
    const Letters wordLetters = lettersOf(word, keys);
    const qsizetype wordCount = wordLetters.count();
    // Every letter the lengths differ by is an edit: a long text that is far
    // too long or too short is told without aligning it.
    if (tooDifferent(std::abs(typedLetters.count() - wordCount), wordCount))
        return kDifferentWord;
    if (typedLetters.count() > kLongestAligned || wordCount > kLongestAligned)
        return QString();
    return describe(alignLetters(typedLetters, wordLetters), wordCount);
}

} // namespace Misspelling
