// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordsfirst.h"

#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
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

void setOn(const ProgramState &state, bool on)
{
    state.WriteSetting(SettingKeys::kWordsToWorkOnFirst.key, on ? u"True"_s : u"False"_s);
}

QSet<QString> firstWords(const ProgramState &state, PracticeRecord &record, const QString &listPath)
{
    QSet<QString> words;
    if (!isOn(state))
        return words;
    const QList<WordToWorkOn> toWorkOn = record.wordsToWorkOn(listPath, state.dictionary);
    for (const WordToWorkOn &word : toWorkOn)
        words.insert(word.word);
    return words;
}

} // namespace WordsFirst
