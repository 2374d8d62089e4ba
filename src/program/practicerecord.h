// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/practicehistory.h"
#include "practice/wordstoworkon.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class Prompts;
class SettingsStore;
class WordStore;
struct GameState;

// A past game as the Progress window lists it.
struct GameSummary
{
    QDateTime started; // in UTC, as PastGame: toLocalTime() where shown
    qint64 answered = 0;
    qint64 correct = 0;
    qint64 score = 0; // as the results window computes it
    GameKind kind = GameKind::Practice;
};

// What the Progress window shows of one list for the learner in use.
struct ListProgress
{
    QList<GameSummary> games; // newest first
    QList<WordToWorkOn> toWorkOn;
    // The list's different words, as the answer check tells them apart, and
    // how many of them are secure (wordsSecure).
    qsizetype words = 0;
    qsizetype secure = 0;
};

// The practice history as the program uses it: records each judged answer
// for the learner in use, and answers the Progress window's questions.
//
// The history never throws or stops practice: it is opened at its first use,
// whatever goes wrong with it is told once, in a plain message, and the
// program goes on without it. Only writing a setting (setLearner,
// setKeepHistory) throws.
class PracticeRecord
{
public:
    using Opener = std::function<std::unique_ptr<PracticeHistory>()>;

    // The history opens through the opener, at its first use. Messages go
    // to the prompts.
    PracticeRecord(SettingsStore *settings, Prompts *prompts, Opener opener);
    ~PracticeRecord();
    PracticeRecord(const PracticeRecord &) = delete;
    PracticeRecord &operator=(const PracticeRecord &) = delete;

    // The learner in use: the "Learner" setting, else the first learner.
    QString learner();
    // Remembers the learner in use; throws Failure when the setting cannot be
    // written.
    void setLearner(const QString &name);
    // "Keep practice history" (on by default): off, nothing more is recorded
    // for anyone. setKeepHistory throws Failure when it cannot be written.
    bool keepHistory() const;
    void setKeepHistory(bool keep);

    // When what the history has to tell (a damaged file set aside, say) is
    // shown: now, or at the next call that tells, so that a window filled
    // at start-up shows no box.
    enum class Telling { Now, Later };
    // Every learner of the history, with the learner in use among them.
    QStringList learners(Telling telling = Telling::Now);
    // Empty when added, else the reason to show.
    QString addLearner(const QString &name);
    // Deletes the learner's record; false when the history could not do it.
    bool forgetHistory(const QString &learner);
    // False when the history was written by a newer version, cannot be used,
    // or its last write failed.
    bool canRecord();
    // True when answers are to be kept but the history cannot be written:
    // its last write failed (the file locked, the disk full), or it could not
    // be opened for writing. What it holds is still shown.
    bool writingFails();

    // The learner's games on the list, newest first.
    QList<GameSummary> pastGames(const QString &listPath, const WordStore &list);
    // The learner's words to work on among the list's words.
    QList<WordToWorkOn> wordsToWorkOn(const QString &listPath, const WordStore &list);

    // The games, words to work on and words secure of the list in use.
    ListProgress listProgress(const QString &listPath, const WordStore &list);
    // Those of another list the learner played, whose words are taken as
    // the history holds them.
    ListProgress listProgress(const WordListId &list);
    // The lists the learner in use played, the most recent first.
    QList<PlayedList> playedLists();
    // The identity by which the history knows the list.
    WordListId listId(const QString &listPath, const WordStore &list);

    // Records the game's last answer, judged as the game judges it, on the
    // list in use; the first answer of a game records the game.
    void answered(const GameState &game, const QString &listPath, const WordStore &list);
    // Records a copy typed after a miss of the game being recorded, right
    // when the answer check finds it the word; nothing when that game's
    // answers were not recorded.
    void copied(const QString &word, const QString &copy);

    // The learner in use while none has been chosen: the account's full
    // name, else its login name (UserAccount::firstLearnerName), but the login
    // name when the history's learners hold it and not the full name.
    static QString firstLearner(const QString &fullName, const QString &login, const QStringList &learners);

private:
    void record(const GameState &game, const QString &listPath, const WordStore &list);
    PracticeHistory *history();
    // The words given may be only the recorded parts of very long words.
    ListProgress progressOf(const WordListId &list, const std::optional<QStringList> &words);
    // Shows what the history has to tell, each text once per run.
    void tell();

    SettingsStore *m_settings;
    Prompts *m_prompts;
    Opener m_opener;
    std::unique_ptr<PracticeHistory> m_history;
    bool m_opened = false;
    QStringList m_told;
    // The first learner, once worked out.
    QString m_firstLearner;
    // The game being recorded, for whom and on which list.
    qint64 m_game = 0;
    QString m_gameLearner;
    WordListId m_gameList;
    // How many answers of the game the record has been told of.
    qsizetype m_answersSeen = 0;
    // wordsHash of the list with this identity.
    quint64 m_hashedList = 0;
    QString m_hash;
};
