// SPDX-License-Identifier: GPL-3.0-or-later
// The practice history's costs: what the Progress window asks when it opens,
// on histories of 100,000 and 1,000,000 answers, and one answer from Enter
// to the next word's speech with the history on and off.
#include "app/app.h"
#include "benchsupport.h"
#include "core/settingkeys.h"
#include "core/settingsstore.h"
#include "history/historystore.h"
#include "practice/answercheck.h"
#include "windows/form1.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

class NoSounds : public AudioPreferences
{
public:
    int volume() const override { return 100; }
    int rate() const override { return 0; }
    int voicePosition() const override { return 0; }
    bool playSounds() const override { return false; }
    bool saySentence() const override { return true; }
};

constexpr int kWords = 20;
constexpr int kAnswersPerGame = 40;
const QString kLearner = u"Ann"_s;

QStringList listWords()
{
    QStringList words;
    for (int n = 0; n < kWords; ++n)
        words.append(u"word%1"_s.arg(n));
    return words;
}

// A history of one learner's games on one list, the answers written in one
// transaction (recording them one by one would sync each to disk).
struct FilledHistory
{
    explicit FilledHistory(qint64 answers)
    {
        file = folder.filePath(u"history.sqlite"_s);
        listFile = folder.filePath(u"words.txt"_s);
        const QStringList words = listWords();
        QFile out(listFile);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write the list");
        out.write(words.join(u'\n').toUtf8());
        out.close();
        const WordListId list{listFile, wordsHash(words)};
        {
            HistoryStore store(file);
            store.recordGame(kLearner, list, QDateTime::currentDateTime());
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"fill"_s);
            db.setDatabaseName(file);
            db.open();
            QSqlQuery query(db);
            query.exec(u"BEGIN"_s);
            QSqlQuery game(db);
            game.prepare(u"INSERT INTO games (learner, list, started, answered, correct) VALUES (1, 1, ?, ?, ?)"_s);
            QSqlQuery answer(db);
            answer.prepare(u"INSERT INTO answers (game, learner, list, given, word_key, typed, correct, answered)"
                           " VALUES (?, 1, 1, ?, ?, ?, ?, ?)"_s);
            std::map<QString, std::pair<qint64, qint64>> totals;
            const qint64 start = QDateTime::currentMSecsSinceEpoch() - answers * 3000;
            quint32 random = 12345;
            qint64 gameId = 1;
            qint64 inGame = 0;
            qint64 correctInGame = 0;
            for (qint64 n = 0; n < answers; ++n) {
                if (inGame == kAnswersPerGame) {
                    query.exec(u"UPDATE games SET answered = %1, correct = %2 WHERE id = %3"_s.arg(inGame)
                                   .arg(correctInGame)
                                   .arg(gameId));
                    game.addBindValue(start + n * 3000);
                    game.addBindValue(0);
                    game.addBindValue(0);
                    game.exec();
                    gameId = game.lastInsertId().toLongLong();
                    inGame = 0;
                    correctInGame = 0;
                }
                random = random * 1664525u + 1013904223u;
                const QString &word = words.at((random >> 8) % kWords);
                const bool correct = (random >> 20) % 5 != 0;
                answer.addBindValue(gameId);
                answer.addBindValue(word);
                answer.addBindValue(AnswerCheck::comparable(word));
                answer.addBindValue(correct ? word : word + u'x');
                answer.addBindValue(correct ? 1 : 0);
                answer.addBindValue(start + n * 3000);
                answer.exec();
                ++totals[word].first;
                totals[word].second += correct ? 0 : 1;
                ++inGame;
                correctInGame += correct ? 1 : 0;
            }
            query.exec(u"UPDATE games SET answered = %1, correct = %2 WHERE id = %3"_s.arg(inGame)
                           .arg(correctInGame)
                           .arg(gameId));
            for (const auto &[word, counts] : totals)
                query.exec(u"INSERT INTO word_totals VALUES (1, 1, '%1', '%2', %3, %4)"_s
                               .arg(AnswerCheck::comparable(word), word)
                               .arg(counts.first)
                               .arg(counts.second));
            query.exec(u"COMMIT"_s);
        }
        QSqlDatabase::removeDatabase(u"fill"_s);
    }

    QTemporaryDir folder;
    QString file;
    QString listFile;
};

FilledHistory &history(qint64 answers)
{
    static std::map<qint64, std::unique_ptr<FilledHistory>> histories;
    auto &slot = histories[answers];
    if (!slot)
        slot = std::make_unique<FilledHistory>(answers);
    return *slot;
}

// Opening the history and the Progress window's questions: the learners, the
// past games and the words to work on of the learner and the list in use.
void BM_ProgressWindowQueries(benchmark::State &state)
{
    FilledHistory &filled = history(state.range(0));
    SettingsStore settings(filled.folder.filePath(u"settings.ini"_s));
    settings.WriteSetting(SettingKeys::kLearner.toString(), kLearner);
    CountingPrompts prompts;
    const WordStore list = WordStore::fromText(listWords().join(u'\n'));
    for (auto _ : state) {
        PracticeRecord record(&settings, &prompts, [&] { return std::make_unique<HistoryStore>(filled.file); });
        benchmark::DoNotOptimize(record.learners());
        const QList<GameSummary> games = record.pastGames(filled.listFile, list);
        const QList<WordToWorkOn> words = record.wordsToWorkOn(filled.listFile, list);
        if (games.size() != (state.range(0) + kAnswersPerGame - 1) / kAnswersPerGame || words.isEmpty())
            state.SkipWithError("the history was not read whole");
    }
    if (prompts.boxes != 0)
        state.SkipWithError("the history told of a problem");
}
BENCHMARK(BM_ProgressWindowQueries)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One answer through the main window, from Enter to the next word handed to
// the speech engine, on a history of a million answers; 0: history off.
void BM_EnterToNextWord(benchmark::State &state)
{
    FilledHistory &filled = history(1000000);
    CountingPrompts prompts;
    QTemporaryDir folder;
    SettingsStore settings(folder.filePath(u"settings.ini"_s));
    settings.WriteSetting(SettingKeys::kLearner.toString(), kLearner);
    settings.WriteSetting(SettingKeys::kKeepHistory.key.toString(), state.range(0) ? u"True"_s : u"False"_s);
    Services services;
    services.prompts = &prompts;
    services.settings = &settings;
    services.programFolder = folder.path();
    services.historyFile = filled.file;
    App app(services);
    Form1 form1(app.state(), app);
    form1.Text1->setText(filled.listFile);
    app.state().dictionary = WordStore::fromText(listWords().join(u'\n'));
    NoSounds noSounds;
    app.state().audio.preferences = &noSounds;
    QElapsedTimer timer;
    qint64 spokenAt = 0;
    app.state().gameAudio.speakWord = [&](const QString &) { spokenAt = timer.nsecsElapsed(); };
    form1.PushButton3_Click();
    std::vector<double> times;
    for (auto _ : state) {
        form1.Text2->setText(app.state().game.currentWord);
        timer.start();
        form1.PushButton8_Click();
        times.push_back(double(spokenAt) / 1e9);
        state.SetIterationTime(times.back());
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0.0 : times[times.size() / 2] * 1e3;
    if (prompts.boxes != 0)
        state.SkipWithError("the answer showed a message");
}
BENCHMARK(BM_EnterToNextWord)->Arg(1)->Arg(0)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
