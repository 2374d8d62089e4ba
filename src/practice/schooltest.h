// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/randomsource.h"
#include "wordlist/wordstore.h"

#include <QString>
#include <QStringList>

// A test over the list: each different word once, no help, a score at the
// end.
namespace SchoolTest {

// The order a test asks the list's words in: each different word once, in
// random order, drawn from the source as a pass of a game draws them.
QStringList order(const WordStore &list, RandomSource &random);

// Over once every word of the test has an answer.
bool isOver(qsizetype words, qsizetype answered);

// The calm line said at the end: how many of the words were right (a word
// not answered is not right), and "Well done!" for a full score.
QString finishLine(qint64 right, qint64 words);

// Whether the last `count` answers are all right (judged as the game judges
// them); false when fewer were given.
bool lastAnswersRight(const QStringList &givenWords, const QStringList &typedWords, qsizetype count);

} // namespace SchoolTest
