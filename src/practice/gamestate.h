// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "copyaftermiss.h"

#include <QString>
#include <QStringList>

// A practice game goes on until it is ended; a test asks each word once.
enum class GameKind { Practice, Test };

// The game in progress: whether one runs, the words given and the answers
// typed, in order, and the word being asked with its sentence.
struct GameState
{
    bool started = false;
    GameKind kind = GameKind::Practice;
    QStringList givenWords;
    QStringList typedWords;
    QString currentWord;
    // A test's words, in the order it asks them.
    QStringList testWords;
    // The copy asked for after a miss in a practice game.
    CopyAfterMiss copy;
    // The sentence given with it on its line of the list; empty when none.
    QString currentSentence;
};
