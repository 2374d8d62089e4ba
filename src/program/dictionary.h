// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ProgramState;

// The next word of the current pass of the game's words (drawWord in
// practice/draw.h), the words to ask first before the others; reports its own
// failures.
QString getWordFromDictionary(ProgramState &state);
