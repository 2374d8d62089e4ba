// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settingkeys.h"
#include "core/settingsstore.h"
#include "core/useraccount.h"
#include "fakes.h"
#include "history/historystore.h"
#include "historylock.h"
#include "practice/gamestate.h"
#include "program/practicerecord.h"
#include "wordlist/wordstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kListPath = u"/lists/week1.txt"_s;

// A record on a history file and a settings file in a temporary folder.
struct Fixture
{
    Fixture()
        : settings(folder.filePath(u"settings.ini"_s)),
          record(&settings, &prompts, [this] { return std::make_unique<HistoryStore>(historyFile()); })
    {
        list = WordStore::fromText(u"rhythm\nuntil\nreceive\n"_s);
    }
    QString historyFile() const { return folder.filePath(u"data/history.sqlite"_s); }

    // Appends the answer to the game, with the given word before it, and
    // tells the record, as the main window does.
    void answer(const QString &given, const QString &typed)
    {
        game.givenWords.append(given);
        game.typedWords.append(typed);
        record.answered(game, kListPath, list);
    }
    void newGame()
    {
        game = GameState();
        game.started = true;
    }
    QList<GameSummary> games() { return record.pastGames(kListPath, list); }

    QTemporaryDir folder;
    SettingsStore settings;
    RecordingPrompts prompts;
    PracticeRecord record;
    WordStore list;
    GameState game;
};

} // namespace

class tst_PracticeRecord : public QObject
{
    Q_OBJECT

private slots:
    void learnerInUse_data();
    void learnerInUse();
    void firstLearner_data();
    void firstLearner();
    void everyAnswerIsRecordedAsJudged();
    void eachGameIsRecordedAtItsFirstAnswer();
    void anotherLearnerMidGameStartsTheirOwnGame();
    void anotherListMidGameStartsAGameOnIt();
    void keepHistoryOffWritesNothing();
    void forgottenInTheMiddleOfAGame();
    void damagedHistoryIsToldOnceAndPracticeGoesOn();
    void historyThatCannotBeWrittenIsToldOncePerRun();
    void gameGoesOnInTheHistoryOnceTheLockIsLetGo();
    void olderHistoryLockedIsShownAsStored();
    void wordsToWorkOnOfTheLearnerInUse();
    void veryLongWordToWorkOnIsTheWholeWord();
};

void tst_PracticeRecord::learnerInUse_data()
{
    QTest::addColumn<QString>("setting"); // "<absent>" leaves it out
    QTest::addColumn<QString>("expected");
    QTest::newRow("absent") << u"<absent>"_s << UserAccount::firstLearnerName();
    QTest::newRow("empty") << QString() << UserAccount::firstLearnerName();
    QTest::newRow("spaces") << u"  "_s << UserAccount::firstLearnerName();
    QTest::newRow("named") << u" Ann "_s << u"Ann"_s;
}

void tst_PracticeRecord::learnerInUse()
{
    QFETCH(QString, setting);
    QFETCH(QString, expected);
    Fixture f;
    if (setting != u"<absent>")
        f.settings.WriteSetting(SettingKeys::kLearner.toString(), setting);
    QCOMPARE(f.record.learner(), expected);
    // The learner in use is listed before any game.
    QCOMPARE(f.record.learners(), QStringList{expected});
    f.newGame();
    f.answer(u"until"_s, u"until"_s);
    QCOMPARE(HistoryStore(f.historyFile()).learners(), QStringList{expected});
}

