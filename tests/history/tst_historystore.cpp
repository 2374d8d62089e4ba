// SPDX-License-Identifier: GPL-3.0-or-later
#include "filesizelimit.h"
#include "history/historystore.h"
#include "historylock.h"
#include "practice/answercheck.h"
#include "practice/scoring.h"
#include "readonlyfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const WordListId kList{u"/lists/week1.txt"_s, wordsHash({u"rhythm"_s, u"until"_s, u"receive"_s})};
const QDateTime kNoon(QDate(2026, 3, 14), QTime(12, 0));

QDateTime fixedClock()
{
    return kNoon;
}

RecordedAnswer answer(const QString &given, const QString &typed)
{
    return {given, typed, Scoring::isCorrect(typed, given), kNoon};
}

// A connection of its own to the file, as another program would have.
class RawConnection
{
public:
    explicit RawConnection(const QString &file, const QString &options = QString())
        : m_name(u"raw-"_s + QString::number(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(file);
        db.setConnectOptions(options);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(file));
    }
    ~RawConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    // The first column of the first row, or an invalid value on failure.
    QVariant value(const QString &statement)
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.exec(statement))
            return QVariant();
        return query.next() ? query.value(0) : QVariant(u""_s);
    }

private:
    static inline int s_count = 0;
    QString m_name;
};

qint64 answerCount(const QString &file)
{
    RawConnection raw(file);
    return raw.value(u"SELECT count(*) FROM answers"_s).toLongLong();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A history with one game of the given number of answers, closed again.
// The answers go in one transaction: one each would sync the disk each time.
void makeHistory(const QString &file, int answers)
{
    qint64 game = 0;
    {
        HistoryStore store(file);
        game = store.recordGame(u"Ann"_s, kList, kNoon);
    }
    RawConnection raw(file);
    raw.value(u"BEGIN"_s);
    for (int n = 0; n < answers; ++n)
        raw.value(u"INSERT INTO answers (game, learner, list, given, word_key, typed, correct, answered)"
                  " SELECT id, learner, list, 'rhythm', 'RHYTHM', '%1', %2, 0 FROM games WHERE id = %3"_s
                      .arg(n % 2 ? u"rythm"_s : u"rhythm"_s)
                      .arg(n % 2 ? 0 : 1)
                      .arg(game));
    raw.value(u"INSERT INTO word_totals SELECT learner, list, 'RHYTHM', 'rhythm', %1, %2 FROM games"_s.arg(answers).arg(
        answers / 2));
    raw.value(u"UPDATE games SET answered = %1, correct = %2"_s.arg(answers).arg((answers + 1) / 2));
    raw.value(u"COMMIT"_s);
}

// Takes out what version 4 added: the kind of game and the copies.
void dropVersion4(RawConnection &raw)
{
    raw.value(u"DROP TABLE copies"_s);
    raw.value(u"ALTER TABLE games DROP COLUMN kind"_s);
}

QStringList damagedFiles(const QString &folder)
{
    return QDir(folder).entryList({u"history.damaged-*"_s}, QDir::AllEntries | QDir::Hidden);
}

// What a call on the store gave, in a few words.
using StoreCall = std::function<QString(HistoryStore &)>;

QString gamesText(const QList<PastGame> &games)
{
    QStringList texts;
    for (const PastGame &game : games)
        texts.append(u"%1/%2"_s.arg(game.correct).arg(game.answered));
    return texts.join(u' ');
}

QString wordsText(const QList<WordOutcome> &words)
{
    QMap<QString, std::pair<qint64, qint64>> totals;
    for (const WordOutcome &word : words) {
        totals[word.word].first += word.asked;
        totals[word.word].second += word.wrong;
    }
    QStringList texts;
    for (auto total = totals.cbegin(); total != totals.cend(); ++total)
        texts.append(u"%1 %2/%3"_s.arg(total.key()).arg(total->second).arg(total->first));
    return texts.join(u", "_s);
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace

Q_DECLARE_METATYPE(StoreCall)

class tst_HistoryStore : public QObject
{
    Q_OBJECT

private slots:
    void theUsersOwnHistory();
    void newHistoryInAFolderNotYetMade();
    void recordedAnswersOutliveTheStore();
    void damagedFileIsKeptAsideAndANewHistoryStarts_data();
    void damagedFileIsKeptAsideAndANewHistoryStarts();
    void emptyFileBecomesANewHistory();
    void folderInThePlaceOfTheFileIsKeptAside();
    void folderThatCannotBeMadeStopsRecording();
    void readOnlyFolderStopsRecording();
    void fileSystemThatRefusesFilesStopsRecording();
    void lockedHistoryStopsRecordingOnce_data();
    void lockedHistoryStopsRecordingOnce();
    void fileTakenAwayStartsAnew_data();
    void fileTakenAwayStartsAnew();
    void newerHistoryIsReadOnly();
    void olderHistoryThatCannotBeWrittenIsShownAsStored_data();
    void olderHistoryThatCannotBeWrittenIsShownAsStored();
    void twoConnectionsBothRecord();
    void twoProcessesBothRecord();
    void killDuringWritingKeepsEveryCommittedAnswer();
    void addLearner_data();
    void addLearner();
    void forgettingALearnerKeepsTheOthers();
    void oneLearnerWhateverTheLetterCase_data();
    void oneLearnerWhateverTheLetterCase();
    void pastGamesNewestFirst();
    void gamesOfTheListByPathOrWords_data();
    void gamesOfTheListByPathOrWords();
    void wordsByGameGroupAsTheAnswerCheck();
    void wordsByGameKeepTheGamesThatDecide();
    void playedListsOfALearner();
    void wordsByGameGroupSpellingsOfOneWord_data() { spellingsOfOneWord(); }
    void wordsByGameGroupSpellingsOfOneWord();
    void olderHistoryGroupsAsTheAnswerCheckNow_data() { spellingsOfOneWord(); }
    void olderHistoryGroupsAsTheAnswerCheckNow();
    void version3HistoryKeepsEveryGame();
    void testsAndCopiesAreKeptApart();
    void longTextsAreRecordedInPart_data();
    void longTextsAreRecordedInPart();

private:
    static void spellingsOfOneWord();
};

void tst_HistoryStore::theUsersOwnHistory()
{
    QCoreApplication::setOrganizationName(u"Marrowfen"_s);
    QCoreApplication::setApplicationName(u"Lexidrill"_s);
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    QVERIFY(!dataHome.isEmpty());
    QCOMPARE(HistoryStore::defaultPath(), dataHome + u"/Marrowfen/Lexidrill/history.sqlite"_s);
}

void tst_HistoryStore::newHistoryInAFolderNotYetMade()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"Marrowfen/Lexidrill/history.sqlite"_s);
    HistoryStore store(file);
    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    QCOMPARE(store.takeNotice(), QString());
    QVERIFY(store.learners().isEmpty());

    RawConnection raw(file);
    QCOMPARE(raw.value(u"PRAGMA user_version"_s).toInt(), HistoryStore::kSchemaVersion);
    QCOMPARE(raw.value(u"PRAGMA journal_mode"_s).toString(), u"wal"_s);
    // Every table of the schema is there, and a game refers to a learner.
    QVERIFY(raw.value(u"SELECT count(*) FROM learners"_s).isValid());
    QVERIFY(raw.value(u"SELECT count(*) FROM answers"_s).isValid());
    QVERIFY(raw.value(u"PRAGMA foreign_key_list(games)"_s).isValid());
}

