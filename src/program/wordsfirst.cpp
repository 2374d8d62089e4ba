// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordsfirst.h"

#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "practice/wordstoworkon.h"
#include "program/practicerecord.h"
#include "program/programstate.h"

using namespace Qt::StringLiterals;

namespace WordsFirst {

bool isOn(const ProgramState &state)
{
    try {
        return SettingConversions::truthValue(state.ReadSetting(SettingKeys::kWordsToWorkOnFirst));
    } catch (const Failure &) {
        return false;
    }
}

void setOn(ProgramState &state, bool on)
{
    state.WriteSetting(SettingKeys::kWordsToWorkOnFirst.key, on ? u"True"_s : u"False"_s);
    if (!on)
        state.setFirstWords({});
}

void startGame(ProgramState &state, PracticeRecord &record, const QString &listPath)
{
    if (!isOn(state))
        return;
    state.setFirstWords(wordsAskedFirst(record.wordsToWorkOn(listPath, state.dictionary)));
}

} // namespace WordsFirst
