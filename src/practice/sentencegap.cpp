// SPDX-License-Identifier: GPL-3.0-or-later
#include "sentencegap.h"

#include "practice/answercheck.h"

#include <unordered_map>
#include <vector>

namespace {

using Range = SentenceGap::Range;

struct CodePoint
{
    char32_t code;
    qsizetype length; // in UTF-16 units
};

CodePoint codeAt(QStringView text, qsizetype at)
{
    const char16_t unit = text.at(at).unicode();
    if (QChar::isHighSurrogate(unit) && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(unit, text.at(at + 1).unicode()), 2};
    return {unit, 1};
}

CodePoint codeBefore(QStringView text, qsizetype end)
{
    if (end >= 2 && text.at(end - 1).isLowSurrogate() && text.at(end - 2).isHighSurrogate())
        return {QChar::surrogateToUcs4(text.at(end - 2), text.at(end - 1)), 2};
    return {text.at(end - 1).unicode(), 1};
}

bool isFormat(char32_t code)
{
    return code >= 0x80 && QChar::category(code) == QChar::Other_Format;
}

// Characters that belong with the one before them: marks, invisible format
// characters, and the Hangul vowel and final jamo that normal form C
// composes with the syllable before them.
bool belongsToPrevious(char32_t code)
{
    if (code < 0x80)
        return false;
    if (code >= 0x1160 && code <= 0x11FF)
        return true;
    switch (QChar::category(code)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
        return true;
    default:
        return false;
    }
}

// The sentence in comparable form, built piece by piece: a piece is a
// character with those that belong to it, so that every piece's comparable
// form stands on its own. `piece` gives, for each unit of `text`, the piece
// it came from; piece i is the sentence from starts[i] to starts[i + 1].
struct Folded
{
    QString text;
    std::vector<quint32> piece;
    std::vector<qsizetype> starts;
};

Folded fold(QStringView sentence)
{
    Folded folded;
    folded.text.reserve(sentence.size());
    folded.piece.reserve(std::size_t(sentence.size()));
    folded.starts.reserve(std::size_t(sentence.size()) + 1);
    std::unordered_map<char16_t, QString> single;
    for (qsizetype at = 0; at < sentence.size();) {
        const qsizetype start = at;
        at += codeAt(sentence, at).length;
        while (at < sentence.size()) {
            const CodePoint next = codeAt(sentence, at);
            if (!belongsToPrevious(next.code))
                break;
            at += next.length;
        }
        const QStringView piece = sentence.sliced(start, at - start);
        const auto index = quint32(folded.starts.size());
        folded.starts.push_back(start);
        if (piece.size() == 1 && piece.front().unicode() < 0x80) {
            // Most sentences are mostly ASCII: no copy for those characters.
            folded.text.append(piece.front().toUpper());
            folded.piece.push_back(index);
            continue;
        }
        // Other alphabets repeat few letters: each is made comparable once.
        QString comparable;
        if (piece.size() == 1) {
            QString &known = single[piece.front().unicode()];
            if (known.isNull())
                known = AnswerCheck::comparable(piece.toString());
            comparable = known;
        } else {
            comparable = AnswerCheck::comparable(piece.toString());
        }
        folded.text.append(comparable);
        folded.piece.insert(folded.piece.end(), std::size_t(comparable.size()), index);
    }
    folded.starts.push_back(sentence.size());
    return folded;
}

// Where the pattern starts in the text, overlapping starts included
// (Knuth–Morris–Pratt, so that a sentence of one letter repeated cannot make
// it slow).
std::vector<qsizetype> starts(QStringView text, QStringView pattern)
{
    std::vector<qsizetype> found;
    const qsizetype m = pattern.size();
    std::vector<qsizetype> border(std::size_t(m), 0);
    for (qsizetype i = 1, k = 0; i < m; ++i) {
        while (k > 0 && pattern.at(i) != pattern.at(k))
            k = border[std::size_t(k - 1)];
        if (pattern.at(i) == pattern.at(k))
            ++k;
        border[std::size_t(i)] = k;
    }
    for (qsizetype i = 0, k = 0; i < text.size(); ++i) {
        while (k > 0 && text.at(i) != pattern.at(k))
            k = border[std::size_t(k - 1)];
        if (text.at(i) == pattern.at(k))
            ++k;
        if (k == m) {
            found.push_back(i - m + 1);
            k = border[std::size_t(k - 1)];
        }
    }
    return found;
}

QString replaced(QStringView sentence, const QList<Range> &places, QStringView gap, bool apart)
{
    if (places.isEmpty())
        return sentence.toString();
    const auto separate = [](char32_t code) { return QChar::isLetterOrNumber(code) || QChar::isMark(code); };
    QString result;
    result.reserve(sentence.size());
    qsizetype kept = 0;
    for (const Range &place : places) {
        result.append(sentence.sliced(kept, place.start - kept));
        if (apart && place.start > 0 && separate(codeBefore(sentence, place.start).code))
            result.append(u' ');
        result.append(gap);
        kept = place.start + place.length;
        if (apart && kept < sentence.size() && separate(codeAt(sentence, kept).code))
            result.append(u' ');
    }
    result.append(sentence.sliced(kept));
    return result;
}

} // namespace

QList<SentenceGap::Range> SentenceGap::places(QStringView sentence, QStringView word)
{
    QList<Range> result;
    const QString pattern = AnswerCheck::comparable(word.toString());
    if (pattern.isEmpty() || sentence.isEmpty())
        return result;
    const Folded folded = fold(sentence);
    const auto n = qsizetype(folded.piece.size());
    for (const qsizetype first : starts(folded.text, pattern)) {
        const qsizetype end = first + pattern.size();
        // Only whole pieces: "s" is not found in "ß", nor "e" in "é".
        if (first > 0 && folded.piece[std::size_t(first)] == folded.piece[std::size_t(first - 1)])
            continue;
        if (end < n && folded.piece[std::size_t(end)] == folded.piece[std::size_t(end - 1)])
            continue;
        const qsizetype from = folded.starts[folded.piece[std::size_t(first)]];
        qsizetype stop = folded.starts[folded.piece[std::size_t(end - 1)] + 1];
        // Invisible characters after the word's last letter, such as the end
        // of a bidi isolate, stay in the sentence.
        while (stop > from && isFormat(codeBefore(sentence, stop).code))
            stop -= codeBefore(sentence, stop).length;
        if (!result.isEmpty() && from <= result.last().start + result.last().length) {
            Range &last = result.last();
            last.length = std::max(last.start + last.length, stop) - last.start;
        } else {
            result.append({from, stop - from});
        }
    }
    return result;
}

QString SentenceGap::shown(QStringView sentence, const QList<Range> &places)
{
    return replaced(sentence, places, kShownGap, false);
}

QString SentenceGap::spoken(QStringView sentence, const QList<Range> &places)
{
    return replaced(sentence, places, kSpokenGap, true);
}
