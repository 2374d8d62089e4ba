// SPDX-License-Identifier: GPL-3.0-or-later
#include "historystore.h"

#include "core/apptitle.h"
#include "practice/answercheck.h"

#include <QAtomicInteger>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QVariant>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// SQLite's primary result codes that decide what to do with a failure.
enum SqliteCode {
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kNotADatabase = 26,
};

// How long a write waits before trying again a file another copy holds.
constexpr unsigned long kRetryMs = 5;

// The files SQLite keeps beside the history in WAL mode.
const std::array<QString, 2> kJournalSuffixes{u"-wal"_s, u"-shm"_s};

int primaryCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xFF) : -1;
}

bool isDamage(const QSqlError &error)
{
    const int code = primaryCode(error);
    return code == kCorrupt || code == kNotADatabase;
}

// The copies typed after a miss: checked, never scored, so kept apart from
// the answers. given and typed are their recorded parts.
const QString kCopiesTable = u"CREATE TABLE copies ("
                             "  id INTEGER PRIMARY KEY,"
                             "  game INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,"
                             "  given TEXT NOT NULL,"
                             "  typed TEXT NOT NULL,"
                             "  correct INTEGER NOT NULL CHECK (correct IN (0, 1)),"
                             "  answered INTEGER NOT NULL)"_s;
const QString kCopiesIndex = u"CREATE INDEX copies_by_game ON copies (game)"_s;

// games.kind: 0 a practice game, 1 a test.
qint64 kindNumber(GameKind kind)
{
    return kind == GameKind::Test ? 1 : 0;
}

const QStringList kSchema{
    u"CREATE TABLE learners ("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL UNIQUE CHECK (name <> '' AND name = trim(name)))"_s,
    u"CREATE TABLE lists ("
    "  id INTEGER PRIMARY KEY,"
    "  path TEXT NOT NULL,"
    "  words_hash TEXT NOT NULL,"
    "  UNIQUE (path, words_hash))"_s,
    u"CREATE INDEX lists_by_hash ON lists (words_hash)"_s,
    // answered and correct are kept with each answer, in its transaction, so
    // that the list of past games need not count the answers.
    u"CREATE TABLE games ("
    "  id INTEGER PRIMARY KEY,"
    "  learner INTEGER NOT NULL REFERENCES learners (id) ON DELETE CASCADE,"
    "  list INTEGER NOT NULL REFERENCES lists (id),"
    "  started INTEGER NOT NULL,"
    "  answered INTEGER NOT NULL DEFAULT 0,"
    "  correct INTEGER NOT NULL DEFAULT 0,"
    "  kind INTEGER NOT NULL DEFAULT 0)"_s,
    u"CREATE INDEX games_by_learner ON games (learner, list)"_s,
    // given and typed are their recorded parts (recordedPart), and word_key
    // is the given one as the answer check sees it (AnswerCheck::comparable).
    // given_length and typed_length are their whole lengths in UTF-16 units,
    // NULL in answers recorded before (whole then).
    // The learner and the list of the answer's game are kept with it, so
    // that a word's last miss and the games after it are found in the index
    // without reading the rest of the learner's answers.
    u"CREATE TABLE answers ("
    "  id INTEGER PRIMARY KEY,"
    "  game INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,"
    "  learner INTEGER NOT NULL,"
    "  list INTEGER NOT NULL,"
    "  given TEXT NOT NULL,"
    "  word_key TEXT NOT NULL,"
    "  typed TEXT NOT NULL,"
    "  correct INTEGER NOT NULL CHECK (correct IN (0, 1)),"
    "  answered INTEGER NOT NULL,"
    "  given_length INTEGER,"
    "  typed_length INTEGER)"_s,
    u"CREATE INDEX answers_by_game ON answers (game)"_s,
    u"CREATE INDEX answers_by_word ON answers (learner, list, word_key, game, correct)"_s,
    // How often each word was asked and missed, kept with each answer.
    u"CREATE TABLE word_totals ("
    "  learner INTEGER NOT NULL REFERENCES learners (id) ON DELETE CASCADE,"
    "  list INTEGER NOT NULL REFERENCES lists (id),"
    "  word_key TEXT NOT NULL,"
    "  given TEXT NOT NULL,"
    "  asked INTEGER NOT NULL,"
    "  wrong INTEGER NOT NULL,"
    "  PRIMARY KEY (learner, list, word_key)) WITHOUT ROWID"_s,
    kCopiesTable,
    kCopiesIndex,
};

