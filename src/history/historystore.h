// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/practicehistory.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <array>
#include <functional>
#include <optional>

// The practice history in one SQLite file: WAL journal, foreign keys on, the
// schema's version in PRAGMA user_version, migrated in one transaction.
// Several connections (two running copies of the program) may write to it
// at once: each write is one short transaction, and a busy file is waited
// for a moment before the write gives up.
//
// A file that is not a database, or one found damaged, is renamed aside to
// history.damaged-<date-time>.sqlite beside it and a new history starts.
// A history of a newer version is opened read-only, and so is one of an
// older version that cannot be brought up to date now (a read-only folder
// or medium, a full disk, a lock held by another program) and one in a
// folder where SQLite cannot make its journal files: the file is left as it
// is, and the next run that can write it brings it up to date. When a write
// fails (the file locked, the disk full) what is stored is still shown, and
// each later write tries again without waiting long. A file deleted or
// replaced while open is noticed at the next use and the history goes on in
// the file then at the path, a new one when there is none. Each is told once
// through takeNotice().
class HistoryStore final : public PracticeHistory
{
public:
    // The schema this version writes.
    // 2: words keyed as the answer check sees them now (accents composed,
    // invisible characters left out). 3: the whole lengths of long words and
    // typed texts, of which only a part is kept. 4: tests apart from
    // practice games, and the copies typed after a miss.
    static constexpr int kSchemaVersion = 4;
    // Long enough for another copy's short transaction to end, short enough
    // that an answer never waits long for a copy that holds the file.
    static constexpr int kBusyTimeoutMs = 1000;
    // How long a write waits for the file after a write has failed: short,
    // so that a file that stays locked does not hold up each answer.
    static constexpr int kRetryTimeoutMs = 50;

    // Opens (creating when absent) the history at the given path. The clock
    // names a damaged file set aside.
    explicit HistoryStore(QString filePath, std::function<QDateTime()> clock = &QDateTime::currentDateTime,
                          int busyTimeoutMs = kBusyTimeoutMs);
    ~HistoryStore() override;
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // $XDG_DATA_HOME/Marrowfen/Lexidrill/history.sqlite on Linux: the
    // application's data location.
    static QString defaultPath();

    Access access() override { return m_access; }
    QStringList learners() override;
    QString addLearner(const QString &name) override;
    bool forgetHistory(const QString &learner) override;
    QList<PastGame> pastGames(const QString &learner, const WordListId &list) override;
    QList<WordOutcome> wordsByGame(const QString &learner, const WordListId &list) override;
    QList<PlayedList> playedLists(const QString &learner) override;
    qint64 recordGame(const QString &learner, const WordListId &list, const QDateTime &started,
                      GameKind kind = GameKind::Practice) override;
    bool recordAnswer(qint64 game, const RecordedAnswer &answer) override;
    bool recordCopy(qint64 game, const RecordedAnswer &copy) override;
    QString takeNotice() override;

    const QString &filePath() const { return m_filePath; }

private:
    struct FileId
    {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const FileId &) const = default;
    };
    // The device and inode of the file at the path; nothing when it cannot
    // be looked at, with absent set when there is no file there.
    static std::optional<FileId> identityOf(const QString &path, bool *absent = nullptr);

    void open();
    // Connects and brings the schema up to date; Unavailable when it cannot.
    void start();
    // How the file is opened. Immutable reads it without locks or the
    // shared-memory file, for a folder where that cannot be made.
    enum class Open { ReadWrite, ReadOnly, Immutable };
    bool connect(Open mode);
    QSqlDatabase addConnection(Open mode);
    // After the file could not be opened for writing (why): opens it to
    // read what it holds, never written. False when nothing can be read
    // from it.
    bool openAsStored(const QSqlError &why);
    void disconnect();
    void migrate();
    // Notes which files were opened.
    void remember();
    // Goes on in the file now at the path when the one opened was deleted or
    // replaced meanwhile.
    void followFile();
    void setBusyTimeout(int milliseconds);
    QString setAside();
    // After a failed statement: sets a damaged file aside, or marks the
    // writing failed.
    void failed(const class QSqlError &error, bool writing);
    void notice(const QString &text);
    // One learner whatever the letter case of the name.
    static bool sameLearner(const QString &a, const QString &b);
    // The rows of the learner of that name, trimmed, oldest first: more than
    // one in a history written when names in other letter cases counted as
    // other learners.
    QList<qint64> learnerIds(const QString &name);
    // The learner's first row; added when there is none and `add` is set.
    qint64 learnerId(const QString &name, bool add);
    // The lists that count as the given one.
    QList<qint64> listIds(const WordListId &list);
    // Runs the statements in one write transaction; false when they could
    // not be written.
    bool write(const std::function<void(class QSqlQuery &)> &statements);
    // One try of the statements' transaction: the error, invalid when written.
    QSqlError transaction(const std::function<void(class QSqlQuery &)> &statements);

    QString m_filePath;
    std::function<QDateTime()> m_clock;
    int m_busyTimeoutMs;
    QString m_connection;
    Access m_access = Access::Unavailable;
    // The schema version of the file opened; older ones are read as stored.
    int m_version = kSchemaVersion;
    QStringList m_notices;
    bool m_setAside = false;
    // The file opened and its -wal and -shm journal files, as found then.
    std::optional<FileId> m_opened;
    std::array<std::optional<FileId>, 2> m_openedJournal;
    // Once the history went on in another file, only the games recorded
    // since take answers: an earlier game's number may name another game.
    bool m_followed = false;
    QSet<qint64> m_gamesSinceFollowed;
};
