// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordsfirst.h"

#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "program/practicerecord.h"
#include "program/programstate.h"

#include <QSet>

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
    QSet<QString> words;
    const QList<WordToWorkOn> toWorkOn = record.wordsToWorkOn(listPath, state.dictionary);
    for (const WordToWorkOn &word : toWorkOn)
        words.insert(word.word);
    state.setFirstWords(words);
}

} // namespace WordsFirst
