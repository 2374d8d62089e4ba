// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/practicerecord.h"

#include <QString>
#include <QStringList>

class Prompts;

// The learners a drop-down offers, and which of them is in use.
struct LearnerList
{
    QStringList names;
    // Found whatever the letter case the setting spells the name in.
    qsizetype current = -1;
};

// The rules of choosing the learner, one for every window that offers it.
namespace LearnerChoice {

// Every learner of the history, with the learner in use among them.
LearnerList list(PracticeRecord &record, PracticeRecord::Telling telling = PracticeRecord::Telling::Now);
// Makes the chosen learner the one in use; throws Failure when the setting
// cannot be written.
void choose(PracticeRecord &record, const QString &name);
// "New Learner...": asks for the name, adds the learner and makes it the one
// in use. False when cancelled or refused, the reason shown.
bool addNew(PracticeRecord &record, Prompts &prompts);

} // namespace LearnerChoice
