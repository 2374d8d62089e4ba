// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/misspelling.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Misspelling::Change;
using Misspelling::Edit;

class tst_Misspelling : public QObject
{
    Q_OBJECT

private slots:
    void explain_data();
    void explain();
    void edits_data();
    void edits();
    void letters_data();
    void letters();
    void farTooLongIsADifferentWord();
    void wordsTooLongToCount_data();
    void wordsTooLongToCount();
};

void tst_Misspelling::explain_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");

    QTest::addRow("missing letter") << u"rythm"_s << u"rhythm"_s << u"missing \"h\""_s;
    QTest::addRow("missing doubled letter") << u"begining"_s << u"beginning"_s << u"missing \"n\""_s;
    QTest::addRow("extra letter") << u"untill"_s << u"until"_s << u"extra \"l\""_s;
    QTest::addRow("letter instead of another") << u"definately"_s << u"definitely"_s << u"\"a\" instead of \"i\""_s;
    QTest::addRow("swap is one chunk") << u"recieve"_s << u"receive"_s << u"\"ie\" instead of \"ei\""_s;
    QTest::addRow("swap at the end") << u"angle"_s << u"angel"_s << u"\"le\" instead of \"el\""_s;
    QTest::addRow("swap at the start") << u"hte"_s << u"the"_s << u"\"ht\" instead of \"th\""_s;

    QTest::addRow("two chunks in word order")
        << u"acomodation"_s << u"accommodation"_s << u"missing \"c\", missing \"m\""_s;
    QTest::addRow("neighbouring missing letters") << u"enviment"_s << u"environment"_s << u"missing \"ron\""_s;
    QTest::addRow("neighbouring extra letters") << u"untilll"_s << u"until"_s << u"extra \"ll\""_s;
    QTest::addRow("letters instead of others, apart")
        << u"seperete"_s << u"separate"_s << u"\"e\" instead of \"a\", \"e\" instead of \"a\""_s;
    QTest::addRow("neighbouring letters instead of others")
        << u"sercle"_s << u"circle"_s << u"\"se\" instead of \"ci\""_s;
    QTest::addRow("mixed chunk tells both sides") << u"fysics"_s << u"physics"_s << u"\"f\" instead of \"ph\""_s;
    QTest::addRow("long mixed chunk") << u"elefent"_s << u"elephant"_s << u"\"fe\" instead of \"pha\""_s;
    QTest::addRow("neighbouring swaps are one chunk") << u"tehri"_s << u"their"_s << u"\"ehri\" instead of \"heir\""_s;

    // Ties: a doubled letter missing or extra before a run of letters in place
    // of others.
    QTest::addRow("tie: doubled letters over two changed")
        << u"ocassion"_s << u"occasion"_s << u"missing \"c\", extra \"s\""_s;
    QTest::addRow("tie: missing and extra doubled") << u"alott"_s << u"allot"_s << u"missing \"l\", extra \"t\""_s;
    QTest::addRow("tie: doubled letters in a long word")
        << u"embarasssment"_s << u"embarrassment"_s << u"missing \"r\", extra \"s\""_s;

    QTest::addRow("case is ignored") << u"RYTHM"_s << u"rhythm"_s << u"missing \"h\""_s;
    QTest::addRow("the word's own case is shown") << u"paris"_s << u"Parris"_s << u"missing \"r\""_s;
    QTest::addRow("typed text as typed") << u"UNTILL"_s << u"until"_s << u"extra \"L\""_s;
    QTest::addRow("only case differs") << u"Necessary"_s << u"necessary"_s << QString();
    QTest::addRow("accent missing") << u"cafe"_s << u"café"_s << u"\"e\" instead of \"é\""_s;
    QTest::addRow("accent typed decomposed") << u"cafe\u0301"_s << u"café"_s << QString();
    QTest::addRow("accented letter missing") << u"nave"_s << u"naïve"_s << u"missing \"ï\""_s;
    QTest::addRow("accented capital ignores case") << u"ÉCOLE"_s << u"école"_s << QString();
    QTest::addRow("dotless i is upper-case I") << u"\u0131nch"_s << u"INCH"_s << QString();
    QTest::addRow("long s is upper-case S") << u"ca\u017Fe"_s << u"case"_s << QString();
    QTest::addRow("sharp s for s") << u"strase"_s << u"straße"_s << u"\"s\" instead of \"ß\""_s;
    QTest::addRow("word stored decomposed, typed wrong") << u"cafi"_s << u"cafe\u0301"_s << u"\"i\" instead of \"é\""_s;
    QTest::addRow("invisible characters are not told") << u"ta"_s << u"\u202Etac"_s << u"missing \"c\""_s;
    QTest::addRow("letters beside an invisible character are told alone")
        << u"cet"_s << u"c\u200Ba\u200Dt"_s << u"\"e\" instead of \"a\""_s;
    QTest::addRow("emoji with skin tone is one letter")
        << u"ok\U0001F44D"_s << u"ok\U0001F44D\U0001F3FD"_s << u"\"\U0001F44D\" instead of \"\U0001F44D\U0001F3FD\""_s;

    QTest::addRow("identical") << u"necessary"_s << u"necessary"_s << QString();
    QTest::addRow("both empty") << QString() << QString() << QString();
    QTest::addRow("empty answer") << QString() << u"cat"_s << u"a different word"_s;
    QTest::addRow("answer for an empty word") << u"x"_s << QString() << u"a different word"_s;
    QTest::addRow("a different word") << u"dog"_s << u"cat"_s << u"a different word"_s;
    QTest::addRow("half changed is still told") << u"cxxt"_s << u"cant"_s << u"\"xx\" instead of \"an\""_s;
    QTest::addRow("more than half changed") << u"cxxx"_s << u"cant"_s << u"a different word"_s;
    QTest::addRow("far too long") << u"catastrophe"_s << u"cat"_s << u"a different word"_s;
    QTest::addRow("spaces count") << u"necessary "_s << u"necessary"_s << u"extra \" \""_s;
    QTest::addRow("quote in the answer") << u"it\"s"_s << u"it's"_s << u"\"\"\" instead of \"'\""_s;
}

