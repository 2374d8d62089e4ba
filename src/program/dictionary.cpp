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
    // A long word asked again shares the copy the game holds already: a game
    // over a word of millions of letters would otherwise keep one per answer.
    if (word.size() > kLongWord) {
        for (const QString &given : std::as_const(state.game.givenWords)) {
            if (given == word)
                return given;
        }
    }
    return word;
}

QString drawnWordSentence(const ProgramState &state)
{
    return state.gameWords().sentence(state.usedWords.lastPosition());
}
