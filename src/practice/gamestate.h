// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The game in progress: whether one runs, the words given and the answers
// typed, in order, and the word being asked with its sentence.
struct GameState
{
    bool started = false;
    QStringList givenWords;
    QStringList typedWords;
    QString currentWord;
    // The sentence given with it on its line of the list; empty when none.
    QString currentSentence;
};
