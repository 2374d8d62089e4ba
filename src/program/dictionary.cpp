// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary.h"

#include "core/errorreport.h"
#include "practice/draw.h"
#include "program/programstate.h"

QString getWordFromDictionary(ProgramState &state)
{
    Steps s(state.prompts(), u"modDictionary", u"getWordFromDictionary");
    QString word;
    s.step(104, [&] { word = drawWord(state.gameWords(), state.usedWords, state.random(), state.firstWords()); });
    return word;
}
