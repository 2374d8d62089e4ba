// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The rules that judge answers and score a game. Counts are 64-bit, so a game
// of any length scores correctly.
namespace Scoring {

// The typed text and the given word compared as AnswerCheck::comparable gives
// them: letter case aside ("STRASSE" is "straße"), exactly; spaces and
// punctuation count.
bool isCorrect(const QString &typed, const QString &given);

// correct / (correct + wrong) * 100 to the nearest whole number, halves up;
// 0 when nothing was answered.
qint64 percent(qint64 correct, qint64 wrong);

struct Tally
{
    qint64 correct = 0;
    qint64 wrong = 0;
};

// Judges the answered pairs: the k-th typed answer against the k-th given
// word; a given word without an answer (the one being asked) is left out.
Tally tally(const QStringList &givenWords, const QStringList &typedWords);

// "Score: " + percent + "%".
QString scoreText(const Tally &tally);

} // namespace Scoring