void tst_Misspelling::explain()
{
    QFETCH(QString, typed);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(Misspelling::explain(typed, word), expected);
}

void tst_Misspelling::edits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QList<Edit>>("expected");

    QTest::addRow("missing") << u"rythm"_s << u"rhythm"_s << QList<Edit>{{Change::Missing, 1, 1, {}, u"h"_s}};
    QTest::addRow("extra") << u"untill"_s << u"until"_s << QList<Edit>{{Change::Extra, 5, 5, u"l"_s, {}}};
    QTest::addRow("instead") << u"definately"_s << u"definitely"_s
                             << QList<Edit>{{Change::Instead, 5, 5, u"a"_s, u"i"_s}};
    QTest::addRow("swapped") << u"recieve"_s << u"receive"_s << QList<Edit>{{Change::Swapped, 3, 3, u"ie"_s, u"ei"_s}};
    QTest::addRow("same letters swapped are not a swap") << u"aab"_s << u"aab"_s << QList<Edit>{};
    QTest::addRow("letters of the word as the word spells them")
        << u"CAFE"_s << u"café"_s << QList<Edit>{{Change::Instead, 3, 3, u"E"_s, u"é"_s}};
    QTest::addRow("in word order") << u"xbcy"_s << u"abcd"_s
                                   << QList<Edit>{{Change::Instead, 0, 0, u"x"_s, u"a"_s},
                                                  {Change::Instead, 3, 3, u"y"_s, u"d"_s}};
    QTest::addRow("all missing") << QString() << u"ab"_s
                                 << QList<Edit>{{Change::Missing, 0, 0, {}, u"a"_s},
                                                {Change::Missing, 0, 1, {}, u"b"_s}};
}

void tst_Misspelling::edits()
{
    QFETCH(QString, typed);
    QFETCH(QString, word);
    QFETCH(QList<Edit>, expected);
    const QList<Edit> edits = Misspelling::align(typed, word);
    QCOMPARE(edits.size(), expected.size());
    for (qsizetype k = 0; k < edits.size(); ++k) {
        QCOMPARE(int(edits[k].change), int(expected[k].change));
        QCOMPARE(edits[k].typedAt, expected[k].typedAt);
        QCOMPARE(edits[k].wordAt, expected[k].wordAt);
        QCOMPARE(edits[k].typed, expected[k].typed);
        QCOMPARE(edits[k].word, expected[k].word);
    }
}

void tst_Misspelling::letters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("plain") << u"cat"_s << QStringList{u"c"_s, u"a"_s, u"t"_s};
    QTest::addRow("decomposed accent composes") << u"e\u0301t\u00e9"_s << QStringList{u"é"_s, u"t"_s, u"é"_s};
    QTest::addRow("letter with two marks") << u"a\u0323\u0302"_s << QStringList{u"\u1EAD"_s};
    QTest::addRow("flag is one letter") << u"\U0001F1EC\U0001F1E7x"_s << QStringList{u"\U0001F1EC\U0001F1E7"_s, u"x"_s};
    QTest::addRow("invisible characters are no letters")
        << u"\uFEFFc\u200Da\u00ADt\u202E"_s << QStringList{u"c"_s, u"a"_s, u"t"_s};
    QTest::addRow("CR LF is one letter") << u"a\r\n"_s << QStringList{u"a"_s, u"\r\n"_s};
    QTest::addRow("empty") << QString() << QStringList();
}

void tst_Misspelling::letters()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(Misspelling::letters(text), expected);
}

void tst_Misspelling::farTooLongIsADifferentWord()
{
    // Lengths alone tell it, however long the texts are.
    const QString word(Misspelling::kLongestAligned * 3, u'a');
    QCOMPARE(Misspelling::explain(QString(Misspelling::kLongestAligned, u'a'), word), u"a different word"_s);
    QCOMPARE(Misspelling::explain(word + u'b', word), QString());
    QVERIFY(Misspelling::align(word + u'b', word).isEmpty());
}

void tst_Misspelling::wordsTooLongToCount_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");
    const QString longest(Misspelling::kLongestCounted, u'a');
    QTest::addRow("near answer to the longest word counted")
        << longest.first(Misspelling::kLongestCounted - 1) + u'b' << longest << QString();
    QTest::addRow("near answer to a word too long to count")
        << longest + u"ab"_s << longest + u'a' << u"a different word"_s;
    QTest::addRow("short answer to a longer word") << u"aaa"_s << longest + u'a' << u"a different word"_s;
    QTest::addRow("long answer to a short word") << longest + u'a' << u"aaa"_s << u"a different word"_s;
}

// Letters beyond the longest counted are never noted one by one, also when
// the lengths alone would not tell.
void tst_Misspelling::wordsTooLongToCount()
{
    QFETCH(QString, typed);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(Misspelling::explain(typed, word), expected);
}

QTEST_GUILESS_MAIN(tst_Misspelling)
#include "tst_misspelling.moc"