// Version 1 keyed words by upper-casing alone; the answer check now also
// leaves out invisible format characters and composes accents. Only a word
// with a character beyond ASCII can get another key: SQLite counts more bytes
// than characters in it.
void rekeyWords(const QSqlDatabase &db)
{
    const QString beyondAscii = u" WHERE length(CAST(given AS BLOB)) <> length(given)"_s;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const auto run = [&query](const QVariantList &values = {}) {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!query.exec())
            throw query.lastError();
    };

    QList<std::pair<qint64, QString>> answers;
    query.prepare(u"SELECT id, given, word_key FROM answers"_s + beyondAscii);
    run();
    while (query.next()) {
        const QString key = AnswerCheck::comparable(query.value(1).toString());
        if (key != query.value(2).toString())
            answers.append({query.value(0).toLongLong(), key});
    }
    query.prepare(u"UPDATE answers SET word_key = ? WHERE id = ?"_s);
    for (const auto &[id, key] : std::as_const(answers))
        run({key, id});

    // A word's totals whose key changes join those already kept under the
    // new key, if any.
    struct Totals
    {
        QVariant learner, list, oldKey, given, asked, wrong;
        QString key;
    };
    QList<Totals> totals;
    query.prepare(u"SELECT learner, list, word_key, given, asked, wrong FROM word_totals"_s + beyondAscii);
    run();
    while (query.next()) {
        const QString key = AnswerCheck::comparable(query.value(3).toString());
        if (key != query.value(2).toString())
            totals.append(
                {query.value(0), query.value(1), query.value(2), query.value(3), query.value(4), query.value(5), key});
    }
    query.prepare(u"DELETE FROM word_totals WHERE learner = ? AND list = ? AND word_key = ?"_s);
    for (const Totals &row : std::as_const(totals))
        run({row.learner, row.list, row.oldKey});
    query.prepare(u"INSERT INTO word_totals (learner, list, word_key, given, asked, wrong) VALUES (?, ?, ?, ?, ?, ?)"
                  " ON CONFLICT (learner, list, word_key)"
                  " DO UPDATE SET asked = asked + excluded.asked, wrong = wrong + excluded.wrong"_s);
    for (const Totals &row : std::as_const(totals))
        run({row.learner, row.list, row.key, row.given, row.asked, row.wrong});
}

// Brings a history of an earlier version up to this one, in the caller's
// transaction.
QSqlError upgrade(const QSqlDatabase &db, int from)
{
    try {
        if (from < 2)
            rekeyWords(db);
        if (from < 3) {
            QSqlQuery query(db);
            for (const QString &column : {u"given_length"_s, u"typed_length"_s}) {
                if (!query.exec(u"ALTER TABLE answers ADD COLUMN "_s + column + u" INTEGER"_s))
                    throw query.lastError();
            }
        }
        if (from < 4) {
            // Every game kept is a practice game.
            QSqlQuery query(db);
            for (const QString &statement :
                 {u"ALTER TABLE games ADD COLUMN kind INTEGER NOT NULL DEFAULT 0"_s, kCopiesTable, kCopiesIndex}) {
                if (!query.exec(statement))
                    throw query.lastError();
            }
        }
    } catch (const QSqlError &error) {
        return error;
    }
    return QSqlError();
}

QString damagedName(const QString &filePath, const QDateTime &now)
{
    const QFileInfo info(filePath);
    const QString stamp = now.toString(u"yyyyMMdd-HHmmss"_s);
    QString candidate = info.dir().filePath(u"history.damaged-"_s + stamp + u".sqlite"_s);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = info.dir().filePath(u"history.damaged-"_s + stamp + u'-' + QString::number(n) + u".sqlite"_s);
    return candidate;
}

// Row numbers for an IN (...) list; "NULL" matches nothing when there are none.
QString idList(const QList<qint64> &ids)
{
    if (ids.isEmpty())
        return u"NULL"_s;
    QStringList numbers;
    numbers.reserve(ids.size());
    for (const qint64 id : ids)
        numbers.append(QString::number(id));
    return numbers.join(u',');
}

QString learnerReason(PracticeHistory::Access access, int version)
{
    if (access == PracticeHistory::Access::ReadOnly && version > HistoryStore::kSchemaVersion)
        return u"The practice history was written by a newer version of "_s + kProductName.toString()
            + u" and cannot be changed."_s;
    if (access == PracticeHistory::Access::ReadOnly)
        return u"The practice history cannot be changed now, so no learner can be added."_s;
    return u"The practice history cannot be used, so no learner can be added."_s;
}