void tst_HistoryStore::recordedAnswersOutliveTheStore()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    {
        HistoryStore store(file);
        const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon);
        QVERIFY(game > 0);
        QVERIFY(store.recordAnswer(game, answer(u"rhythm"_s, u"rythm"_s)));
        QVERIFY(store.recordAnswer(game, answer(u"until"_s, u"UNTIL"_s)));
    }
    HistoryStore again(file);
    QCOMPARE(again.learners(), QStringList{u"Ann"_s});
    const QList<PastGame> games = again.pastGames(u"Ann"_s, kList);
    QCOMPARE(games.size(), 1);
    QCOMPARE(games.at(0).started, kNoon);
    QCOMPARE(games.at(0).answered, 2);
    QCOMPARE(games.at(0).correct, 1);
}

void tst_HistoryStore::damagedFileIsKeptAsideAndANewHistoryStarts_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("junk bytes") << u"junk"_s;
    QTest::newRow("a text file") << u"text"_s;
    QTest::newRow("a flipped page") << u"page"_s;
    QTest::newRow("a flipped header") << u"header"_s;
}

void tst_HistoryStore::damagedFileIsKeptAsideAndANewHistoryStarts()
{
    QFETCH(QString, damage);
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    if (damage == u"junk") {
        QByteArray junk(8192, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 7919 + 13) % 251);
        writeBytes(file, junk);
    } else if (damage == u"text") {
        writeBytes(file, "rhythm\nuntil\nreceive\n");
    } else {
        makeHistory(file, 3000);
        QByteArray bytes = contents(file);
        constexpr int kPage = 4096;
        QVERIFY(bytes.size() > 8 * kPage);
        if (damage == u"page") {
            const qsizetype page = bytes.size() / kPage / 2;
            for (int i = 0; i < kPage; ++i)
                bytes[page * kPage + i] = char(0xFF);
        } else {
            bytes[0] = 'X';
        }
        writeBytes(file, bytes);
    }
    const QByteArray damaged = contents(file);

    HistoryStore store(file, &fixedClock);
    // A page in the middle shows only when it is read.
    store.wordsByGame(u"Ann"_s, kList);

    const QString kept = folder.filePath(u"history.damaged-20260314-120000.sqlite"_s);
    QCOMPARE(damagedFiles(folder.path()), QStringList{QFileInfo(kept).fileName()});
    QCOMPARE(contents(kept), damaged);
    const QString notice = store.takeNotice();
    QVERIFY2(notice.contains(QDir::toNativeSeparators(kept)), qPrintable(notice));
    QCOMPARE(store.takeNotice(), QString());

    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    QVERIFY(store.pastGames(u"Ann"_s, kList).isEmpty());
    const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon);
    QVERIFY(store.recordAnswer(game, answer(u"until"_s, u"untill"_s)));
    QCOMPARE(answerCount(file), 1);
}

void tst_HistoryStore::emptyFileBecomesANewHistory()
{
    // A file created but never written (a crash at the first start) holds
    // nothing to keep.
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    writeBytes(file, QByteArray());
    HistoryStore store(file);
    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    QCOMPARE(store.takeNotice(), QString());
    QVERIFY(damagedFiles(folder.path()).isEmpty());
    QVERIFY(store.recordAnswer(store.recordGame(u"Ann"_s, kList, kNoon), answer(u"until"_s, u"until"_s)));
    QCOMPARE(answerCount(file), 1);
}

void tst_HistoryStore::folderInThePlaceOfTheFileIsKeptAside()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    QVERIFY(QDir().mkpath(file));
    writeBytes(file + u"/inside.txt"_s, "kept");

    HistoryStore store(file, &fixedClock);
    const QString kept = folder.filePath(u"history.damaged-20260314-120000.sqlite"_s);
    QCOMPARE(contents(kept + u"/inside.txt"_s), QByteArray("kept"));
    QVERIFY(store.takeNotice().contains(QDir::toNativeSeparators(kept)));
    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    QVERIFY(QFileInfo(file).isFile());
}

void tst_HistoryStore::folderThatCannotBeMadeStopsRecording()
{
    QTemporaryDir folder;
    writeBytes(folder.filePath(u"Marrowfen"_s), "a file, not a folder");
    HistoryStore store(folder.filePath(u"Marrowfen/Lexidrill/history.sqlite"_s));
    QCOMPARE(store.access(), PracticeHistory::Access::Unavailable);
    QVERIFY(store.takeNotice().contains(QDir::toNativeSeparators(folder.filePath(u"Marrowfen/Lexidrill"_s))));
    QCOMPARE(store.recordGame(u"Ann"_s, kList, kNoon), 0);
    QVERIFY(!store.recordAnswer(1, answer(u"until"_s, u"until"_s)));
    QVERIFY(store.learners().isEmpty());
    QVERIFY(!store.addLearner(u"Ben"_s).isEmpty());
    QCOMPARE(store.takeNotice(), QString());
}

