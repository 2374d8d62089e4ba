// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/answercheck.h"
#include "practice/scoring.h"
#include "practice/wordstoworkon.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Answers written "game word typed", e.g. "1 until untill"; each game's
// answers of a word become one outcome, as the history gives them.
QList<WordOutcome> outcomesOf(const QStringList &answers)
{
    QList<WordOutcome> outcomes;
    for (const QString &text : answers) {
        const QStringList parts = text.split(u' ');
        const qint64 game = parts.at(0).toLongLong();
        const QString &word = parts.at(1);
        const QString &typed = parts.at(2);
        auto found = std::find_if(outcomes.begin(), outcomes.end(), [&](const WordOutcome &outcome) {
            return outcome.game == game && AnswerCheck::comparable(outcome.word) == AnswerCheck::comparable(word);
        });
        if (found == outcomes.end()) {
            outcomes.append({word, game, 0, 0, QString()});
            found = outcomes.end() - 1;
        }
        ++found->asked;
        if (!Scoring::isCorrect(typed, word)) {
            ++found->wrong;
            found->lastWrongSpelling = typed;
        }
    }
    return outcomes;
}

QStringList rowsOf(const QList<WordToWorkOn> &rows)
{
    QStringList texts;
    for (const WordToWorkOn &row : rows)
        texts.append(u"%1 %2 %3 %4"_s.arg(row.word).arg(row.asked).arg(row.wrong).arg(row.lastSpelling));
    return texts;
}

const QStringList kList{u"rhythm"_s, u"until"_s, u"receive"_s, u"beginning"_s};

} // namespace

class tst_WordsToWorkOn : public QObject
{
    Q_OBJECT

private slots:
    void rule_data();
    void rule();
    void secure_data();
    void secure();
};

void tst_WordsToWorkOn::rule_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("expected"); // "Word Asked Wrong Last spelling"

    QTest::newRow("nothing answered") << QStringList() << QStringList();
    QTest::newRow("right every time") << QStringList{u"1 until until"_s, u"2 until UNTIL"_s} << QStringList();
    QTest::newRow("one miss") << QStringList{u"1 until untill"_s} << QStringList{u"until 1 1 untill"_s};
    QTest::newRow("right later in the game of the miss does not count")
        << QStringList{u"1 until untill"_s, u"1 until until"_s, u"1 until until"_s, u"2 until until"_s}
        << QStringList{u"until 4 1 untill"_s};
    QTest::newRow("two rights in one later game count once")
        << QStringList{u"1 until untill"_s, u"2 until until"_s, u"2 until until"_s}
        << QStringList{u"until 3 1 untill"_s};
    QTest::newRow("right in two later games clears")
        << QStringList{u"1 until untill"_s, u"2 until until"_s, u"3 until until"_s} << QStringList();
    QTest::newRow("later games need not be next to each other")
        << QStringList{u"1 until untill"_s, u"2 rhythm rhythm"_s, u"3 until until"_s, u"5 until until"_s}
        << QStringList();
    QTest::newRow("a miss after being cleared brings it back")
        << QStringList{u"1 until untill"_s, u"2 until until"_s, u"3 until until"_s, u"4 until untl"_s}
        << QStringList{u"until 4 2 untl"_s};
    QTest::newRow("a miss between two rights starts the count again")
        << QStringList{u"1 until untill"_s, u"2 until until"_s, u"3 until untl"_s, u"4 until until"_s}
        << QStringList{u"until 4 2 untl"_s};
    QTest::newRow("the last wrong spelling of the last game with a miss")
        << QStringList{u"1 until untl"_s, u"2 until untill"_s, u"2 until until"_s}
        << QStringList{u"until 3 2 untill"_s};
    QTest::newRow("most often missed first")
        << QStringList{u"1 rhythm rythm"_s,    u"1 until untill"_s, u"2 until untl"_s,
                       u"2 receive recieve"_s, u"3 until untll"_s,  u"3 receive receve"_s}
        << QStringList{u"until 3 3 untll"_s, u"receive 2 2 receve"_s, u"rhythm 1 1 rythm"_s};
    QTest::newRow("ties: the latest miss first") << QStringList{u"1 receive recieve"_s, u"2 rhythm rythm"_s}
                                                 << QStringList{u"rhythm 1 1 rythm"_s, u"receive 1 1 recieve"_s};
    QTest::newRow("ties in one game: list order") << QStringList{u"1 receive recieve"_s, u"1 rhythm rythm"_s}
                                                  << QStringList{u"rhythm 1 1 rythm"_s, u"receive 1 1 recieve"_s};
    QTest::newRow("letter case is ignored as the answer check does")
        << QStringList{u"1 UNTIL Untill"_s, u"2 Until uNTIL"_s, u"3 until until"_s, u"4 Rhythm RYTHM"_s}
        << QStringList{u"rhythm 1 1 RYTHM"_s};
    QTest::newRow("shown as the list spells it")
        << QStringList{u"1 RECEIVE RECIEVE"_s} << QStringList{u"receive 1 1 RECIEVE"_s};
    QTest::newRow("words no longer in the list are left out")
        << QStringList{u"1 necessary necesary"_s, u"1 until untill"_s} << QStringList{u"until 1 1 untill"_s};
}