QString newerNotice()
{
    return u"The practice history was written by a newer version of "_s + kProductName.toString()
        + u". It is shown, but no answers are recorded in it."_s;
}

// Tells why a history opened to be read only cannot be written, and what
// follows for the learner.
QString readOnlyNotice(const QSqlError &why, int version, const QString &folder)
{
    const int code = primaryCode(why);
    QString text;
    if (code == kBusy || code == kLocked)
        text = u"The practice history is in use by another program (another copy of "_s + kProductName.toString()
            + u"?)."_s;
    else if (code == kFull)
        text = u"The disk that holds the practice history is full."_s;
    else if (code == kReadOnly || code == kCantOpen || code == kIoError)
        text = u"The practice history in "_s + QDir::toNativeSeparators(folder) + u" cannot be written."_s;
    else
        text = u"The practice history cannot be written ("_s + why.text() + u")."_s;
    if (version < HistoryStore::kSchemaVersion)
        text += u" It was written by an older version of "_s + kProductName.toString()
            + u" and cannot be brought up to date now."_s;
    return text + u" It is shown, but no answers are recorded in it."_s;
}

} // namespace

HistoryStore::HistoryStore(QString filePath, std::function<QDateTime()> clock, int busyTimeoutMs)
    : m_filePath(std::move(filePath)), m_clock(std::move(clock)), m_busyTimeoutMs(busyTimeoutMs)
{
    static QAtomicInteger<quint64> connections;
    m_connection = u"lexidrill-history-"_s + QString::number(++connections);
    open();
}

HistoryStore::~HistoryStore()
{
    disconnect();
}

QString HistoryStore::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(u"history.sqlite"_s);
}

void HistoryStore::notice(const QString &text)
{
    if (!m_notices.contains(text))
        m_notices.append(text);
}

QString HistoryStore::takeNotice()
{
    const QString text = m_notices.join(u"\n\n"_s);
    m_notices.clear();
    return text;
}

void HistoryStore::open()
{
    m_access = Access::Unavailable;
    const QFileInfo info(m_filePath);
    if (!QDir().mkpath(info.path())) {
        notice(u"The practice history cannot be kept: the folder "_s + QDir::toNativeSeparators(info.path())
               + u" cannot be created. Practice goes on without recording answers."_s);
        return;
    }
    // A folder or a device in the file's place is no history; setting it
    // aside keeps whatever it holds.
    if (info.exists() && !info.isFile()) {
        setAside();
        if (QFileInfo::exists(m_filePath))
            return;
    }
    start();
}

void HistoryStore::start()
{
    m_version = kSchemaVersion;
    if (connect(Open::ReadWrite))
        migrate();
    if (m_access == Access::Unavailable)
        disconnect();
    else
        remember();
}

std::optional<HistoryStore::FileId> HistoryStore::identityOf(const QString &path, bool *absent)
{
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (absent)
            *absent = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    return FileId{quint64(info.st_dev), quint64(info.st_ino)};
#else
    // Elsewhere a file in use cannot be deleted or replaced; only its
    // absence tells.
    const bool exists = QFileInfo::exists(path);
    if (absent)
        *absent = !exists;
    return exists ? std::optional<FileId>(FileId{}) : std::nullopt;
#endif
}

void HistoryStore::remember()
{
    m_opened = identityOf(m_filePath);
    for (std::size_t i = 0; i < kJournalSuffixes.size(); ++i)
        m_openedJournal[i] = identityOf(m_filePath + kJournalSuffixes[i]);
}

void HistoryStore::followFile()
{
    if (m_access == Access::Unavailable || !m_opened)
        return;
    bool absent = false;
    const std::optional<FileId> now = identityOf(m_filePath, &absent);
    // A path that cannot be looked at is no sign of another file.
    if (now ? *now == *m_opened : !absent)
        return;
    {
        // What this store wrote goes from the journal into the file opened,
        // so that a file moved away keeps every answer.
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        query.exec(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
    }
    disconnect();
    // SQLite leaves the journal files of a file gone from its path; left
    // there, they would be read into the next file of that name.
    for (std::size_t i = 0; i < kJournalSuffixes.size(); ++i) {
        const QString journal = m_filePath + kJournalSuffixes[i];
        if (m_openedJournal[i] && identityOf(journal) == m_openedJournal[i])
            QFile::remove(journal);
    }
    m_opened.reset();
    m_openedJournal = {};
    m_followed = true;
    m_gamesSinceFollowed.clear();
    open();
    if (m_access == Access::Unavailable)
        return;
    if (absent)
        notice(u"The practice history file was removed while "_s + kProductName.toString()
               + u" was open, so a new practice history was started."_s);
    else
        notice(u"The practice history file was replaced while "_s + kProductName.toString()
               + u" was open. Answers are now recorded in the file that replaced it."_s);
}

void HistoryStore::setBusyTimeout(int milliseconds)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.exec(u"PRAGMA busy_timeout = "_s + QString::number(milliseconds));
}

