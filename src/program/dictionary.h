// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ProgramState;

// Words longer than this that the game has asked already are given as the
// game's copy.
inline constexpr qsizetype kLongWord = 10'000;

// The next word of the current pass of the game's words (drawWord in
// practice/draw.h), the words to ask first before the others; reports its own
// failures. A long word asked before in the game shares its copy.
QString getWordFromDictionary(ProgramState &state);
// The sentence on the line of the word the last draw gave; empty when that
// line has none.
QString drawnWordSentence(const ProgramState &state);