void tst_HistoryStore::readOnlyFolderStopsRecording()
{
    if (runningAsRoot())
        QSKIP("root writes into read-only folders");
    QTemporaryDir folder;
    const QString data = folder.filePath(u"data"_s);
    QVERIFY(QDir().mkpath(data));
    makeHistory(data + u"/history.sqlite"_s, 2);
    QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner);
    {
        HistoryStore store(data + u"/history.sqlite"_s);
        QCOMPARE(store.recordGame(u"Ann"_s, kList, kNoon), 0);
        QVERIFY(!store.takeNotice().isEmpty());
        QVERIFY(damagedFiles(data).isEmpty());
    }
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(answerCount(data + u"/history.sqlite"_s), 2);
}

void tst_HistoryStore::fileSystemThatRefusesFilesStopsRecording()
{
    // Not even root makes files there.
    HistoryStore store(u"/proc/self/history.sqlite"_s);
    QCOMPARE(store.access(), PracticeHistory::Access::Unavailable);
    const QString notice = store.takeNotice();
    QVERIFY2(notice.contains(u"cannot be written"_s), qPrintable(notice));
    QCOMPARE(store.recordGame(u"Ann"_s, kList, kNoon), 0);
    QVERIFY(store.pastGames(u"Ann"_s, kList).isEmpty());
    QCOMPARE(store.takeNotice(), QString());
}

void tst_HistoryStore::lockedHistoryStopsRecordingOnce_data()
{
    QTest::addColumn<QStringList>("hold");
    QTest::addColumn<bool>("opens");
    QTest::newRow("another writer's transaction") << QStringList{u"BEGIN IMMEDIATE"_s} << true;
    QTest::newRow("held exclusively") << QStringList{u"PRAGMA locking_mode = EXCLUSIVE"_s, u"BEGIN EXCLUSIVE"_s}
                                      << false;
}

void tst_HistoryStore::lockedHistoryStopsRecordingOnce()
{
    QFETCH(QStringList, hold);
    QFETCH(bool, opens);
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    makeHistory(file, 2);
    {
        RawConnection other(file);
        for (const QString &statement : hold)
            QVERIFY(other.value(statement).isValid());

        HistoryStore store(file, &fixedClock, 50);
        if (opens)
            QCOMPARE(store.recordGame(u"Ann"_s, kList, kNoon), 0);
        QCOMPARE(store.access(), opens ? PracticeHistory::Access::WriteFailed : PracticeHistory::Access::Unavailable);
        const QString notice = store.takeNotice();
        QVERIFY2(notice.contains(u"in use"_s), qPrintable(notice));
        // Told once; what is stored is still shown.
        QCOMPARE(store.recordGame(u"Ann"_s, kList, kNoon), 0);
        QCOMPARE(store.takeNotice(), QString());
        QCOMPARE(store.pastGames(u"Ann"_s, kList).size(), opens ? 1 : 0);
        QVERIFY(damagedFiles(folder.path()).isEmpty());
    }
    QCOMPARE(answerCount(file), 2);
}

void tst_HistoryStore::fileTakenAwayStartsAnew_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("read"); // by another copy meanwhile
    QTest::newRow("deleted") << u"delete"_s << false;
    QTest::newRow("its folder deleted") << u"delete folder"_s << false;
    QTest::newRow("moved away") << u"move"_s << false;
    QTest::newRow("replaced by another history") << u"replace"_s << false;
    // The old file's journal cannot be emptied while it is read.
    QTest::newRow("replaced while another copy reads the old one") << u"replace"_s << true;
}

void tst_HistoryStore::fileTakenAwayStartsAnew()
{
    QFETCH(QString, how);
    QFETCH(bool, read);
    const bool replaced = how == u"replace";
    QTemporaryDir folder;
    const QString data = folder.filePath(u"data"_s);
    const QString file = data + u"/history.sqlite"_s;
    const QString elsewhere = folder.filePath(u"elsewhere.sqlite"_s);
    {
        HistoryStore store(file, &fixedClock);
        const qint64 first = store.recordGame(u"Ann"_s, kList, kNoon);
        QVERIFY(store.recordAnswer(first, answer(u"rhythm"_s, u"rythm"_s)));
        QVERIFY(store.recordAnswer(first, answer(u"until"_s, u"until"_s)));
        std::optional<RawConnection> reader;
        if (read) {
            reader.emplace(file);
            reader->value(u"BEGIN"_s);
            QCOMPARE(reader->value(u"SELECT count(*) FROM answers"_s).toInt(), 2);
        }
        if (how == u"delete") {
            QVERIFY(QFile::remove(file));
        } else if (how == u"delete folder") {
            QVERIFY(QDir(data).removeRecursively());
        } else if (how == u"move") {
            QVERIFY(QFile::rename(file, elsewhere));
        } else {
            // Its game has the number of the store's game.
            makeHistory(elsewhere, 5);
            QCOMPARE(std::rename(QFile::encodeName(elsewhere).constData(), QFile::encodeName(file).constData()), 0);
        }

        // The game was the old file's: the caller records a new one.
        QVERIFY(!store.recordAnswer(first, answer(u"receive"_s, u"receive"_s)));
        const QString notice = store.takeNotice();
        QVERIFY2(notice.contains(replaced ? u"replaced"_s : u"removed"_s), qPrintable(notice));
        const qint64 second = store.recordGame(u"Ann"_s, kList, kNoon.addDays(1));
        QVERIFY(store.recordAnswer(second, answer(u"receive"_s, u"recieve"_s)));
        QCOMPARE(store.takeNotice(), QString());
    }
    // A file moved away keeps every answer it was given.
    if (how == u"move")
        QCOMPARE(answerCount(elsewhere), 2);
    // Nothing of the old file is left beside the new one.
    QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList{u"history.sqlite"_s});
    // The next start finds the new game, and the replacing history as it was.
    const QList<PastGame> games = HistoryStore(file).pastGames(u"Ann"_s, kList);
    QCOMPARE(games.size(), replaced ? 2 : 1);
    QCOMPARE(games.at(0).started, kNoon.addDays(1));
    QCOMPARE(games.at(0).answered, 1);
    if (replaced)
        QCOMPARE(games.at(1).answered, 5);
}