QSqlDatabase HistoryStore::addConnection(Open mode)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    QString options = u"QSQLITE_BUSY_TIMEOUT="_s + QString::number(m_busyTimeoutMs);
    if (mode != Open::ReadWrite)
        options += u";QSQLITE_OPEN_READONLY"_s;
    if (mode == Open::Immutable) {
        QUrl uri = QUrl::fromLocalFile(m_filePath);
        uri.setQuery(u"immutable=1"_s);
        db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        options += u";QSQLITE_OPEN_URI"_s;
    } else {
        db.setDatabaseName(m_filePath);
    }
    db.setConnectOptions(options);
    return db;
}

bool HistoryStore::connect(Open mode)
{
    QSqlDatabase db = addConnection(mode);
    if (!db.open()) {
        failed(db.lastError(), true);
        return false;
    }
    return true;
}

bool HistoryStore::openAsStored(const QSqlError &why)
{
    disconnect();
    int version = 0;
    // A file in WAL mode is read with its shared-memory file beside it; in a
    // folder where none is there and none can be made, only the file itself
    // can be read. Nobody can write the folder, so the file stays as read.
    for (const Open mode : {Open::ReadOnly, Open::Immutable}) {
        QSqlError error;
        {
            QSqlDatabase db = addConnection(mode);
            QSqlQuery query(db);
            QSqlQuery games(db);
            if (!db.open())
                error = db.lastError();
            else if (!query.exec(u"PRAGMA user_version"_s) || !query.next())
                error = query.lastError();
            else if (!games.exec(u"SELECT count(*) FROM games"_s))
                error = games.lastError();
            else
                version = query.value(0).toInt();
        }
        if (version > 0)
            break;
        disconnect();
        if (primaryCode(error) != kCantOpen)
            break;
    }
    if (version <= 0)
        return false;
    m_version = version;
    m_access = Access::ReadOnly;
    notice(version > kSchemaVersion ? newerNotice() : readOnlyNotice(why, version, QFileInfo(m_filePath).path()));
    return true;
}

void HistoryStore::disconnect()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void HistoryStore::migrate()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    // The first read is where a file that is no database shows, and one
    // in a folder that cannot be written, which may still be read.
    if (!query.exec(u"PRAGMA user_version"_s) || !query.next()) {
        const QSqlError error = query.lastError();
        query = QSqlQuery();
        db = QSqlDatabase();
        const int code = primaryCode(error);
        if ((code == kCantOpen || code == kReadOnly) && openAsStored(error))
            return;
        failed(error, true);
        return;
    }
    const int version = query.value(0).toInt();
    if (version > kSchemaVersion) {
        m_version = version;
        query = QSqlQuery();
        db = QSqlDatabase();
        disconnect();
        if (!connect(Open::ReadOnly))
            return;
        m_access = Access::ReadOnly;
        notice(newerNotice());
        return;
    }

    const auto fail = [&](const QSqlError &error) {
        query.exec(u"ROLLBACK"_s);
        query = QSqlQuery();
        db = QSqlDatabase();
        // What the file holds is still shown when it cannot be written now.
        if (version > 0 && !isDamage(error) && openAsStored(error))
            return;
        failed(error, true);
    };
    const auto run = [&](const QString &statement) {
        if (query.exec(statement))
            return true;
        fail(query.lastError());
        return false;
    };
    // WAL lets a reader and a writer (two copies of the program) work at
    // once; FULL syncs each answer's commit, so a power cut keeps it.
    if (!run(u"PRAGMA journal_mode = WAL"_s) || !run(u"PRAGMA synchronous = FULL"_s)
        || !run(u"PRAGMA foreign_keys = ON"_s))
        return;
    if (version < kSchemaVersion) {
        // IMMEDIATE: a second copy starting at the same moment waits here
        // and then finds the schema made.
        if (!run(u"BEGIN IMMEDIATE"_s) || !run(u"PRAGMA user_version"_s))
            return;
        const int current = query.next() ? query.value(0).toInt() : 0;
        if (current == 0) {
            for (const QString &statement : kSchema) {
                if (!run(statement))
                    return;
            }
        } else if (current < kSchemaVersion) {
            if (const QSqlError error = upgrade(db, current); error.isValid()) {
                fail(error);
                return;
            }
        }
        if (!run(u"PRAGMA user_version = "_s + QString::number(kSchemaVersion)) || !run(u"COMMIT"_s))
            return;
    }
    m_access = Access::ReadWrite;
}

