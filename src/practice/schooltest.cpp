// SPDX-License-Identifier: GPL-3.0-or-later
#include "schooltest.h"

#include "draw.h"
#include "scoring.h"

using namespace Qt::StringLiterals;

namespace SchoolTest {

QStringList order(const WordStore &list, RandomSource &random)
{
    PassRecord pass;
    QStringList words;
    const qsizetype count = list.distinctCount();
    words.reserve(count);
    for (qsizetype k = 0; k < count; ++k)
        words.append(drawWord(list, pass, random));
    return words;
}

bool isOver(qsizetype words, qsizetype answered)
{
    return answered >= words;
}

QString finishLine(qint64 right, qint64 words)
{
    if (words <= 0)
        return u"No words were asked."_s;
    if (right >= words)
        return words == 1 ? u"The word was right. Well done!"_s : u"All %1 words right. Well done!"_s.arg(words);
    return u"%1 of %2 %3 right."_s.arg(right).arg(words).arg(words == 1 ? u"word"_s : u"words"_s);
}

bool lastAnswersRight(const QStringList &givenWords, const QStringList &typedWords, qsizetype count)
{
    const qsizetype answered = typedWords.size();
    if (count <= 0 || answered < count || givenWords.size() < answered)
        return false;
    for (qsizetype k = answered - count; k < answered; ++k) {
        if (!Scoring::isCorrect(typedWords.at(k), givenWords.at(k)))
            return false;
    }
    return true;
}

} // namespace SchoolTest