void tst_HistoryStore::newerHistoryIsReadOnly()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    makeHistory(file, 4);
    {
        RawConnection raw(file);
        raw.value(u"PRAGMA user_version = 7"_s);
    }
    HistoryStore store(file);
    QCOMPARE(store.access(), PracticeHistory::Access::ReadOnly);
    QVERIFY(store.takeNotice().contains(u"newer version"_s));
    QCOMPARE(store.learners(), QStringList{u"Ann"_s});
    QCOMPARE(store.pastGames(u"Ann"_s, kList).size(), 1);
    QCOMPARE(store.recordGame(u"Ann"_s, kList, kNoon), 0);
    QVERIFY(!store.recordAnswer(1, answer(u"until"_s, u"until"_s)));
    QVERIFY(!store.addLearner(u"Ben"_s).isEmpty());
    QVERIFY(!store.forgetHistory(u"Ann"_s));
    QCOMPARE(store.takeNotice(), QString());

    RawConnection raw(file);
    QCOMPARE(raw.value(u"PRAGMA user_version"_s).toInt(), 7);
    QCOMPARE(raw.value(u"SELECT count(*) FROM answers"_s).toInt(), 4);
}

void tst_HistoryStore::olderHistoryThatCannotBeWrittenIsShownAsStored_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("hold");
    QTest::addColumn<QString>("told");
    QTest::newRow("version 3 in a read-only folder") << 3 << u"folder"_s << u"cannot be written"_s;
    QTest::newRow("version 2 in a read-only folder") << 2 << u"folder"_s << u"cannot be written"_s;
    QTest::newRow("version 3 locked by another program") << 3 << u"lock"_s << u"in use"_s;
    // Writes beyond a size limit fail as on a full disk, but as an error
    // of writing, not of space.
    QTest::newRow("version 2 whose journal cannot grow") << 2 << u"full"_s << u"cannot be written"_s;
}

// What an older version stored is shown, read as it is; the file is left
// as it was until a run that can write it brings it up to date.
void tst_HistoryStore::olderHistoryThatCannotBeWrittenIsShownAsStored()
{
    QFETCH(int, version);
    QFETCH(QString, hold);
    QFETCH(QString, told);
    QTemporaryDir folder;
    const QString data = folder.filePath(u"data"_s);
    const QString file = data + u"/history.sqlite"_s;
    {
        HistoryStore store(file);
        for (int day = 0; day < 2; ++day) {
            const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon.addDays(day));
            QVERIFY(store.recordAnswer(game, answer(u"until"_s, day ? u"until"_s : u"untill"_s)));
        }
    }
    {
        RawConnection raw(file);
        dropVersion4(raw);
        if (version < 3) {
            raw.value(u"ALTER TABLE answers DROP COLUMN given_length"_s);
            raw.value(u"ALTER TABLE answers DROP COLUMN typed_length"_s);
        }
        raw.value(u"PRAGMA user_version = %1"_s.arg(version));
    }
    const QByteArray stored = contents(file);
    QVERIFY(!stored.isEmpty());
    {
        std::optional<ReadOnlyFile> readOnly;
        std::optional<HistoryLock> lock;
        std::optional<RawConnection> reader;
        std::optional<FileSizeLimit> full;
        if (hold == u"folder") {
            readOnly.emplace(data);
            if (!readOnly->holds())
                QSKIP("the folder cannot be made read-only here");
        } else if (hold == u"lock") {
            lock.emplace(QStringLiteral(HISTORY_LOCKER), file);
            QVERIFY(lock->locked());
        } else {
            // The reader makes the journal files, so that only the upgrade
            // has to grow one.
            reader.emplace(file);
            QCOMPARE(reader->value(u"SELECT count(*) FROM games"_s).toInt(), 2);
            full.emplace(1024);
        }
        HistoryStore store(file, &fixedClock, 50);
        full.reset();
        QCOMPARE(store.access(), PracticeHistory::Access::ReadOnly);
        const QString notice = store.takeNotice();
        QVERIFY2(notice.contains(told) && notice.contains(u"older version"_s), qPrintable(notice));

        QCOMPARE(store.learners(), QStringList{u"Ann"_s});
        const QList<PastGame> games = store.pastGames(u"Ann"_s, kList);
        QCOMPARE(games.size(), 2);
        QCOMPARE(games.at(0).correct, 1);
        QCOMPARE(games.at(1).correct, 0);
        QCOMPARE(games.at(1).kind, GameKind::Practice);
        const QList<WordOutcome> words = store.wordsByGame(u"Ann"_s, kList);
        QCOMPARE(words.size(), 2);
        QCOMPARE(words.at(0).wrong, 1);
        QCOMPARE(words.at(0).lastWrongSpelling, u"untill"_s);
        QCOMPARE(store.playedLists(u"Ann"_s).size(), 1);

        // Nothing is written; that was told once.
        QCOMPARE(store.recordGame(u"Ann"_s, kList, kNoon.addDays(2)), 0);
        QVERIFY(!store.addLearner(u"Ben"_s).isEmpty());
        QVERIFY(!store.forgetHistory(u"Ann"_s));
        QCOMPARE(store.takeNotice(), QString());
    }
    QCOMPARE(contents(file), stored);
    QVERIFY(damagedFiles(data).isEmpty());

    HistoryStore store(file);
    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    QCOMPARE(store.pastGames(u"Ann"_s, kList).size(), 2);
    RawConnection raw(file);
    QCOMPARE(raw.value(u"PRAGMA user_version"_s).toInt(), HistoryStore::kSchemaVersion);
}