QString HistoryStore::setAside()
{
    disconnect();
    const QString kept = damagedName(m_filePath, m_clock());
    if (!QFile::rename(m_filePath, kept)) {
        notice(u"The practice history file "_s + QDir::toNativeSeparators(m_filePath)
               + u" is damaged and could not be set aside. Practice goes on without recording answers."_s);
        return QString();
    }
    // The journal files belong to the damaged file; they go with it.
    for (const QString &suffix : kJournalSuffixes) {
        if (QFileInfo::exists(m_filePath + suffix))
            QFile::rename(m_filePath + suffix, kept + suffix);
    }
    notice(u"The practice history file was damaged and could not be read. It was kept as "_s
           + QDir::toNativeSeparators(kept) + u", and a new practice history was started."_s);
    return kept;
}

void HistoryStore::failed(const QSqlError &error, bool writing)
{
    if (isDamage(error) && !m_setAside) {
        // Once per store: a file that is damaged again at once is not set
        // aside in a loop.
        m_setAside = true;
        if (setAside().isEmpty()) {
            m_access = Access::Unavailable;
            return;
        }
        m_access = Access::Unavailable;
        start();
        return;
    }
    if (!writing && m_access != Access::Unavailable) {
        notice(u"The practice history could not be read ("_s + error.text() + u")."_s);
        return;
    }
    // An open history stays open: what it holds is still shown and the next
    // write tries again. Told once until a write succeeds.
    if (m_access == Access::WriteFailed)
        return;
    if (m_access == Access::ReadWrite)
        m_access = Access::WriteFailed;
    const int code = primaryCode(error);
    QString why;
    if (code == kBusy || code == kLocked)
        why = u"The practice history is in use by another program (another copy of "_s + kProductName.toString()
            + u"?), so answers are not recorded."_s;
    else if (code == kFull)
        why = u"The disk that holds the practice history is full, so answers are no longer recorded."_s;
    else if (code == kReadOnly || code == kCantOpen || code == kIoError)
        why = u"The practice history in "_s + QDir::toNativeSeparators(QFileInfo(m_filePath).path())
            + u" cannot be written, so answers are not recorded."_s;
    else
        why = u"The practice history cannot be written ("_s + error.text() + u"), so answers are not recorded."_s;
    notice(why + u" Practice goes on."_s);
}

bool HistoryStore::sameLearner(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QList<qint64> HistoryStore::learnerIds(const QString &name)
{
    // Names are compared here rather than by SQLite, whose NOCASE folds ASCII
    // letters only.
    const QString trimmed = name.trimmed();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT id, name FROM learners ORDER BY id"_s))
        throw query.lastError();
    QList<qint64> ids;
    while (query.next()) {
        if (sameLearner(query.value(1).toString(), trimmed))
            ids.append(query.value(0).toLongLong());
    }
    return ids;
}

qint64 HistoryStore::learnerId(const QString &name, bool add)
{
    const QList<qint64> ids = learnerIds(name);
    if (!ids.isEmpty())
        return ids.constFirst();
    if (!add)
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"INSERT INTO learners (name) VALUES (?)"_s);
    query.addBindValue(name.trimmed());
    if (!query.exec())
        throw query.lastError();
    return query.lastInsertId().toLongLong();
}

QStringList HistoryStore::learners()
{
    followFile();
    if (m_access == Access::Unavailable)
        return {};
    QStringList names;
    {
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        if (query.exec(u"SELECT name FROM learners ORDER BY id"_s)) {
            // A history may hold one learner under names in other letter
            // cases (added by a version that told them apart): the first
            // name added stands for them all.
            while (query.next()) {
                const QString name = query.value(0).toString();
                if (std::none_of(names.cbegin(), names.cend(),
                                 [&name](const QString &shown) { return sameLearner(shown, name); }))
                    names.append(name);
            }
            return names;
        }
        const QSqlError error = query.lastError();
        query = QSqlQuery();
        failed(error, false);
    }
    return {};
}

QString HistoryStore::addLearner(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return u"Please type a name for the learner."_s;
    followFile();
    if (m_access == Access::ReadOnly || m_access == Access::Unavailable)
        return learnerReason(m_access, m_version);
    bool taken = false;
    const bool written = write([&](QSqlQuery &) {
        taken = learnerId(trimmed, false) != 0;
        if (!taken)
            learnerId(trimmed, true);
    });
    if (taken)
        return u"A learner of that name already exists."_s;
    return written ? QString() : u"The learner could not be added."_s;
}

