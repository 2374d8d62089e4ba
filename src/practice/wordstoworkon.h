// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// How one word fared in one game. Games are numbered in the order they were
// played, so a higher number is a later game.
struct WordOutcome
{
    QString word; // as given
    qint64 game = 0;
    qint64 asked = 0;
    qint64 wrong = 0;
    QString lastWrongSpelling; // empty when it was right every time in that game
};

// A row of "Words To Work On".
struct WordToWorkOn
{
    QString word; // as the list spells it
    qint64 asked = 0;
    qint64 wrong = 0;
    QString lastSpelling; // the last wrong spelling
};

// The words of the list that were answered wrong and have not been answered
// right since in two separate later games; a right answer in the game of the
// last miss does not count, and two in one later game count once. The most
// often missed first; ties by the latest miss first, then in list order.
// Words are matched as the answer check sees them (AnswerCheck::comparable).
QList<WordToWorkOn> wordsToWorkOn(const QList<WordOutcome> &outcomes, const QStringList &listWords);

// How many of the list's words are secure: answered right in two separate
// games after their last miss, or in two separate games when never missed.
// The other side of the words to work on: a missed word is one or the other.
qsizetype wordsSecure(const QList<WordOutcome> &outcomes, const QStringList &listWords);

// The words each pass of a game asks first while "Ask words to work on first"
// is on: the words to work on, as the list spells them, so that the draw
// finds them among the list's words.
QSet<QString> wordsAskedFirst(const QList<WordToWorkOn> &toWorkOn);
