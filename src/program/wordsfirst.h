// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class PracticeRecord;
class ProgramState;

// "Ask words to work on first" (off by default): on, each pass of a game asks
// the learner's words to work on for the list in use before the others.
namespace WordsFirst {

// A setting that cannot be read as true or false counts as off.
bool isOn(const ProgramState &state);
// Remembers the choice; switched off, no word is asked first any more.
// Throws Failure when the setting cannot be written.
void setOn(ProgramState &state, bool on);

// At the start of a game on the list: while the choice is on, the learner's
// words to work on become the words each pass asks first. Off, the words
// asked first stay as they are.
void startGame(ProgramState &state, PracticeRecord &record, const QString &listPath);

} // namespace WordsFirst
