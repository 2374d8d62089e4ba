// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ProgramState;

// The next word of the current pass (see drawWord); reports its own failures.
QString getWordFromDictionary(ProgramState &state);