void tst_HistoryStore::twoConnectionsBothRecord()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    HistoryStore first(file);
    HistoryStore second(file);
    const qint64 a = first.recordGame(u"Ann"_s, kList, kNoon);
    const qint64 b = second.recordGame(u"Ben"_s, kList, kNoon);
    QVERIFY(a > 0 && b > 0 && a != b);
    for (int n = 0; n < 50; ++n) {
        QVERIFY(first.recordAnswer(a, answer(u"until"_s, u"until"_s)));
        QVERIFY(second.recordAnswer(b, answer(u"until"_s, u"untill"_s)));
    }
    QCOMPARE(first.learners(), (QStringList{u"Ann"_s, u"Ben"_s}));
    QCOMPARE(first.pastGames(u"Ben"_s, kList).at(0).answered, 50);
    QCOMPARE(second.pastGames(u"Ann"_s, kList).at(0).correct, 50);
}

void tst_HistoryStore::twoProcessesBothRecord()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    // Made first: two copies creating the schema at once is the lock's
    // business, not this test's.
    HistoryStore(file).learners();
    // Patient writers: on a loaded machine each can keep the other out of
    // the file for longer than the program's second, answer after answer.
    const QString patience = QString::number(60000);
    QProcess first;
    QProcess second;
    first.start(QStringLiteral(HISTORY_WRITER), {file, u"Ann"_s, u"300"_s, u"2"_s, patience});
    second.start(QStringLiteral(HISTORY_WRITER), {file, u"Ben"_s, u"300"_s, u"2"_s, patience});
    QVERIFY(first.waitForFinished(120000));
    QVERIFY(second.waitForFinished(120000));
    QVERIFY2(first.exitCode() == 0, first.readAllStandardError().constData());
    QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());
    QCOMPARE(answerCount(file), 600);
    HistoryStore store(file);
    QCOMPARE(store.pastGames(u"Ann"_s, {u"/lists/words.txt"_s, u"hash"_s}).at(0).answered, 300);
    QCOMPARE(store.pastGames(u"Ben"_s, {u"/lists/words.txt"_s, u"hash"_s}).at(0).answered, 300);
}

void tst_HistoryStore::killDuringWritingKeepsEveryCommittedAnswer()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    QProcess writer;
    writer.start(QStringLiteral(HISTORY_WRITER), {file, u"Ann"_s, u"0"_s});
    QVERIFY(writer.waitForStarted());
    qint64 committed = 0;
    QByteArray output;
    while (committed < 200) {
        QVERIFY(writer.waitForReadyRead(60000));
        output += writer.readAllStandardOutput();
        const QList<QByteArray> lines = output.trimmed().split('\n');
        committed = lines.constLast().toLongLong();
    }
    writer.kill();
    QVERIFY(writer.waitForFinished());
    // What it printed before dying was committed too.
    output += writer.readAllStandardOutput();
    if (output.endsWith('\n'))
        committed = output.trimmed().split('\n').constLast().toLongLong();

    HistoryStore store(file);
    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    QCOMPARE(store.takeNotice(), QString());
    const QList<PastGame> games = store.pastGames(u"Ann"_s, {u"/lists/words.txt"_s, u"hash"_s});
    QCOMPARE(games.size(), 1);
    // Every printed answer is there; at most the one being written when the
    // kill came is there unprinted.
    QVERIFY2(games.at(0).answered >= committed && games.at(0).answered <= committed + 1,
             qPrintable(u"%1 answers, %2 printed"_s.arg(games.at(0).answered).arg(committed)));
    QCOMPARE(answerCount(file), games.at(0).answered);
    RawConnection raw(file);
    QCOMPARE(raw.value(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
}

void tst_HistoryStore::addLearner_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QStringList>("learners");
    QTest::newRow("new") << u"Ben"_s << QString() << QStringList{u"Ann"_s, u"Ben"_s};
    QTest::newRow("trimmed") << u"  Ben\t"_s << QString() << QStringList{u"Ann"_s, u"Ben"_s};
    QTest::newRow("empty") << QString() << u"Please type a name for the learner."_s << QStringList{u"Ann"_s};
    QTest::newRow("spaces only") << u"   "_s << u"Please type a name for the learner."_s << QStringList{u"Ann"_s};
    QTest::newRow("taken") << u"Ann"_s << u"A learner of that name already exists."_s << QStringList{u"Ann"_s};
    QTest::newRow("taken in other letter case")
        << u" aNN "_s << u"A learner of that name already exists."_s << QStringList{u"Ann"_s};
}

void tst_HistoryStore::addLearner()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QFETCH(QStringList, learners);
    QTemporaryDir folder;
    HistoryStore store(folder.filePath(u"history.sqlite"_s));
    QCOMPARE(store.addLearner(u"Ann"_s), QString());
    QCOMPARE(store.addLearner(name), reason);
    QCOMPARE(store.learners(), learners);
}

void tst_HistoryStore::forgettingALearnerKeepsTheOthers()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    HistoryStore store(file);
    for (const QString &name : {u"Ann"_s, u"Ben"_s}) {
        const qint64 game = store.recordGame(name, kList, kNoon);
        store.recordAnswer(game, answer(u"until"_s, u"untill"_s));
        store.recordAnswer(game, answer(u"rhythm"_s, u"rhythm"_s));
    }
    QVERIFY(store.forgetHistory(u"Ann"_s));
    QVERIFY(store.pastGames(u"Ann"_s, kList).isEmpty());
    QVERIFY(store.wordsByGame(u"Ann"_s, kList).isEmpty());
    QCOMPARE(store.pastGames(u"Ben"_s, kList).size(), 1);
    QCOMPARE(store.learners(), (QStringList{u"Ann"_s, u"Ben"_s}));
    // The answers went with their games.
    QCOMPARE(answerCount(file), 2);
}

