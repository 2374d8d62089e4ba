// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// A word's sentence with the word left out, so that it tells which word is
// meant without spelling it. The word is found where the answer check would
// take it for the same word (AnswerCheck::comparable: letter case, accents
// stored either way, invisible format characters), also inside a longer
// word. Each place becomes one gap of the same width however long the word,
// so the gap does not give the number of letters away.
namespace SentenceGap {

// How the gap looks on screen: a short line.
inline constexpr QStringView kShownGap = u"______";
// How a screen reader says it.
inline constexpr QStringView kSpokenGap = u"blank";

// A range of the sentence, in UTF-16 units.
struct Range
{
    qsizetype start;
    qsizetype length;
    friend bool operator==(const Range &, const Range &) = default;
};

// The places of the word in the sentence, in order; occurrences that overlap
// or touch are one place. None for an empty word (or one of invisible
// characters only). A place never splits a character, nor a letter from its
// marks, nor the letters that one letter upper-cases to ("ß" is not "s").
// Linear in the lengths of both texts.
QList<Range> places(QStringView sentence, QStringView word);

// The sentence with each of the places replaced by kShownGap.
QString shown(QStringView sentence, const QList<Range> &places);
// The sentence with the word's places replaced; the sentence as it is when
// the word is not in it.
inline QString shown(QStringView sentence, QStringView word)
{
    return shown(sentence, places(sentence, word));
}

// The sentence as a screen reader should read it: each of the places
// replaced by kSpokenGap, with a space between it and a letter or digit that
// touches it, so that it is read as a word of its own.
QString spoken(QStringView sentence, const QList<Range> &places);
inline QString spoken(QStringView sentence, QStringView word)
{
    return spoken(sentence, places(sentence, word));
}

} // namespace SentenceGap
