// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/gamestate.h"
#include "practice/wordstoworkon.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The word list a game was played on: the file's path and wordsHash() of the
// words it held. A list counts as the same list when either matches, so a
// renamed copy and a list edited in place both keep their history.
struct WordListId
{
    QString path;
    QString wordsHash;
};

// Hex SHA-256 of the words in list order, each followed by a LF, as UTF-8.
class WordsHasher
{
public:
    WordsHasher();
    void add(QStringView word);
    QString result() const;

private:
    QCryptographicHash m_hash;
};
QString wordsHash(const QStringList &words);

// The history keeps the first this many characters of a given word and of a
// typed text, with their whole length: a word of millions of characters would
// otherwise grow the file by megabytes with each answer.
inline constexpr qsizetype kLongestRecorded = 10'000;

// The part of a text the history keeps: its first kLongestRecorded
// characters (UTF-16 units, a pair never split).
QString recordedPart(const QString &text);

// One judged answer, as the game judged it.
struct RecordedAnswer
{
    QString givenWord;
    QString typedText;
    bool correct = false;
    QDateTime answered;
};

// A past game: started is the time of its first answer (a game is recorded
// when it gets one), in UTC; toLocalTime() gives the learner's clock. The
// score is Scoring::percent(correct, answered - correct).
struct PastGame
{
    qint64 id = 0;
    QDateTime started;
    qint64 answered = 0;
    qint64 correct = 0;
    GameKind kind = GameKind::Practice;
};

// A list a learner has played: its last path and words, its games and the
// start of the latest.
struct PlayedList
{
    WordListId id;
    qint64 games = 0;
    QDateTime lastPlayed;
};

// Where answers are kept between runs, for every learner. Learners are named;
// names are trimmed, non-empty and unique regardless of letter case, and every
// call that takes a name finds the learner whatever its letter case and the
// spaces around it.
//
// No call throws and none shows anything: a store that cannot read or write
// answers with empty results and false, and leaves one plain text in
// takeNotice() saying why, for the caller to show once.
class PracticeHistory
{
public:
    enum class Access {
        ReadWrite,
        // The last write failed (the file locked, the disk full): shown as
        // stored, and the next write tries again.
        WriteFailed,
        // Written by a newer version, or one that cannot be written now
        // (an older version that could not be brought up to date, a
        // read-only folder): shown as stored, never changed.
        ReadOnly,
        Unavailable,
    };

    virtual ~PracticeHistory() = default;

    virtual Access access() = 0;

    // In the order they were added.
    virtual QStringList learners() = 0;
    // Empty when added; otherwise the reason to show, e.g. "A learner of
    // that name already exists."
    virtual QString addLearner(const QString &name) = 0;
    // Deletes the learner's games and answers; the learner stays.
    virtual bool forgetHistory(const QString &learner) = 0;

    // Newest first.
    virtual QList<PastGame> pastGames(const QString &learner, const WordListId &list) = 0;
    // What decides the learner's words to work on and words secure, in no
    // particular order: per word, the game of its last miss and the two
    // games after it (a word never missed: its first three games), and all
    // its other answers as one entry of game 0 (they count, but decide
    // nothing). Asked and wrong add up to the word's whole record. Answers
    // are grouped by word as the answer check sees them
    // (AnswerCheck::comparable); each outcome holds the word as given.
    virtual QList<WordOutcome> wordsByGame(const QString &learner, const WordListId &list) = 0;

    // The lists the learner has games on, the most recently played first.
    virtual QList<PlayedList> playedLists(const QString &learner) = 0;

    // Records a new game for the learner (added when new) on the list and
    // returns its number, or 0 when it could not be recorded.
    // Games recorded before tests were kept apart are practice games.
    virtual qint64 recordGame(const QString &learner, const WordListId &list, const QDateTime &started,
                              GameKind kind = GameKind::Practice)
        = 0;
    // Records one answer of a recorded game in a transaction of its own,
    // the recorded part of its word and typed text (grouped by the recorded
    // part of the word) with their whole lengths;
    // false when it was not recorded, also when the game has been forgotten
    // meanwhile (the store itself still works then).
    virtual bool recordAnswer(qint64 game, const RecordedAnswer &answer) = 0;
    // Records a copy typed after a miss in the game: kept as a copy, it
    // counts in no score and decides no word to work on. False when it was
    // not recorded, as for an answer.
    virtual bool recordCopy(qint64 game, const RecordedAnswer &copy) = 0;

    // The text of what went wrong since the last call, or empty: a damaged
    // file set aside, a folder that cannot be written, a locked or full disk,
    // a newer version's history, a file deleted or replaced meanwhile. Each
    // cause is told once.
    virtual QString takeNotice() = 0;
};