bool HistoryStore::forgetHistory(const QString &learner)
{
    followFile();
    return write([&](QSqlQuery &query) {
        const QString ids = idList(learnerIds(learner));
        for (const QString &table : {u"word_totals"_s, u"games"_s}) {
            if (!query.exec(u"DELETE FROM "_s + table + u" WHERE learner IN ("_s + ids + u')'))
                throw query.lastError();
        }
    });
}

QList<PastGame> HistoryStore::pastGames(const QString &learner, const WordListId &list)
{
    followFile();
    if (m_access == Access::Unavailable)
        return {};
    QList<PastGame> games;
    QSqlError error;
    try {
        const QString learners = idList(learnerIds(learner));
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        query.setForwardOnly(true);
        // Tests came with version 4; every earlier game is a practice game.
        const QString kind = m_version < 4 ? u"0"_s : u"kind"_s;
        query.prepare(u"SELECT id, started, answered, correct, "_s + kind + u" FROM games WHERE learner IN ("_s
                      + learners
                      + u") AND list IN (SELECT id FROM lists WHERE path = ? OR words_hash = ?)"
                        " ORDER BY started DESC, id DESC"_s);
        query.addBindValue(list.path);
        query.addBindValue(list.wordsHash);
        if (!query.exec())
            throw query.lastError();
        while (query.next()) {
            PastGame game;
            game.id = query.value(0).toLongLong();
            // In UTC: a local time costs a look at the system's time zone,
            // which for tens of thousands of games is most of the reading.
            game.started = QDateTime::fromMSecsSinceEpoch(query.value(1).toLongLong(), Qt::UTC);
            game.answered = query.value(2).toLongLong();
            game.correct = query.value(3).toLongLong();
            game.kind = query.value(4).toLongLong() == kindNumber(GameKind::Test) ? GameKind::Test : GameKind::Practice;
            games.append(game);
        }
        if (query.lastError().isValid())
            throw query.lastError();
        return games;
    } catch (const QSqlError &e) {
        error = e;
    }
    failed(error, false);
    return {};
}

QList<qint64> HistoryStore::listIds(const WordListId &list)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(u"SELECT id FROM lists WHERE path = ? OR words_hash = ?"_s);
    query.addBindValue(list.path);
    query.addBindValue(list.wordsHash);
    if (!query.exec())
        throw query.lastError();
    QList<qint64> ids;
    while (query.next())
        ids.append(query.value(0).toLongLong());
    return ids;
}

