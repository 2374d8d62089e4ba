// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicerecord.h"

#include "core/failure.h"
#include "core/prompts.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "core/settingsstore.h"
#include "core/useraccount.h"
#include "practice/answercheck.h"
#include "practice/gamestate.h"
#include "practice/scoring.h"
#include "wordlist/wordstore.h"

#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString truthText(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

// One learner whatever the letter case and the spaces around the name, as
// the history sees it.
bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QStringList wordsOf(const WordStore &list)
{
    QStringList words;
    words.reserve(list.count());
    for (qsizetype position = 1; position <= list.count(); ++position)
        words.append(list.word(position));
    return words;
}

// The history keeps only the first part of a very long word: such a word is
// matched by that part and shown whole.
QList<WordToWorkOn> toWorkOnOf(const QList<WordOutcome> &outcomes, QStringList words)
{
    QHash<QString, QString> whole;
    for (QString &word : words) {
        if (word.size() > kLongestRecorded) {
            QString part = recordedPart(word);
            if (!whole.contains(part))
                whole.insert(part, word);
            word = std::move(part);
        }
    }
    QList<WordToWorkOn> rows = ::wordsToWorkOn(outcomes, words);
    for (WordToWorkOn &row : rows)
        row.word = whole.value(row.word, row.word);
    return rows;
}

} // namespace

PracticeRecord::PracticeRecord(SettingsStore *settings, Prompts *prompts, Opener opener)
    : m_settings(settings), m_prompts(prompts), m_opener(std::move(opener))
{ }

PracticeRecord::~PracticeRecord() = default;

QString PracticeRecord::firstLearner(const QString &fullName, const QString &login, const QStringList &learners)
{
    const QString named = UserAccount::firstLearnerName(fullName, login);
    const auto listed = [&learners](const QString &name) { return learners.contains(name, Qt::CaseInsensitive); };
    // Earlier versions called the first learner by the login name: a history
    // that holds that learner, and none of the full name, goes on with it.
    if (!login.trimmed().isEmpty() && listed(login.trimmed()) && !listed(named))
        return login.trimmed();
    return named;
}

QString PracticeRecord::learner()
{
    const QString name
        = m_settings ? m_settings->ReadSetting(SettingKeys::kLearner.toString(), QString()).trimmed() : QString();
    if (!name.isEmpty())
        return name;
    if (m_firstLearner.isEmpty()) {
        // Read quietly: what the history has to tell is told by the call
        // that asked for the learner, or by the next one.
        PracticeHistory *store = history();
        m_firstLearner = firstLearner(UserAccount::fullName(), UserAccount::loginName(),
                                      store ? store->learners() : QStringList());
    }
    return m_firstLearner;
}

void PracticeRecord::setLearner(const QString &name)
{
    if (!m_settings)
        throw Failure(u"There is no settings store"_s);
    m_settings->WriteSetting(SettingKeys::kLearner.toString(), name.trimmed());
}

bool PracticeRecord::keepHistory() const
{
    if (!m_settings)
        return true;
    try {
        return SettingConversions::truthValue(m_settings->ReadSetting(SettingKeys::kKeepHistory));
    } catch (const Failure &) {
        // A hand-edited value that is no truth value keeps the default.
        return SettingKeys::kKeepHistory.defaultValue != 0;
    }
}

void PracticeRecord::setKeepHistory(bool keep)
{
    if (!m_settings)
        throw Failure(u"There is no settings store"_s);
    m_settings->WriteSetting(SettingKeys::kKeepHistory.key.toString(), truthText(keep));
}

PracticeHistory *PracticeRecord::history()
{
    if (!m_opened) {
        m_opened = true;
        if (m_opener)
            m_history = m_opener();
    }
    return m_history.get();
}

void PracticeRecord::tell()
{
    if (!m_history)
        return;
    const QString text = m_history->takeNotice();
    if (text.isEmpty() || m_told.contains(text))
        return;
    m_told.append(text);
    if (m_prompts)
        m_prompts->message(text);
}

WordListId PracticeRecord::listId(const QString &listPath, const WordStore &list)
{
    if (m_hash.isEmpty() || m_hashedList != list.identity()) {
        WordsHasher hasher;
        for (qsizetype position = 1; position <= list.count(); ++position)
            hasher.add(list.wordView(position));
        m_hash = hasher.result();
        m_hashedList = list.identity();
    }
    return {listPath, m_hash};
}

QStringList PracticeRecord::learners(Telling telling)
{
    QStringList names;
    if (PracticeHistory *store = history())
        names = store->learners();
    if (telling == Telling::Now)
        tell();
    const QString current = learner();
    if (!names.contains(current, Qt::CaseInsensitive))
        names.append(current);
    return names;
}

QString PracticeRecord::addLearner(const QString &name)
{
    PracticeHistory *store = history();
    const QString reason
        = store ? store->addLearner(name) : u"The practice history cannot be used, so no learner can be added."_s;
    tell();
    return reason;
}

bool PracticeRecord::forgetHistory(const QString &learner)
{
    PracticeHistory *store = history();
    const bool forgotten = store && store->forgetHistory(learner);
    if (forgotten && sameName(learner, m_gameLearner))
        m_game = 0;
    tell();
    return forgotten;
}