void tst_HistoryStore::oneLearnerWhateverTheLetterCase_data()
{
    QTest::addColumn<StoreCall>("call");
    QTest::addColumn<QString>("result");
    // Each call names the learner " aNN ", whose games are kept under "Ann"
    // and under "ann".
    const QString name = u" aNN "_s;
    QTest::addRow("learners lists the learner once")
        << StoreCall([](HistoryStore &store) { return store.learners().join(u'|'); }) << u"Ann|Cy"_s;
    QTest::addRow("addLearner finds the name taken") << StoreCall([name](HistoryStore &store) {
        return store.addLearner(name) + u' ' + store.learners().join(u'|');
    }) << u"A learner of that name already exists. Ann|Cy"_s;
    QTest::addRow("pastGames finds the games under both names")
        << StoreCall([name](HistoryStore &store) { return gamesText(store.pastGames(name, kList)); }) << u"0/1 1/2"_s;
    QTest::addRow("wordsByGame counts the answers under both names")
        << StoreCall([name](HistoryStore &store) { return wordsText(store.wordsByGame(name, kList)); })
        << u"rhythm 0/1, until 2/2"_s;
    QTest::addRow("recordGame records for the name added first") << StoreCall([name](HistoryStore &store) {
        const qint64 game = store.recordGame(name, kList, kNoon.addDays(5));
        store.recordAnswer(game, answer(u"until"_s, u"until"_s));
        return gamesText(store.pastGames(u"Ann"_s, kList)) + u' ' + store.learners().join(u'|');
    }) << u"1/1 0/1 1/2 Ann|Cy"_s;
    QTest::addRow("forgetHistory forgets the games under both names") << StoreCall([name](HistoryStore &store) {
        const bool forgotten = store.forgetHistory(name);
        return (forgotten ? u"forgotten"_s : u"kept"_s)
            + u" [%1] [%2] [%3]"_s.arg(gamesText(store.pastGames(u"Ann"_s, kList)),
                                       wordsText(store.wordsByGame(u"ann"_s, kList)),
                                       gamesText(store.pastGames(u"Cy"_s, kList)));
    }) << u"forgotten [] [] [1/1]"_s;
}

void tst_HistoryStore::oneLearnerWhateverTheLetterCase()
{
    QFETCH(StoreCall, call);
    QFETCH(QString, result);
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    {
        HistoryStore store(file);
        const qint64 ann = store.recordGame(u"Ann"_s, kList, kNoon);
        store.recordAnswer(ann, answer(u"until"_s, u"untill"_s));
        store.recordAnswer(ann, answer(u"rhythm"_s, u"rhythm"_s));
        const qint64 other = store.recordGame(u"Other"_s, kList, kNoon.addDays(1));
        store.recordAnswer(other, answer(u"until"_s, u"untl"_s));
        store.recordAnswer(store.recordGame(u"Cy"_s, kList, kNoon), answer(u"until"_s, u"until"_s));
    }
    // As a version that told letter cases apart could have left it.
    RawConnection(file).value(u"UPDATE learners SET name = 'ann' WHERE name = 'Other'"_s);
    HistoryStore store(file);

    QCOMPARE(call(store), result);
    QCOMPARE(store.takeNotice(), QString());
}

void tst_HistoryStore::pastGamesNewestFirst()
{
    QTemporaryDir folder;
    HistoryStore store(folder.filePath(u"history.sqlite"_s));
    const QList<int> rights{1, 3, 0};
    for (int day = 0; day < rights.size(); ++day) {
        const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon.addDays(day));
        for (int n = 0; n < 3; ++n)
            store.recordAnswer(game, answer(u"until"_s, n < rights.at(day) ? u"until"_s : u"untl"_s));
    }
    // Another learner's game is not Ann's.
    store.recordAnswer(store.recordGame(u"Ben"_s, kList, kNoon.addDays(9)), answer(u"until"_s, u"until"_s));
    const QList<PastGame> games = store.pastGames(u"Ann"_s, kList);
    QCOMPARE(games.size(), 3);
    QCOMPARE(games.at(0).started, kNoon.addDays(2));
    QCOMPARE(games.at(0).correct, 0);
    QCOMPARE(games.at(1).correct, 3);
    QCOMPARE(games.at(2).started, kNoon);
    QCOMPARE(games.at(2).correct, 1);
    QCOMPARE(games.at(2).answered, 3);
}

void tst_HistoryStore::gamesOfTheListByPathOrWords_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("hash");
    QTest::addColumn<int>("games");
    QTest::newRow("same list") << kList.path << kList.wordsHash << 1;
    QTest::newRow("edited in place") << kList.path << wordsHash({u"rhythm"_s}) << 1;
    QTest::newRow("moved elsewhere") << u"/elsewhere/week1.txt"_s << kList.wordsHash << 1;
    QTest::newRow("another list") << u"/lists/week2.txt"_s << wordsHash({u"rhythm"_s}) << 0;
}

void tst_HistoryStore::gamesOfTheListByPathOrWords()
{
    QFETCH(QString, path);
    QFETCH(QString, hash);
    QFETCH(int, games);
    QTemporaryDir folder;
    HistoryStore store(folder.filePath(u"history.sqlite"_s));
    store.recordAnswer(store.recordGame(u"Ann"_s, kList, kNoon), answer(u"until"_s, u"until"_s));
    QCOMPARE(store.pastGames(u"Ann"_s, {path, hash}).size(), games);
    QCOMPARE(store.wordsByGame(u"Ann"_s, {path, hash}).size(), games);
}

void tst_HistoryStore::wordsByGameGroupAsTheAnswerCheck()
{
    QTemporaryDir folder;
    HistoryStore store(folder.filePath(u"history.sqlite"_s));
    const qint64 first = store.recordGame(u"Ann"_s, kList, kNoon);
    store.recordAnswer(first, answer(u"Until"_s, u"untill"_s));
    store.recordAnswer(first, answer(u"rhythm"_s, u"rhythm"_s));
    store.recordAnswer(first, answer(u"until"_s, u"untl"_s));
    store.recordAnswer(first, answer(u"until"_s, u"until"_s));
    const qint64 second = store.recordGame(u"Ann"_s, kList, kNoon.addDays(1));
    store.recordAnswer(second, answer(u"until"_s, u"until"_s));

    const QList<WordOutcome> words = store.wordsByGame(u"Ann"_s, kList);
    QStringList rows;
    for (const WordOutcome &word : words) {
        const QString game = word.game == first ? u"first"_s : word.game == second ? u"second"_s : u"other"_s;
        rows.append(u"%1 %2 %3 %4 %5"_s.arg(AnswerCheck::comparable(word.word), game)
                        .arg(word.asked)
                        .arg(word.wrong)
                        .arg(word.lastWrongSpelling));
    }
    rows.sort();
    QCOMPARE(rows, (QStringList{u"RHYTHM first 1 0 "_s, u"UNTIL first 3 2 untl"_s, u"UNTIL second 1 0 "_s}));
}

