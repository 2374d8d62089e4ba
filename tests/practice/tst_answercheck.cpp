// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/answercheck.h"
#include "practice/misspelling.h"
#include "practice/scoring.h"
#include "practice/wordstoworkon.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Every rule that compares words sees the same word where the answer check
// does: each runs over the one table of spellings.
class tst_AnswerCheck : public QObject
{
    Q_OBJECT

private slots:
    void shown_data();
    void shown();
    void isCorrect_data() { spellings(); }
    void isCorrect();
    void tally_data() { spellings(); }
    void tally();
    void explain_data() { spellings(); }
    void explain();
    void wordsToWorkOn_data() { spellings(); }
    void wordsToWorkOn();

private:
    static void spellings();
};

void tst_AnswerCheck::spellings()
{
    QTest::addColumn<QString>("word"); // as the list holds it
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("same");
    QTest::addRow("accent stored decomposed, typed as one character") << u"cafe\u0301"_s << u"café"_s << true;
    QTest::addRow("accent stored as one character, typed decomposed") << u"café"_s << u"cafe\u0301"_s << true;
    QTest::addRow("decomposed accent in upper case") << u"cafe\u0301"_s << u"CAFÉ"_s << true;
    QTest::addRow("two marks in either order of storing") << u"a\u0323\u0302"_s << u"\u1EAD"_s << true;
    QTest::addRow("caron that upper-casing decomposes") << u"\u01F0"_s << u"J\u030C"_s << true;
    QTest::addRow("right-to-left override in the list") << u"\u202Etac"_s << u"tac"_s << true;
    QTest::addRow("bidi isolate around the word") << u"\u2067cat\u2069"_s << u"cat"_s << true;
    QTest::addRow("zero-width space inside the word") << u"ca\u200Bt"_s << u"cat"_s << true;
    QTest::addRow("zero-width joiner and non-joiner") << u"c\u200Da\u200Ct"_s << u"cat"_s << true;
    QTest::addRow("soft hyphens") << u"syl\u00ADla\u00ADble"_s << u"syllable"_s << true;
    QTest::addRow("byte order mark before the word") << u"\uFEFFcat"_s << u"cat"_s << true;
    QTest::addRow("format character beyond the first plane") << u"cat\U000E0001"_s << u"cat"_s << true;
    QTest::addRow("invisible character typed") << u"cat"_s << u"c\u200Bat"_s << true;
    QTest::addRow("plain letters in other case") << u"Rhythm"_s << u"rHYTHM"_s << true;
    QTest::addRow("long word against a short answer") << QString(100'000, u'a') << u"aaa"_s << false;
    QTest::addRow("long word against itself in other case") << QString(100'000, u'a') << QString(100'000, u'A') << true;
    QTest::addRow("short answer with invisible characters added")
        << u"cat"_s << u"c"_s + QString(1000, QChar(0x200B)) + u"at"_s << true;
    QTest::addRow("a missing accent still counts") << u"cafe\u0301"_s << u"cafe"_s << false;
    QTest::addRow("visible letters still count") << u"ca\u200Bt"_s << u"cot"_s << false;
}

void tst_AnswerCheck::shown_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<qsizetype>("longest");
    QTest::addColumn<QString>("expected");
    QTest::addRow("plain word as it is") << u"rhythm"_s << qsizetype(-1) << u"rhythm"_s;
    QTest::addRow("decomposed accent kept as stored") << u"cafe\u0301"_s << qsizetype(-1) << u"cafe\u0301"_s;
    QTest::addRow("override left out") << u"\u202Etac"_s << qsizetype(-1) << u"tac"_s;
    QTest::addRow("zero-width and soft hyphen left out") << u"ca\u200Bt\u00AD"_s << qsizetype(-1) << u"cat"_s;
    QTest::addRow("only invisible characters") << u"\u200B\uFEFF"_s << qsizetype(-1) << QString();
    QTest::addRow("other letters beyond the first plane kept")
        << u"\U0001F44Dok\U000E0001"_s << qsizetype(-1) << u"\U0001F44Dok"_s;

    const QString thousand(1000, u'a');
    QTest::addRow("1,000 characters whole") << thousand << qsizetype(1000) << thousand;
    QTest::addRow("50,000 characters: the first 1,000 and an ellipsis")
        << thousand + QString(49'000, u'b') << qsizetype(1000) << thousand + u'\u2026';
    QTest::addRow("invisible characters do not count")
        << u"\u202E"_s + thousand + u"\u200B"_s << qsizetype(1000) << thousand;
    QTest::addRow("a character of two units at the cut is left out whole")
        << thousand.first(999) + u"\U0001F600"_s << qsizetype(1000) << thousand.first(999) + u'\u2026';
}

void tst_AnswerCheck::shown()
{
    QFETCH(QString, word);
    QFETCH(qsizetype, longest);
    QFETCH(QString, expected);
    QCOMPARE(AnswerCheck::shown(word, longest), expected);
}

void tst_AnswerCheck::isCorrect()
{
    QFETCH(QString, word);
    QFETCH(QString, typed);
    QFETCH(bool, same);
    QCOMPARE(Scoring::isCorrect(typed, word), same);
}

void tst_AnswerCheck::tally()
{
    QFETCH(QString, word);
    QFETCH(QString, typed);
    QFETCH(bool, same);
    const Scoring::Tally tally = Scoring::tally({word, word}, {typed, word});
    QCOMPARE(tally.correct, same ? 2 : 1);
    QCOMPARE(tally.wrong, same ? 0 : 1);
}

void tst_AnswerCheck::explain()
{
    QFETCH(QString, word);
    QFETCH(QString, typed);
    QFETCH(bool, same);
    const QString told = Misspelling::explain(typed, word);
    QCOMPARE(told.isEmpty(), same);
    QVERIFY2(!told.contains(u"\"\""_s), qPrintable(told));
}

void tst_AnswerCheck::wordsToWorkOn()
{
    // Missed as the history holds the word; the list spells it the other way.
    QFETCH(QString, word);
    QFETCH(QString, typed);
    QFETCH(bool, same);
    const QList<WordToWorkOn> rows = ::wordsToWorkOn({{typed, 1, 1, 1, u"x"_s}}, {u"owl"_s, word});
    QCOMPARE(rows.size(), same ? 1 : 0);
    if (same)
        QCOMPARE(rows.constFirst().word, word);
}

QTEST_GUILESS_MAIN(tst_AnswerCheck)
#include "tst_answercheck.moc"