void tst_PracticeRecord::firstLearner_data()
{
    QTest::addColumn<QString>("gecos");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QStringList>("learners"); // in the history
    QTest::addColumn<QString>("expected");
    QTest::addRow("the full name") << u"Ann Lee,Room 4,555-0100,,"_s << u"ann"_s << QStringList() << u"Ann Lee"_s;
    QTest::addRow("ampersand for the login name") << u"& Lee"_s << u"ann"_s << QStringList() << u"Ann Lee"_s;
    QTest::addRow("no full name") << QString() << u"ann"_s << QStringList() << u"ann"_s;
    QTest::addRow("empty fields") << u" ,,,"_s << u"ann"_s << QStringList() << u"ann"_s;
    QTest::addRow("neither name") << QString() << QString() << QStringList() << u"Learner"_s;
    QTest::addRow("history of the login name kept")
        << u"Ann Lee"_s << u"ann"_s << QStringList{u"Ben"_s, u"ANN"_s} << u"ann"_s;
    QTest::addRow("history of both names")
        << u"Ann Lee"_s << u"ann"_s << QStringList{u"ann"_s, u"ann lee"_s} << u"Ann Lee"_s;
    QTest::addRow("history of others only") << u"Ann Lee"_s << u"ann"_s << QStringList{u"Ben"_s} << u"Ann Lee"_s;
}

void tst_PracticeRecord::firstLearner()
{
    QFETCH(QString, gecos);
    QFETCH(QString, login);
    QFETCH(QStringList, learners);
    QFETCH(QString, expected);
    QCOMPARE(PracticeRecord::firstLearner(UserAccount::fullNameFromGecos(gecos, login), login, learners), expected);
}

void tst_PracticeRecord::everyAnswerIsRecordedAsJudged()
{
    Fixture f;
    f.newGame();
    f.answer(u"until"_s, u"UNTIL"_s);
    // Recorded the moment it was judged, while the game goes on.
    QCOMPARE(f.games().at(0).answered, 1);
    f.answer(u"rhythm"_s, u"rhythm "_s);
    // Told again with no new answer: recorded once.
    f.record.answered(f.game, kListPath, f.list);
    f.answer(u"receive"_s, u"receive"_s);
    const QList<GameSummary> games = f.games();
    QCOMPARE(games.size(), 1);
    QCOMPARE(games.at(0).answered, 3);
    QCOMPARE(games.at(0).correct, 2);
    QCOMPARE(games.at(0).score, 67);
    QVERIFY(f.prompts.boxes.isEmpty());
}

void tst_PracticeRecord::eachGameIsRecordedAtItsFirstAnswer()
{
    Fixture f;
    f.newGame();
    // A game without answers leaves no trace.
    QVERIFY(f.games().isEmpty());
    f.answer(u"until"_s, u"until"_s);
    f.newGame();
    f.answer(u"until"_s, u"untl"_s);
    f.answer(u"until"_s, u"untl"_s);
    const QList<GameSummary> games = f.games();
    QCOMPARE(games.size(), 2);
    QCOMPARE(games.at(0).answered, 2);
    QCOMPARE(games.at(0).score, 0);
    QCOMPARE(games.at(1).answered, 1);
}

void tst_PracticeRecord::anotherLearnerMidGameStartsTheirOwnGame()
{
    Fixture f;
    f.record.setLearner(u"Ann"_s);
    f.newGame();
    f.answer(u"until"_s, u"until"_s);
    f.record.setLearner(u"Ben"_s);
    f.answer(u"until"_s, u"untl"_s);
    QCOMPARE(f.games().size(), 1);
    QCOMPARE(f.games().at(0).correct, 0);
    f.record.setLearner(u"Ann"_s);
    QCOMPARE(f.games().at(0).correct, 1);
    QCOMPARE(f.record.learners(), (QStringList{u"Ann"_s, u"Ben"_s}));
}

void tst_PracticeRecord::anotherListMidGameStartsAGameOnIt()
{
    Fixture f;
    f.newGame();
    f.answer(u"until"_s, u"until"_s);
    // A list loaded while the game runs: its next words come from it.
    const WordStore other = WordStore::fromText(u"necessary\n"_s);
    f.game.givenWords.append(u"necessary"_s);
    f.game.typedWords.append(u"necesary"_s);
    f.record.answered(f.game, u"/lists/week2.txt"_s, other);
    QCOMPARE(f.games().size(), 1);
    QCOMPARE(f.games().at(0).correct, 1);
    const QList<GameSummary> onOther = f.record.pastGames(u"/lists/week2.txt"_s, other);
    QCOMPARE(onOther.size(), 1);
    QCOMPARE(onOther.at(0).answered, 1);
    QCOMPARE(f.record.wordsToWorkOn(u"/lists/week2.txt"_s, other).size(), 1);
}