void tst_HistoryStore::wordsByGameKeepTheGamesThatDecide()
{
    QTemporaryDir folder;
    HistoryStore store(folder.filePath(u"history.sqlite"_s));
    QList<qint64> games;
    // Missed in games 1 and 3, right in every game from 2 to 7.
    for (int n = 1; n <= 7; ++n) {
        const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon.addDays(n));
        games.append(game);
        if (n == 1 || n == 3)
            store.recordAnswer(game, answer(u"until"_s, u"unti%1"_s.arg(n)));
        store.recordAnswer(game, answer(u"until"_s, u"until"_s));
    }
    qint64 asked = 0;
    qint64 wrong = 0;
    QList<qint64> deciding;
    for (const WordOutcome &word : store.wordsByGame(u"Ann"_s, kList)) {
        asked += word.asked;
        wrong += word.wrong;
        if (word.game != 0)
            deciding.append(word.game);
        if (word.game == games.at(2))
            QCOMPARE(word.lastWrongSpelling, u"unti3"_s);
    }
    QCOMPARE(asked, 9);
    QCOMPARE(wrong, 2);
    std::sort(deciding.begin(), deciding.end());
    QCOMPARE(deciding, (QList<qint64>{games.at(2), games.at(3), games.at(4)}));
}

// The lists Progress offers: the learner's own, however the name is written,
// the latest played first, each with its games.
void tst_HistoryStore::playedListsOfALearner()
{
    QTemporaryDir folder;
    HistoryStore store(folder.filePath(u"history.sqlite"_s));
    const WordListId week2{u"/lists/week2.txt"_s, wordsHash({u"beginning"_s})};
    const WordListId week3{u"/lists/week3.txt"_s, wordsHash({u"necessary"_s})};
    store.recordGame(u"Ann"_s, kList, kNoon);
    store.recordGame(u"Ann"_s, kList, kNoon.addDays(1));
    store.recordGame(u"Ann"_s, week2, kNoon.addDays(2));
    store.recordGame(u"Bob"_s, week3, kNoon.addDays(3));

    QStringList rows;
    for (const PlayedList &list : store.playedLists(u"aNN"_s))
        rows.append(u"%1 %2 %3"_s.arg(list.id.path).arg(list.games).arg(kNoon.daysTo(list.lastPlayed)));

    QCOMPARE(rows, (QStringList{u"/lists/week2.txt 1 2"_s, u"/lists/week1.txt 2 1"_s}));
    QCOMPARE(store.playedLists(u"Bob"_s).constFirst().id.wordsHash, week3.wordsHash);
    QVERIFY(store.playedLists(u"Cy"_s).isEmpty());
}

void tst_HistoryStore::spellingsOfOneWord()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("words");
    QTest::addRow("letter case") << u"Until"_s << u"until"_s << 1;
    QTest::addRow("accent stored decomposed and as one character") << u"cafe\u0301"_s << u"café"_s << 1;
    QTest::addRow("decomposed accent in upper case") << u"CAFE\u0301"_s << u"café"_s << 1;
    QTest::addRow("right-to-left override") << u"\u202Etac"_s << u"tac"_s << 1;
    QTest::addRow("zero-width space and soft hyphen") << u"ca\u200Bt\u00AD"_s << u"cat"_s << 1;
    QTest::addRow("accent and no accent are two words") << u"cafe"_s << u"café"_s << 2;
}

void tst_HistoryStore::wordsByGameGroupSpellingsOfOneWord()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, words);
    QTemporaryDir folder;
    HistoryStore store(folder.filePath(u"history.sqlite"_s));
    const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon);
    QVERIFY(store.recordAnswer(game, answer(first, u"x"_s)));
    QVERIFY(store.recordAnswer(game, answer(second, u"y"_s)));

    const QList<WordOutcome> outcomes = store.wordsByGame(u"Ann"_s, kList);
    QCOMPARE(outcomes.size(), words);
    for (const WordOutcome &outcome : outcomes)
        QCOMPARE(outcome.wrong, 2 / words);
}

// A history written when words were keyed by upper-casing alone groups its
// answers as the answer check sees words now, once it has been opened.
void tst_HistoryStore::olderHistoryGroupsAsTheAnswerCheckNow()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, words);
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    {
        HistoryStore store(file);
        store.recordGame(u"Ann"_s, kList, kNoon);
    }
    {
        RawConnection raw(file);
        for (const QString &word : {first, second, u"rhythm"_s}) {
            raw.value(u"INSERT INTO answers (game, learner, list, given, word_key, typed, correct, answered)"
                      " SELECT id, learner, list, '%1', '%2', 'x', 0, 0 FROM games"_s.arg(word, word.toUpper()));
            raw.value(u"INSERT INTO word_totals SELECT learner, list, '%2', '%1', 1, 1 FROM games WHERE true"
                      " ON CONFLICT DO UPDATE SET asked = asked + 1, wrong = wrong + 1"_s.arg(word, word.toUpper()));
        }
        raw.value(u"UPDATE games SET answered = 3"_s);
        dropVersion4(raw);
        raw.value(u"ALTER TABLE answers DROP COLUMN given_length"_s);
        raw.value(u"ALTER TABLE answers DROP COLUMN typed_length"_s);
        raw.value(u"PRAGMA user_version = 1"_s);
    }

    HistoryStore store(file);
    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    QCOMPARE(store.takeNotice(), QString());
    QCOMPARE(store.wordsByGame(u"Ann"_s, kList).size(), words + 1);
    RawConnection raw(file);
    QCOMPARE(raw.value(u"PRAGMA user_version"_s).toInt(), HistoryStore::kSchemaVersion);
    QCOMPARE(raw.value(u"SELECT count(DISTINCT word_key) FROM answers"_s).toInt(), words + 1);
    QCOMPARE(raw.value(u"SELECT count(*) FROM word_totals"_s).toInt(), words + 1);
    QCOMPARE(raw.value(u"SELECT sum(asked) FROM word_totals"_s).toInt(), 3);
    QCOMPARE(raw.value(u"SELECT word_key FROM answers WHERE given = 'rhythm'"_s).toString(), u"RHYTHM"_s);
    QCOMPARE(raw.value(u"SELECT count(*) FROM answers WHERE given_length IS NULL AND typed_length IS NULL"_s).toInt(),
             3);
}

