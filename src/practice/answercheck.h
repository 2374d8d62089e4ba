// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one rule for when a typed answer and a word are the same word: their
// comparable forms are equal. Judging an answer, grouping a learner's answers
// by word, matching words to work on with the list and comparing the letters
// of a misspelling all go through it.
namespace AnswerCheck {

// The text upper-cased with the full Unicode case mapping ("straße" becomes
// "STRASSE"); spaces and punctuation stay as they are.
QString comparable(const QString &text);

} // namespace AnswerCheck