void tst_PracticeRecord::keepHistoryOffWritesNothing()
{
    Fixture f;
    QVERIFY(f.record.keepHistory());
    f.record.setKeepHistory(false);
    QCOMPARE(f.settings.ReadSetting(SettingKeys::kKeepHistory), u"False"_s);
    f.newGame();
    f.answer(u"until"_s, u"until"_s);
    QVERIFY(!QFile::exists(f.historyFile()));
    // Switched on again in the middle of a game: recorded from there on.
    f.record.setKeepHistory(true);
    f.answer(u"rhythm"_s, u"rhythm"_s);
    QCOMPARE(f.games().size(), 1);
    QCOMPARE(f.games().at(0).answered, 1);
}

void tst_PracticeRecord::forgottenInTheMiddleOfAGame()
{
    Fixture f;
    f.record.setLearner(u"Ann"_s);
    f.newGame();
    f.answer(u"until"_s, u"untl"_s);
    QVERIFY(f.record.forgetHistory(u"Ann"_s));
    QVERIFY(f.games().isEmpty());
    // The rest of the game is recorded as a game of its own.
    f.answer(u"rhythm"_s, u"rhythm"_s);
    QCOMPARE(f.games().size(), 1);
    QCOMPARE(f.games().at(0).answered, 1);
    QVERIFY(f.record.canRecord());
    QVERIFY(f.prompts.boxes.isEmpty());
}

void tst_PracticeRecord::damagedHistoryIsToldOnceAndPracticeGoesOn()
{
    Fixture f;
    QDir().mkpath(QFileInfo(f.historyFile()).path());
    QFile junk(f.historyFile());
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();

    f.newGame();
    f.answer(u"until"_s, u"untl"_s);
    f.answer(u"until"_s, u"until"_s);
    QCOMPARE(f.prompts.messages().size(), 1);
    QVERIFY(f.prompts.messages().at(0).contains(u"history.damaged-"_s));
    QVERIFY(f.prompts.errors().isEmpty());
    // The new history holds both answers.
    QCOMPARE(f.games().at(0).answered, 2);
}

