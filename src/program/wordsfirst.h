// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>

class PracticeRecord;
class ProgramState;

// "Ask words to work on first" (off by default): on, each pass of a game asks
// the learner's words to work on for the list in use before the others.
namespace WordsFirst {

// A setting that cannot be read as true or false counts as off.
bool isOn(const ProgramState &state);
// Throws Failure when the setting cannot be written.
void setOn(const ProgramState &state, bool on);

// The words a game on the list asks first: none while the choice is off.
QSet<QString> firstWords(const ProgramState &state, PracticeRecord &record, const QString &listPath);

} // namespace WordsFirst