void tst_HistoryStore::version3HistoryKeepsEveryGame()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    {
        HistoryStore store(file);
        for (int day = 0; day < 2; ++day) {
            const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon.addDays(day));
            QVERIFY(store.recordAnswer(game, answer(u"until"_s, day ? u"until"_s : u"untill"_s)));
        }
    }
    {
        RawConnection raw(file);
        dropVersion4(raw);
        raw.value(u"PRAGMA user_version = 3"_s);
        QCOMPARE(raw.value(u"SELECT count(*) FROM games"_s).toInt(), 2);
    }

    HistoryStore store(file);
    QCOMPARE(store.access(), PracticeHistory::Access::ReadWrite);
    const QList<PastGame> games = store.pastGames(u"Ann"_s, kList);
    QCOMPARE(games.size(), 2);
    for (const PastGame &game : games) {
        QCOMPARE(game.kind, GameKind::Practice);
        QCOMPARE(game.answered, 1);
    }
    QCOMPARE(games.at(0).correct, 1);
    QCOMPARE(store.wordsByGame(u"Ann"_s, kList).size(), 2);
    RawConnection raw(file);
    QCOMPARE(raw.value(u"PRAGMA user_version"_s).toInt(), HistoryStore::kSchemaVersion);
    QCOMPARE(raw.value(u"SELECT count(*) FROM answers"_s).toInt(), 2);
}

// A test is told apart from a practice game; copies count in no game's
// score and no word's record, and go with the learner's forgotten history.
void tst_HistoryStore::testsAndCopiesAreKeptApart()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    {
        HistoryStore store(file);
        const qint64 practice = store.recordGame(u"Ann"_s, kList, kNoon);
        QVERIFY(store.recordAnswer(practice, answer(u"until"_s, u"untill"_s)));
        QVERIFY(store.recordCopy(practice, answer(u"until"_s, u"untl"_s)));
        QVERIFY(store.recordCopy(practice, answer(u"until"_s, u"until"_s)));
        const qint64 test = store.recordGame(u"Ann"_s, kList, kNoon.addDays(1), GameKind::Test);
        QVERIFY(store.recordAnswer(test, answer(u"rhythm"_s, u"rhythm"_s)));
        QVERIFY(!store.recordCopy(test + 1, answer(u"rhythm"_s, u"rhythm"_s)));
    }

    HistoryStore store(file);
    const QList<PastGame> games = store.pastGames(u"Ann"_s, kList);
    QCOMPARE(games.size(), 2);
    QCOMPARE(games.at(0).kind, GameKind::Test);
    QCOMPARE(games.at(1).kind, GameKind::Practice);
    QCOMPARE(games.at(1).answered, 1);
    QCOMPARE(games.at(1).correct, 0);
    qint64 untilAsked = 0;
    for (const WordOutcome &word : store.wordsByGame(u"Ann"_s, kList)) {
        if (word.word == u"until"_s)
            untilAsked += word.asked;
    }
    QCOMPARE(untilAsked, 1);
    {
        RawConnection raw(file);
        QCOMPARE(raw.value(u"SELECT group_concat(typed || ':' || correct, ',') FROM copies"_s).toString(),
                 u"untl:0,until:1"_s);
    }
    QVERIFY(store.forgetHistory(u"Ann"_s));
    RawConnection raw(file);
    QCOMPARE(raw.value(u"SELECT count(*) FROM copies"_s).toInt(), 0);
}

void tst_HistoryStore::longTextsAreRecordedInPart_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("givenKept");
    QTest::addColumn<QString>("typedKept");
    const QString longest(kLongestRecorded, u'a');
    QTest::addRow("word of 20,000 characters") << longest + longest << u"aa"_s << longest << u"aa"_s;
    QTest::addRow("typed text of 20,000 characters") << u"until"_s << longest + longest << u"until"_s << longest;
    QTest::addRow("10,000 characters whole") << longest << longest << longest << longest;
    QTest::addRow("a character of two units at the cut is left out whole")
        << longest.first(kLongestRecorded - 1) + u"\U0001F600"_s << u"x"_s << longest.first(kLongestRecorded - 1)
        << u"x"_s;
}

void tst_HistoryStore::longTextsAreRecordedInPart()
{
    QFETCH(QString, given);
    QFETCH(QString, typed);
    QFETCH(QString, givenKept);
    QFETCH(QString, typedKept);
    QTemporaryDir folder;
    const QString file = folder.filePath(u"history.sqlite"_s);
    HistoryStore store(file);
    const qint64 game = store.recordGame(u"Ann"_s, kList, kNoon);
    QVERIFY(store.recordAnswer(game, answer(given, typed)));
    QVERIFY(store.recordAnswer(game, answer(given, u"y"_s)));

    const QList<WordOutcome> words = store.wordsByGame(u"Ann"_s, kList);
    QCOMPARE(words.size(), 1);
    QCOMPARE(words.constFirst().word, givenKept);
    QCOMPARE(words.constFirst().asked, 2);
    RawConnection raw(file);
    QCOMPARE(raw.value(u"SELECT given FROM answers ORDER BY id"_s).toString(), givenKept);
    QCOMPARE(raw.value(u"SELECT typed FROM answers ORDER BY id"_s).toString(), typedKept);
    QCOMPARE(raw.value(u"SELECT given_length FROM answers ORDER BY id"_s).toLongLong(), given.size());
    QCOMPARE(raw.value(u"SELECT typed_length FROM answers ORDER BY id"_s).toLongLong(), typed.size());
    QCOMPARE(raw.value(u"SELECT given FROM word_totals"_s).toString(), givenKept);
    QCOMPARE(raw.value(u"SELECT length(word_key) FROM word_totals"_s).toLongLong(), givenKept.size());
}

QTEST_GUILESS_MAIN(tst_HistoryStore)
#include "tst_historystore.moc"
