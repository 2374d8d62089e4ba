// SPDX-License-Identifier: GPL-3.0-or-later
#include "learnerchoice.h"

#include "core/prompts.h"

using namespace Qt::StringLiterals;

namespace LearnerChoice {

LearnerList list(PracticeRecord &record, PracticeRecord::Telling telling)
{
    LearnerList shown;
    const QString learner = record.learner();
    shown.names = record.learners(telling);
    shown.current = shown.names.indexOf(learner);
    for (qsizetype i = 0; i < shown.names.size() && shown.current < 0; ++i) {
        if (shown.names.at(i).compare(learner, Qt::CaseInsensitive) == 0)
            shown.current = i;
    }
    return shown;
}

void choose(PracticeRecord &record, const QString &name)
{
    record.setLearner(name);
}

bool addNew(PracticeRecord &record, Prompts &prompts)
{
    const std::optional<QString> typed = prompts.askText(u"Name of the new learner:"_s);
    if (!typed)
        return false;
    const QString reason = record.addLearner(*typed);
    if (!reason.isEmpty()) {
        prompts.message(reason);
        return false;
    }
    record.setLearner(typed->trimmed());
    return true;
}

} // namespace LearnerChoice