void tst_PracticeRecord::historyThatCannotBeWrittenIsToldOncePerRun()
{
    Fixture f;
    // The data folder's place is taken by a file.
    QFile blocker(f.folder.filePath(u"data"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.newGame();
    for (int n = 0; n < 3; ++n)
        f.answer(u"until"_s, u"until"_s);
    f.games();
    QCOMPARE(f.record.addLearner(u"Ben"_s).isEmpty(), false);
    QCOMPARE(f.prompts.messages().size(), 1);
    QVERIFY(f.prompts.errors().isEmpty());
    QVERIFY(!f.record.canRecord());
}

void tst_PracticeRecord::gameGoesOnInTheHistoryOnceTheLockIsLetGo()
{
    Fixture f;
    f.newGame();
    f.answer(u"until"_s, u"untl"_s);
    {
        HistoryLock lock(QStringLiteral(HISTORY_LOCKER), f.historyFile());
        QVERIFY(lock.locked());
        f.answer(u"rhythm"_s, u"rhythm"_s);
        QVERIFY(f.record.writingFails());
        // The file is waited for once; later answers try it only briefly.
        QElapsedTimer answering;
        answering.start();
        f.answer(u"receive"_s, u"recieve"_s);
        QVERIFY2(answering.elapsed() < HistoryStore::kBusyTimeoutMs / 2,
                 qPrintable(QString::number(answering.elapsed())));
    }
    f.answer(u"until"_s, u"until"_s);
    // One game, less the answers given while the file was locked.
    QCOMPARE(f.games().size(), 1);
    QCOMPARE(f.games().at(0).answered, 2);
    QVERIFY(!f.record.writingFails());
    QCOMPARE(f.prompts.messages().size(), 1);
}

// A history of an older version that another program holds locked cannot
// be brought up to date: its games and words are shown all the same, the
// learner is told once, and the file is left as it was.
void tst_PracticeRecord::olderHistoryLockedIsShownAsStored()
{
    Fixture f;
    {
        RecordingPrompts quiet;
        PracticeRecord earlier(&f.settings, &quiet, [&f] { return std::make_unique<HistoryStore>(f.historyFile()); });
        GameState game;
        game.started = true;
        for (const auto &[given, typed] : {std::pair{u"until"_s, u"untl"_s}, {u"rhythm"_s, u"rhythm"_s}}) {
            game.givenWords.append(given);
            game.typedWords.append(typed);
            earlier.answered(game, kListPath, f.list);
        }
    }
    {
        // Back to version 3: no kinds of game, no copies.
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"downgrade"_s);
        db.setDatabaseName(f.historyFile());
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &statement :
             {u"DROP TABLE copies"_s, u"ALTER TABLE games DROP COLUMN kind"_s, u"PRAGMA user_version = 3"_s})
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"downgrade"_s);
    const auto stored = [&f] {
        QFile file(f.historyFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = stored();
    {
        HistoryLock lock(QStringLiteral(HISTORY_LOCKER), f.historyFile());
        QVERIFY(lock.locked());
        QCOMPARE(f.games().size(), 1);
        QCOMPARE(f.games().at(0).answered, 2);
        const QList<WordToWorkOn> words = f.record.wordsToWorkOn(kListPath, f.list);
        QCOMPARE(words.size(), 1);
        QCOMPARE(words.at(0).lastSpelling, u"untl"_s);
        QCOMPARE(f.prompts.messages().size(), 1);
        QVERIFY2(f.prompts.messages().at(0).contains(u"older version"_s), qPrintable(f.prompts.messages().at(0)));

        f.newGame();
        f.answer(u"receive"_s, u"recieve"_s);
        QVERIFY(!f.record.canRecord());
        QCOMPARE(f.games().size(), 1);
        QCOMPARE(f.prompts.messages().size(), 1);
    }
    QCOMPARE(stored(), before);
}

void tst_PracticeRecord::wordsToWorkOnOfTheLearnerInUse()
{
    Fixture f;
    f.record.setLearner(u"Ann"_s);
    f.newGame();
    f.answer(u"receive"_s, u"recieve"_s);
    f.answer(u"until"_s, u"untill"_s);
    f.answer(u"until"_s, u"untl"_s);
    f.record.setLearner(u"Ben"_s);
    f.newGame();
    f.answer(u"rhythm"_s, u"rythm"_s);

    f.record.setLearner(u"Ann"_s);
    const QList<WordToWorkOn> words = f.record.wordsToWorkOn(kListPath, f.list);
    QCOMPARE(words.size(), 2);
    QCOMPARE(words.at(0).word, u"until"_s);
    QCOMPARE(words.at(0).wrong, 2);
    QCOMPARE(words.at(0).lastSpelling, u"untl"_s);
    QCOMPARE(words.at(1).word, u"receive"_s);
}

// The history keeps a part of a very long word; the word to work on is the
// list's whole word, which the next game can ask.
void tst_PracticeRecord::veryLongWordToWorkOnIsTheWholeWord()
{
    Fixture f;
    const QString word = QString(kLongestRecorded, u'a') + u"bc"_s;
    f.list = WordStore::fromText(u"until\n"_s + word + u'\n');
    f.newGame();
    f.answer(word, u"aaa"_s);

    const QList<WordToWorkOn> words = f.record.wordsToWorkOn(kListPath, f.list);
    QCOMPARE(words.size(), 1);
    QCOMPARE(words.constFirst().word, word);
    QCOMPARE(words.constFirst().lastSpelling, u"aaa"_s);
}

QTEST_GUILESS_MAIN(tst_PracticeRecord)
#include "tst_practicerecord.moc"
