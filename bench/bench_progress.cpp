// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the Progress window over a practice history of 100,000 and of
// 1,000,000 recorded answers: the window is loaded, reads the learner's games
// and words to work on from the history file, and is shown and painted, as
// the main window's Progress button does it. The history is written first,
// as games of 20 answers on a list of 200 words with one answer in ten wrong.
// Then the report a learner of a year's practice gets from "Save Report...":
// three games a day on 365 days, drawn and written as a PDF file.

#include "app/app.h"
#include "benchsupport.h"
#include "history/historystore.h"
#include "program/practicerecord.h"
#include "program/progressdays.h"
#include "windows/form4.h"

#include <QFileInfo>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kListWords = 200;
constexpr int kAnswersPerGame = 20;
constexpr int kOneWrongIn = 10;
const QString kLearner = u"Learner"_s;

// "Save Report..." answered with the same file each time.
class ReportFile : public FileDialogs
{
public:
    QString openFile(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return path; }
    QString path;
};

QStringList listWords()
{
    QStringList words;
    for (int i = 0; i < kListWords; ++i)
        words.append(u"word%1"_s.arg(i, 3, 10, QChar(u'0')));
    return words;
}

// Ten games through the history store, one pass over the list's 200 words,
// then copies of them, the games the given time apart, ending now. The store writes each
// answer in a transaction of its own, synced to disk, as a learner's answers
// come; a million of those would take the benchmark an hour, so the copies
// are written in one transaction of plain SQL.
void fillHistory(const QString &path, const QString &listPath, qint64 answers, qint64 secondsApart = 60)
{
    const QStringList words = listWords();
    const int templateGames = kListWords / kAnswersPerGame;
    const qint64 games = (answers + kAnswersPerGame - 1) / kAnswersPerGame;
    const QDateTime start = QDateTime::currentDateTime().addSecs(-secondsApart * games);
    {
        HistoryStore store(path);
        const WordListId list{listPath, wordsHash(words)};
        for (int g = 0; g < templateGames; ++g) {
            const QDateTime started = start.addSecs(secondsApart * g);
            const qint64 game = store.recordGame(kLearner, list, started);
            for (int i = 0; i < kAnswersPerGame; ++i) {
                const QString &word = words.at(g * kAnswersPerGame + i);
                const bool right = i % kOneWrongIn != 0;
                store.recordAnswer(game, {word, right ? word : word + u'x', right, started.addSecs(i)});
            }
        }
    }
    const QString connection = u"fill"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(path);
        if (!db.open() || !db.transaction())
            qFatal("cannot write the history");
        QSqlQuery game(db);
        game.prepare(u"INSERT INTO games (learner, list, started, answered, correct)"
                     " SELECT learner, list, started + ?, answered, correct FROM games WHERE id = ?"_s);
        QSqlQuery answer(db);
        answer.prepare(u"INSERT INTO answers (game, learner, list, given, word_key, typed, correct, answered)"
                       " SELECT ?, learner, list, given, word_key, typed, correct, answered + ?"
                       " FROM answers WHERE game = ?"_s);
        for (qint64 copy = templateGames; copy < games; ++copy) {
            const qint64 shift = secondsApart * 1000 * (copy - copy % templateGames);
            const qint64 from = 1 + copy % templateGames;
            game.addBindValue(shift);
            game.addBindValue(from);
            if (!game.exec())
                qFatal("cannot copy a game: %s", qPrintable(game.lastError().text()));
            answer.addBindValue(game.lastInsertId());
            answer.addBindValue(shift);
            answer.addBindValue(from);
            if (!answer.exec())
                qFatal("cannot copy answers: %s", qPrintable(answer.lastError().text()));
        }
        // Each word's totals, which the store keeps with each answer, for
        // all the answers.
        QSqlQuery totals(db);
        if (!totals.exec(u"DELETE FROM word_totals"_s)
            || !totals.exec(u"INSERT INTO word_totals (learner, list, word_key, given, asked, wrong)"
                            " SELECT learner, list, word_key, min(given), count(*), sum(1 - correct)"
                            " FROM answers GROUP BY learner, list, word_key"_s))
            qFatal("cannot count the words: %s", qPrintable(totals.lastError().text()));
        if (!db.commit())
            qFatal("cannot write the history");
    }
    QSqlDatabase::removeDatabase(connection);
}

// A history of that many answers in a temporary folder, and a program over it.
struct Fixture
{
    explicit Fixture(qint64 answers, qint64 secondsApart = 60)
    {
        fillHistory(historyPath, listPath, answers, secondsApart);
        settings.WriteSetting(u"Learner"_s, kLearner);
        Services services;
        services.prompts = &prompts;
        services.speech = &engine;
        services.settings = &settings;
        services.dialogs = &dialogs;
        services.programFolder = folder.path();
        services.historyFile = historyPath;
        app = std::make_unique<App>(services);
        app->state().dictionary = WordStore::fromText(listWords().join(u'\n'));
    }

    QTemporaryDir folder;
    const QString listPath = folder.filePath(u"list.txt"_s);
    const QString historyPath = folder.filePath(u"history.sqlite"_s);
    SettingsStore settings{folder.filePath(u"settings.ini"_s)};
    CountingPrompts prompts;
    ReportFile dialogs;
    SilentEngine engine;
    std::unique_ptr<App> app;
};

void BM_OpenProgress(benchmark::State &state)
{
    const qint64 answers = state.range(0);
    Fixture fixture(answers);
    for (auto _ : state) {
        Form4 &progress = fixture.app->progress(fixture.listPath);
        progress.show();
        QCoreApplication::processEvents();

        state.PauseTiming();
        if (progress.pastGames().size() != answers / kAnswersPerGame)
            state.SkipWithError("the window does not show every game");
        if (progress.wordsToWorkOn().isEmpty())
            state.SkipWithError("the window shows no words to work on");
        delete &progress;
        state.ResumeTiming();
    }
    if (fixture.prompts.boxes != 0)
        state.SkipWithError("opening the window showed a message");
}
BENCHMARK(BM_OpenProgress)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);

// What the window asks the practice record, without the window: the part of
// the opening that grows with the history.
void BM_ProgressQueries(benchmark::State &state)
{
    Fixture fixture(state.range(0));
    PracticeRecord &record = fixture.app->state().practiceRecord;
    const WordStore &list = fixture.app->state().dictionary;
    for (auto _ : state) {
        benchmark::DoNotOptimize(record.pastGames(fixture.listPath, list));
        benchmark::DoNotOptimize(record.wordsToWorkOn(fixture.listPath, list));
    }
}
BENCHMARK(BM_ProgressQueries)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);

// A year of practice: three games a day of 20 answers on 365 days.
void BM_SaveReport(benchmark::State &state)
{
    constexpr qint64 kDays = 365;
    constexpr qint64 kGamesADay = 3;
    Fixture fixture(kDays * kGamesADay * kAnswersPerGame, 24 * 3600 / kGamesADay);
    fixture.dialogs.path = fixture.folder.filePath(u"report.pdf"_s);
    Form4 &progress = fixture.app->progress(fixture.listPath);
    progress.show();
    QCoreApplication::processEvents();
    if (daysPlayed(scoresByDay(progress.pastGames())) < kDays)
        state.SkipWithError("the history does not hold a year of days");
    for (auto _ : state)
        progress.PushButton6->click();
    state.counters["bytes"] = double(QFileInfo(fixture.dialogs.path).size());
    if (fixture.prompts.boxes != 0 || !QFileInfo::exists(fixture.dialogs.path))
        state.SkipWithError("the report was not written");
    delete &progress;
}
BENCHMARK(BM_SaveReport)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
