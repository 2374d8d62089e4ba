// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one rule for when a typed answer and a word are the same word: their
// comparable forms are equal. Judging an answer, grouping a learner's answers
// by word, matching words to work on with the list and comparing the letters
// of a misspelling all go through it.
namespace AnswerCheck {

// Words longer than this are shown cut there, so that a word of millions of
// characters is never laid out on screen nor read out whole.
inline constexpr qsizetype kLongestShown = 1000;

// The text as the learner sees it: without its invisible format characters
// (Unicode category Cf: bidi controls, zero-width spaces and joiners, soft
// hyphens, byte order marks), which change how a word looks or not at all,
// never which letters it has. With a longest length, at most that many of
// its characters (UTF-16 units, a pair never split), followed by "…" when
// some were left out.
QString shown(const QString &text, qsizetype longest = -1);

// The shown text upper-cased with the full Unicode case mapping ("straße"
// becomes "STRASSE"), then in Unicode normal form C, so that an accent typed
// as its own character and one stored with its letter are the same; spaces
// and punctuation stay as they are.
QString comparable(const QString &text);

// comparable(a) == comparable(b), without copying plain ASCII texts, and told
// at once for a short ASCII answer and a word of millions of letters.
bool same(const QString &a, const QString &b);

} // namespace AnswerCheck