QList<WordOutcome> HistoryStore::wordsByGame(const QString &learner, const WordListId &list)
{
    followFile();
    if (m_access == Access::Unavailable)
        return {};
    QList<WordOutcome> words;
    QSqlError error;
    try {
        const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        // Every (learner, list) pair whose answers count as the learner's on
        // the list.
        QList<std::pair<qint64, qint64>> pairs;
        if (const QList<qint64> learners = learnerIds(learner); !learners.isEmpty()) {
            const QList<qint64> lists = listIds(list);
            for (const qint64 learnerNumber : learners) {
                for (const qint64 id : lists)
                    pairs.append({learnerNumber, id});
            }
        }
        QSqlQuery totals(db);
        totals.setForwardOnly(true);
        totals.prepare(u"SELECT word_key, given, asked, wrong FROM word_totals WHERE learner = ? AND list = ?"_s);
        QSqlQuery lastMiss(db);
        lastMiss.prepare(u"SELECT game FROM answers WHERE learner = ? AND list = ? AND word_key = ? AND correct = 0"
                         " ORDER BY game DESC LIMIT 1"_s);
        // Three games from the last miss on decide: the miss's own and the
        // next two. max() is the only min/max aggregate, so SQLite takes
        // typed from the game's last wrong answer.
        QSqlQuery since(db);
        since.setForwardOnly(true);
        since.prepare(u"SELECT game, count(*), sum(1 - correct), max(CASE WHEN correct = 0 THEN id END), typed"
                      " FROM answers WHERE learner = ? AND list = ? AND word_key = ? AND game >= ?"
                      " GROUP BY game ORDER BY game LIMIT 3"_s);
        const auto run = [](QSqlQuery &query, const QVariantList &values) {
            for (int i = 0; i < values.size(); ++i)
                query.bindValue(i, values.at(i));
            if (!query.exec())
                throw query.lastError();
        };

        struct Total
        {
            QString given;
            qint64 asked = 0;
            qint64 wrong = 0;
        };
        QStringList keys;
        QHash<QString, Total> byKey;
        for (const auto &[learnerNumber, id] : std::as_const(pairs)) {
            run(totals, {learnerNumber, id});
            while (totals.next()) {
                const QString key = totals.value(0).toString();
                auto found = byKey.find(key);
                if (found == byKey.end()) {
                    keys.append(key);
                    found = byKey.insert(key, {totals.value(1).toString()});
                }
                found->asked += totals.value(2).toLongLong();
                found->wrong += totals.value(3).toLongLong();
            }
        }
        for (const QString &key : std::as_const(keys)) {
            Total rest = byKey.value(key);
            // A word never missed: its first games decide whether it is secure.
            qint64 missGame = 0;
            if (rest.wrong > 0) {
                for (const auto &[learnerNumber, id] : std::as_const(pairs)) {
                    run(lastMiss, {learnerNumber, id, key});
                    if (lastMiss.next())
                        missGame = std::max(missGame, lastMiss.value(0).toLongLong());
                }
            }
            for (const auto &[learnerNumber, id] : std::as_const(pairs)) {
                run(since, {learnerNumber, id, key, missGame});
                while (since.next()) {
                    WordOutcome word{rest.given, since.value(0).toLongLong(), since.value(1).toLongLong(),
                                     since.value(2).toLongLong(), QString()};
                    if (word.wrong > 0)
                        word.lastWrongSpelling = since.value(4).toString();
                    rest.asked -= word.asked;
                    rest.wrong -= word.wrong;
                    words.append(word);
                }
            }
            // Everything before the deciding games (and any later games
            // beyond the three): it counts, but decides nothing.
            if (rest.asked > 0)
                words.append({rest.given, 0, rest.asked, rest.wrong, QString()});
        }
        return words;
    } catch (const QSqlError &e) {
        error = e;
    }
    failed(error, false);
    return {};
}

QList<PlayedList> HistoryStore::playedLists(const QString &learner)
{
    followFile();
    if (m_access == Access::Unavailable)
        return {};
    QList<PlayedList> lists;
    QSqlError error;
    try {
        const QString learners = idList(learnerIds(learner));
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        query.setForwardOnly(true);
        // Grouped in the games' index, before the join: the lists are looked
        // up once each rather than once a game.
        query.prepare(u"SELECT l.path, l.words_hash, g.games, g.last FROM"
                      " (SELECT list, count(*) AS games, max(started) AS last FROM games WHERE learner IN ("_s
                      + learners
                      + u") GROUP BY list) g"
                        " JOIN lists l ON l.id = g.list ORDER BY g.last DESC, l.id DESC"_s);
        if (!query.exec())
            throw query.lastError();
        while (query.next()) {
            lists.append({{query.value(0).toString(), query.value(1).toString()},
                          query.value(2).toLongLong(),
                          QDateTime::fromMSecsSinceEpoch(query.value(3).toLongLong())});
        }
        if (query.lastError().isValid())
            throw query.lastError();
        return lists;
    } catch (const QSqlError &e) {
        error = e;
    }
    failed(error, false);
    return {};
}

QSqlError HistoryStore::transaction(const std::function<void(QSqlQuery &)> &statements)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    try {
        if (!query.exec(u"BEGIN IMMEDIATE"_s))
            throw query.lastError();
        statements(query);
        if (!query.exec(u"COMMIT"_s))
            throw query.lastError();
        return QSqlError();
    } catch (const QSqlError &error) {
        query.exec(u"ROLLBACK"_s);
        return error;
    }
}

bool HistoryStore::write(const std::function<void(QSqlQuery &)> &statements)
{
    if (m_access != Access::ReadWrite && m_access != Access::WriteFailed)
        return false;
    const int patienceMs = m_access == Access::ReadWrite ? m_busyTimeoutMs : std::min(m_busyTimeoutMs, kRetryTimeoutMs);
    if (patienceMs != m_busyTimeoutMs)
        setBusyTimeout(patienceMs);
    QElapsedTimer waited;
    waited.start();
    QSqlError error;
    for (;;) {
        error = transaction(statements);
        // A copy closing or opening the file holds it for a moment without
        // waking the busy wait; such a moment is waited out here.
        const int code = primaryCode(error);
        if ((code != kBusy && code != kLocked) || waited.elapsed() >= patienceMs)
            break;
        QThread::msleep(kRetryMs);
    }
    if (patienceMs != m_busyTimeoutMs)
        setBusyTimeout(m_busyTimeoutMs);
    if (!error.isValid()) {
        m_access = Access::ReadWrite;
        return true;
    }
    failed(error, true);
    return false;
}

