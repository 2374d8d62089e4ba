// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where a typed answer went wrong: the typed text aligned with the word letter
// by letter, and that alignment told in plain words.
//
// Letters are the grapheme clusters of the NFC form of each text as shown
// (AnswerCheck::shown: invisible format characters are no letters, neither
// compared nor told), so an accented letter is one letter however it was
// typed. Each is compared as the answer check sees it (AnswerCheck::comparable
// of the letter), so letter case is ignored. The letters shown are those
// typed and those of the word. The alignment is a cheapest series of edits
// that turns the typed text into the word (restricted Damerau-Levenshtein: a
// letter missing, a letter extra, a letter in place of another, two
// neighbouring letters swapped). Where several cost the same,
// the one a teacher would point at wins: a doubled letter missing or extra
// first, then any other letter missing or extra or a swap, and letters in
// place of others last ("ocassion" for "occasion" is `missing "c", extra "s"`,
// not `"as" instead of "ca"`).
namespace Misspelling {

enum class Change {
    Missing, // a letter of the word is not in the typed text
    Extra, // a typed letter is not in the word
    Instead, // a typed letter stands in place of a letter of the word
    Swapped, // two neighbouring typed letters stand in each other's place
};

struct Edit
{
    Change change;
    // The first letter (cluster index) of the typed text and of the word the
    // edit concerns; for Missing, the typed letter before which the word's
    // letter belongs, for Extra the word's letter before which the typed one
    // stands.
    qsizetype typedAt;
    qsizetype wordAt;
    // The typed letters it replaces (none for Missing, two for Swapped, one
    // otherwise), as typed, and the letters of the word it puts there (none
    // for Extra, two for Swapped, one otherwise), as the word spells them.
    QString typed;
    QString word;

    friend bool operator==(const Edit &, const Edit &) = default;
};

// Letters of the word and of the typed text counted by the alignment.
qsizetype typedLength(Change change);
qsizetype wordLength(Change change);

// The letters of a text: the grapheme clusters of the NFC form of the text
// as shown.
QStringList letters(const QString &text);

// A cheapest series of edits turning the typed text into the word, in word
// order; empty when the two are the same letter by letter. Texts of more than
// kLongestAligned letters are not aligned: that gives no edits.
inline constexpr qsizetype kLongestAligned = 1000;
QList<Edit> align(const QString &typed, const QString &word);

// The edits told in word order, joined by ", ". Neighbouring edits (no right
// letter between them) form one chunk: `missing "h"` when it only lacks
// letters, `extra "l"` when it only adds some, and otherwise the typed letters
// and those of the word, `"ie" instead of "ei"`. When more edits are needed
// than half the word's letters, `a different word`. No edits: empty text.
QString describe(const QList<Edit> &edits, qsizetype wordLetters);

// Where the typed text, judged wrong, went wrong: describe(align(typed, word),
// letters of the word), except that texts whose lengths alone differ by more
// than half the word are `a different word` without being aligned, and texts
// too long to align otherwise give the empty text. Texts of more than
// kLongestCounted characters (UTF-16 units) are `a different word` without
// even counting their letters: an answer box holds at most 32,767 characters,
// so a wrong answer to such a word is always far from it in length.
inline constexpr qsizetype kLongestCounted = 100'000;
QString explain(const QString &typed, const QString &word);

} // namespace Misspelling