void tst_WordsToWorkOn::rule()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, expected);
    QCOMPARE(rowsOf(wordsToWorkOn(outcomesOf(answers), kList)), expected);
}

void tst_WordsToWorkOn::secure_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("secure");

    QTest::newRow("nothing answered") << QStringList() << 0;
    QTest::newRow("right in one game") << QStringList{u"1 until until"_s} << 0;
    QTest::newRow("right twice in one game") << QStringList{u"1 until until"_s, u"1 until until"_s} << 0;
    QTest::newRow("right in two games, never missed") << QStringList{u"1 until until"_s, u"4 until until"_s} << 1;
    QTest::newRow("right in two games after the miss")
        << QStringList{u"1 until untill"_s, u"2 until until"_s, u"3 until until"_s} << 1;
    QTest::newRow("right in the game of the miss and one later")
        << QStringList{u"1 until untill"_s, u"1 until until"_s, u"2 until until"_s} << 0;
    QTest::newRow("missed again after being secure")
        << QStringList{u"1 until until"_s, u"2 until until"_s, u"3 until untl"_s} << 0;
    QTest::newRow("spellings the answer check sees as one word are one")
        << QStringList{u"1 UNTIL until"_s, u"2 Until until"_s} << 1;
    QTest::newRow("a word no longer in the list does not count")
        << QStringList{u"1 necessary necessary"_s, u"2 necessary necessary"_s} << 0;
    QTest::newRow("each word on its own")
        << QStringList{u"1 until untill"_s,    u"1 rhythm rhythm"_s,   u"2 until until"_s,
                       u"2 rhythm rhythm"_s,   u"3 until until"_s,     u"3 receive recieve"_s,
                       u"4 receive receive"_s, u"5 receive receive"_s, u"5 beginning begining"_s}
        << 3;
}

// A missed word is either one to work on or secure, never both.
void tst_WordsToWorkOn::secure()
{
    QFETCH(QStringList, answers);
    QFETCH(int, secure);
    const QList<WordOutcome> outcomes = outcomesOf(answers);

    QCOMPARE(wordsSecure(outcomes, kList), secure);

    QSet<QString> missed;
    for (const WordOutcome &outcome : outcomes) {
        if (outcome.wrong > 0 && kList.contains(outcome.word, Qt::CaseInsensitive))
            missed.insert(AnswerCheck::comparable(outcome.word));
    }
    QSet<QString> neverMissedSecure;
    for (const QString &word : kList) {
        const QString key = AnswerCheck::comparable(word);
        if (!missed.contains(key) && wordsSecure(outcomes, {word}) == 1)
            neverMissedSecure.insert(key);
    }
    QCOMPARE(wordsToWorkOn(outcomes, kList).size() + secure - neverMissedSecure.size(), missed.size());
}

QTEST_GUILESS_MAIN(tst_WordsToWorkOn)
#include "tst_wordstoworkon.moc"