qint64 HistoryStore::recordGame(const QString &learner, const WordListId &list, const QDateTime &started, GameKind kind)
{
    followFile();
    qint64 game = 0;
    const bool written = write([&](QSqlQuery &query) {
        const qint64 learnerNumber = learnerId(learner, true);
        query.prepare(u"INSERT OR IGNORE INTO lists (path, words_hash) VALUES (?, ?)"_s);
        query.addBindValue(list.path);
        query.addBindValue(list.wordsHash);
        if (!query.exec())
            throw query.lastError();
        query.prepare(u"INSERT INTO games (learner, list, started, kind)"
                      " SELECT ?, id, ?, ? FROM lists WHERE path = ? AND words_hash = ?"_s);
        query.addBindValue(learnerNumber);
        query.addBindValue(started.toMSecsSinceEpoch());
        query.addBindValue(kindNumber(kind));
        query.addBindValue(list.path);
        query.addBindValue(list.wordsHash);
        if (!query.exec())
            throw query.lastError();
        game = query.lastInsertId().toLongLong();
    });
    if (!written)
        return 0;
    if (m_followed)
        m_gamesSinceFollowed.insert(game);
    return game;
}

bool HistoryStore::recordAnswer(qint64 game, const RecordedAnswer &answer)
{
    followFile();
    if (game <= 0 || (m_followed && !m_gamesSinceFollowed.contains(game)))
        return false;
    const QString given = recordedPart(answer.givenWord);
    const QString typed = recordedPart(answer.typedText);
    const QString key = AnswerCheck::comparable(given);
    const int wrong = answer.correct ? 0 : 1;
    // A game forgotten meanwhile (by this copy or another) takes no answers;
    // the caller records a new one.
    bool forgotten = false;
    const bool written = write([&](QSqlQuery &query) {
        query.prepare(u"SELECT learner, list FROM games WHERE id = ?"_s);
        query.addBindValue(game);
        if (!query.exec())
            throw query.lastError();
        if (!query.next()) {
            forgotten = true;
            return;
        }
        const qint64 learner = query.value(0).toLongLong();
        const qint64 list = query.value(1).toLongLong();
        query.prepare(u"INSERT INTO answers (game, learner, list, given, word_key, typed, correct, answered,"
                      " given_length, typed_length) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        for (const QVariant &value :
             {QVariant(game), QVariant(learner), QVariant(list), QVariant(given), QVariant(key), QVariant(typed),
              QVariant(1 - wrong), QVariant(answer.answered.toMSecsSinceEpoch()), QVariant(answer.givenWord.size()),
              QVariant(answer.typedText.size())})
            query.addBindValue(value);
        if (!query.exec())
            throw query.lastError();
        query.prepare(u"INSERT INTO word_totals (learner, list, word_key, given, asked, wrong)"
                      " VALUES (?, ?, ?, ?, 1, ?) ON CONFLICT (learner, list, word_key)"
                      " DO UPDATE SET asked = asked + 1, wrong = wrong + excluded.wrong"_s);
        for (const QVariant &value :
             {QVariant(learner), QVariant(list), QVariant(key), QVariant(given), QVariant(wrong)})
            query.addBindValue(value);
        if (!query.exec())
            throw query.lastError();
        query.prepare(u"UPDATE games SET answered = answered + 1, correct = correct + ? WHERE id = ?"_s);
        query.addBindValue(1 - wrong);
        query.addBindValue(game);
        if (!query.exec())
            throw query.lastError();
    });
    return written && !forgotten;
}

bool HistoryStore::recordCopy(qint64 game, const RecordedAnswer &copy)
{
    followFile();
    if (game <= 0 || (m_followed && !m_gamesSinceFollowed.contains(game)))
        return false;
    bool forgotten = false;
    const bool written = write([&](QSqlQuery &query) {
        query.prepare(u"INSERT INTO copies (game, given, typed, correct, answered)"
                      " SELECT id, ?, ?, ?, ? FROM games WHERE id = ?"_s);
        for (const QVariant &value :
             {QVariant(recordedPart(copy.givenWord)), QVariant(recordedPart(copy.typedText)),
              QVariant(copy.correct ? 1 : 0), QVariant(copy.answered.toMSecsSinceEpoch()), QVariant(game)})
            query.addBindValue(value);
        if (!query.exec())
            throw query.lastError();
        forgotten = query.numRowsAffected() == 0;
    });
    return written && !forgotten;
}
