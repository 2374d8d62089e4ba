// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring.h"

#include "answercheck.h"

using namespace Qt::StringLiterals;

namespace Scoring {

bool isCorrect(const QString &typed, const QString &given)
{
    return AnswerCheck::same(typed, given);
}

qint64 percent(qint64 correct, qint64 wrong)
{
    const qint64 answered = correct + wrong;
    if (answered < 1)
        return 0;
    // Whole-number arithmetic rounds exact halves up without the drift of a
    // double (23 of 40 is 57.5, which a double product holds as 57.4999...).
    return (200 * correct + answered) / (2 * answered);
}

Tally tally(const QStringList &givenWords, const QStringList &typedWords)
{
    Tally result;
    const qsizetype answered = std::min(givenWords.size(), typedWords.size());
    for (qsizetype k = 0; k < answered; ++k) {
        if (isCorrect(typedWords.at(k), givenWords.at(k)))
            ++result.correct;
        else
            ++result.wrong;
    }
    return result;
}

QString scoreText(const Tally &tally)
{
    return u"Score: "_s + QString::number(percent(tally.correct, tally.wrong)) + u'%';
}

} // namespace Scoring
