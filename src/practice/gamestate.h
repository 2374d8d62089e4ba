// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The game in progress: whether one runs, the words given and the answers
// typed, in order, and the word being asked.
struct GameState
{
    bool started = false;
    QStringList givenWords;
    QStringList typedWords;
    QString currentWord;
};
