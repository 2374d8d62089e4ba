// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordstoworkon.h"

#include "answercheck.h"

#include <QHash>
#include <algorithm>

namespace {

// Right answers in this many separate games after the last miss clear a word.
constexpr int kGamesToClear = 2;

struct Tally
{
    qint64 asked = 0;
    qint64 wrong = 0;
    qint64 lastMissGame = 0;
    QString lastWrongSpelling;
    QList<qint64> gamesRight; // games with a right answer, any order
};

// Words the answer check sees as the same, such as two that differ only in
// letter case, are one word.
QHash<QString, Tally> talliesOf(const QList<WordOutcome> &outcomes)
{
    QHash<QString, Tally> tallies;
    for (const WordOutcome &outcome : outcomes) {
        Tally &tally = tallies[AnswerCheck::comparable(outcome.word)];
        tally.asked += outcome.asked;
        tally.wrong += outcome.wrong;
        if (outcome.wrong > 0 && outcome.game >= tally.lastMissGame) {
            tally.lastMissGame = outcome.game;
            tally.lastWrongSpelling = outcome.lastWrongSpelling;
        }
        if (outcome.asked > outcome.wrong)
            tally.gamesRight.append(outcome.game);
    }
    return tallies;
}

// Right answers in separate games after the last miss reach kGamesToClear.
bool cleared(const Tally &tally)
{
    QList<qint64> later;
    for (const qint64 game : tally.gamesRight) {
        if (game > tally.lastMissGame && !later.contains(game))
            later.append(game);
        if (later.size() >= kGamesToClear)
            return true;
    }
    return false;
}

} // namespace

QList<WordToWorkOn> wordsToWorkOn(const QList<WordOutcome> &outcomes, const QStringList &listWords)
{
    const QHash<QString, Tally> tallies = talliesOf(outcomes);

    struct Candidate
    {
        WordToWorkOn row;
        qint64 lastMissGame;
        qsizetype listPosition;
    };
    QList<Candidate> candidates;
    QHash<QString, bool> listed;
    for (qsizetype position = 0; position < listWords.size(); ++position) {
        const QString key = AnswerCheck::comparable(listWords.at(position));
        if (listed.contains(key))
            continue;
        listed.insert(key, true);
        const auto found = tallies.constFind(key);
        if (found == tallies.constEnd() || found->wrong == 0)
            continue;
        if (cleared(*found))
            continue;
        candidates.append({{listWords.at(position), found->asked, found->wrong, found->lastWrongSpelling},
                           found->lastMissGame,
                           position});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        if (a.row.wrong != b.row.wrong)
            return a.row.wrong > b.row.wrong;
        if (a.lastMissGame != b.lastMissGame)
            return a.lastMissGame > b.lastMissGame;
        return a.listPosition < b.listPosition;
    });
    QList<WordToWorkOn> rows;
    rows.reserve(candidates.size());
    for (const Candidate &candidate : candidates)
        rows.append(candidate.row);
    return rows;
}

qsizetype wordsSecure(const QList<WordOutcome> &outcomes, const QStringList &listWords)
{
    const QHash<QString, Tally> tallies = talliesOf(outcomes);
    QSet<QString> counted;
    for (const QString &word : listWords) {
        const QString key = AnswerCheck::comparable(word);
        const auto found = tallies.constFind(key);
        if (found != tallies.constEnd() && cleared(*found))
            counted.insert(key);
    }
    return counted.size();
}

QSet<QString> wordsAskedFirst(const QList<WordToWorkOn> &toWorkOn)
{
    QSet<QString> words;
    for (const WordToWorkOn &word : toWorkOn)
        words.insert(word.word);
    return words;
}