bool PracticeRecord::canRecord()
{
    PracticeHistory *store = history();
    tell();
    return store && store->access() == PracticeHistory::Access::ReadWrite;
}

bool PracticeRecord::writingFails()
{
    if (!keepHistory())
        return false;
    PracticeHistory *store = history();
    tell();
    if (!store)
        return false;
    const PracticeHistory::Access access = store->access();
    return access == PracticeHistory::Access::WriteFailed || access == PracticeHistory::Access::Unavailable;
}

QList<GameSummary> PracticeRecord::pastGames(const QString &listPath, const WordStore &list)
{
    QList<GameSummary> summaries;
    if (PracticeHistory *store = history()) {
        const QList<PastGame> games = store->pastGames(learner(), listId(listPath, list));
        summaries.reserve(games.size());
        for (const PastGame &game : games)
            summaries.append({game.started, game.answered, game.correct,
                              Scoring::percent(game.correct, game.answered - game.correct), game.kind});
    }
    tell();
    return summaries;
}

QList<WordToWorkOn> PracticeRecord::wordsToWorkOn(const QString &listPath, const WordStore &list)
{
    QList<WordOutcome> outcomes;
    if (PracticeHistory *store = history())
        outcomes = store->wordsByGame(learner(), listId(listPath, list));
    tell();
    return toWorkOnOf(outcomes, wordsOf(list));
}

ListProgress PracticeRecord::listProgress(const QString &listPath, const WordStore &list)
{
    return progressOf(listId(listPath, list), wordsOf(list));
}

ListProgress PracticeRecord::listProgress(const WordListId &list)
{
    return progressOf(list, std::nullopt);
}

ListProgress PracticeRecord::progressOf(const WordListId &list, const std::optional<QStringList> &words)
{
    ListProgress progress;
    QList<WordOutcome> outcomes;
    if (PracticeHistory *store = history()) {
        const QList<PastGame> games = store->pastGames(learner(), list);
        progress.games.reserve(games.size());
        for (const PastGame &game : games)
            progress.games.append({game.started, game.answered, game.correct,
                                   Scoring::percent(game.correct, game.answered - game.correct), game.kind});
        outcomes = store->wordsByGame(learner(), list);
    }
    tell();
    QStringList listWords;
    if (words) {
        progress.toWorkOn = toWorkOnOf(outcomes, *words);
        listWords.reserve(words->size());
        for (const QString &word : *words)
            listWords.append(recordedPart(word));
    } else {
        for (const WordOutcome &outcome : std::as_const(outcomes))
            listWords.append(outcome.word);
        progress.toWorkOn = ::wordsToWorkOn(outcomes, listWords);
    }
    QSet<QString> different;
    for (const QString &word : std::as_const(listWords))
        different.insert(AnswerCheck::comparable(word));
    progress.words = different.size();
    progress.secure = wordsSecure(outcomes, listWords);
    return progress;
}

QList<PlayedList> PracticeRecord::playedLists()
{
    QList<PlayedList> lists;
    if (PracticeHistory *store = history())
        lists = store->playedLists(learner());
    tell();
    return lists;
}

void PracticeRecord::answered(const GameState &game, const QString &listPath, const WordStore &list)
{
    // The answer has been judged whatever happens here: the game goes on.
    try {
        record(game, listPath, list);
    } catch (const std::exception &) {
        m_game = 0;
    }
}

void PracticeRecord::copied(const QString &word, const QString &copy)
{
    if (m_game == 0 || !keepHistory() || !m_history)
        return;
    m_history->recordCopy(m_game, {word, copy, AnswerCheck::same(copy, word), QDateTime::currentDateTime()});
    tell();
}

void PracticeRecord::record(const GameState &game, const QString &listPath, const WordStore &list)
{
    const qsizetype answers = game.typedWords.size();
    if (answers == 0 || game.givenWords.size() < answers)
        return;
    if (answers == 1) {
        m_game = 0;
        m_answersSeen = 0;
    }
    // Told again without a new answer (its append failed): nothing new.
    if (answers <= m_answersSeen)
        return;
    m_answersSeen = answers;
    if (!keepHistory())
        return;
    PracticeHistory *store = history();
    if (!store) {
        tell();
        return;
    }
    const QString given = game.givenWords.at(answers - 1);
    const QString typed = game.typedWords.at(answers - 1);
    const RecordedAnswer answer{given, typed, Scoring::isCorrect(typed, given), QDateTime::currentDateTime()};
    const QString name = learner();
    const WordListId id = listId(listPath, list);
    // Another learner, another list, or a history started afresh: the game
    // is recorded anew from this answer on.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const PracticeHistory::Access access = store->access();
        if (access != PracticeHistory::Access::ReadWrite && access != PracticeHistory::Access::WriteFailed)
            break;
        if (m_game == 0 || !sameName(m_gameLearner, name) || m_gameList.path != id.path
            || m_gameList.wordsHash != id.wordsHash) {
            m_game = store->recordGame(name, id, answer.answered, game.kind);
            m_gameLearner = name;
            m_gameList = id;
        }
        if (m_game != 0 && store->recordAnswer(m_game, answer))
            break;
        // A write that failed leaves the game in the file: it takes the next
        // answer once the file can be written again.
        if (store->access() != PracticeHistory::Access::ReadWrite)
            break;
        m_game = 0;
    }
    tell();
}
