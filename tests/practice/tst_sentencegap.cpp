// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/sentencegap.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Each row: a sentence and its word, the sentence as the learner sees it and
// as a screen reader reads it.
class tst_SentenceGap : public QObject
{
    Q_OBJECT

private slots:
    void gaps_data();
    void gaps();
};

void tst_SentenceGap::gaps_data()
{
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("spoken");

    QTest::addRow("the word once") << u"The cat sat."_s << u"cat"_s << u"The ______ sat."_s << u"The blank sat."_s;
    QTest::addRow("every occurrence, in any letter case")
        << u"Their dog and THEIR cat are theirs."_s << u"their"_s << u"______ dog and ______ cat are ______s."_s
        << u"blank dog and blank cat are blank s."_s;
    QTest::addRow("inside a longer word")
        << u"Birthdays are fun."_s << u"day"_s << u"Birth______s are fun."_s << u"Birth blank s are fun."_s;
    QTest::addRow("a sentence without the word")
        << u"The sun is hot."_s << u"moon"_s << u"The sun is hot."_s << u"The sun is hot."_s;
    QTest::addRow("an empty word") << u"The cat sat."_s << QString() << u"The cat sat."_s << u"The cat sat."_s;
    QTest::addRow("a word of invisible characters only")
        << u"The cat sat."_s << u"\u200B\u00AD"_s << u"The cat sat."_s << u"The cat sat."_s;
    QTest::addRow("an empty sentence") << QString() << u"cat"_s << QString() << QString();
    QTest::addRow("overlapping occurrences are one gap")
        << u"A banana."_s << u"ana"_s << u"A b______."_s << u"A b blank."_s;
    QTest::addRow("touching occurrences are one gap") << u"catcat!"_s << u"cat"_s << u"______!"_s << u"blank!"_s;
    QTest::addRow("the whole sentence") << u"Cat"_s << u"cat"_s << u"______"_s << u"blank"_s;
    QTest::addRow("sharp s in the sentence, ss in the word")
        << u"Die Straße ist lang."_s << u"strasse"_s << u"Die ______ ist lang."_s << u"Die blank ist lang."_s;
    QTest::addRow("ss in the sentence, sharp s in the word")
        << u"DIE STRASSE"_s << u"straße"_s << u"DIE ______"_s << u"DIE blank"_s;
    QTest::addRow("one s is not half of a sharp s") << u"Maß"_s << u"s"_s << u"Maß"_s << u"Maß"_s;
    QTest::addRow("accent decomposed in the sentence, composed in the word")
        << u"Un cafe\u0301 noir"_s << u"café"_s << u"Un ______ noir"_s << u"Un blank noir"_s;
    QTest::addRow("accent composed in the sentence, decomposed in the word")
        << u"Un café noir"_s << u"CAFE\u0301"_s << u"Un ______ noir"_s << u"Un blank noir"_s;
    QTest::addRow("a letter is not found in the same letter with an accent")
        << u"Un cafe\u0301 noir"_s << u"cafe"_s << u"Un cafe\u0301 noir"_s << u"Un cafe\u0301 noir"_s;
    QTest::addRow("a word before an accented letter")
        << u"cafe\u0301s"_s << u"caf"_s << u"______e\u0301s"_s << u"blank e\u0301s"_s;
    QTest::addRow("capital I with a dot is another letter than I")
        << u"İstanbul is big."_s << u"istanbul"_s << u"İstanbul is big."_s << u"İstanbul is big."_s;
    QTest::addRow("i with a combining dot is the capital I with a dot")
        << u"i\u0307stanbul is big."_s << u"İstanbul"_s << u"______ is big."_s << u"blank is big."_s;
    QTest::addRow("dotless i upper-cases to I") << u"Çok sıcak."_s << u"SICAK"_s << u"Çok ______."_s << u"Çok blank."_s;
    QTest::addRow("invisible characters inside the word in the sentence")
        << u"The ca\u200Bt sat."_s << u"cat"_s << u"The ______ sat."_s << u"The blank sat."_s;
    QTest::addRow("soft hyphen inside the word")
        << u"The cat sat."_s << u"c\u00ADat"_s << u"The ______ sat."_s << u"The blank sat."_s;
    QTest::addRow("a bidi isolate around the word stays")
        << u"Say \u2067cat\u2069 now"_s << u"cat"_s << u"Say \u2067______\u2069 now"_s
        << u"Say \u2067blank\u2069 now"_s;
    QTest::addRow("right-to-left letters") << u"הכלב רץ."_s << u"כלב"_s << u"ה______ רץ."_s << u"ה blank רץ."_s;
    QTest::addRow("letters with case beyond the first plane")
        << u"\U00010428\U00010429 go"_s << u"\U00010400\U00010401"_s << u"______ go"_s << u"blank go"_s;
    QTest::addRow("Hangul syllable stored as its letters")
        << u"\u1112\u1161\u11AB \uAD6D"_s << u"\uD55C"_s << u"______ \uAD6D"_s << u"blank \uAD6D"_s;
    QTest::addRow("markup-like text stays as written")
        << u"<b>cat</b> &amp; dog"_s << u"cat"_s << u"<b>______</b> &amp; dog"_s << u"<b>blank</b> &amp; dog"_s;

    const QString far(100'000, u'x');
    QTest::addRow("the word after 100,000 characters")
        << far + u" cat."_s << u"cat"_s << far + u" ______."_s << far + u" blank."_s;
    QTest::addRow("100,000 letters, each the start of the word")
        << QString(100'000, u'a') << QString(50'000, u'a') << u"______"_s << u"blank"_s;
}

void tst_SentenceGap::gaps()
{
    QFETCH(QString, sentence);
    QFETCH(QString, word);
    QFETCH(QString, shown);
    QFETCH(QString, spoken);
    QCOMPARE(SentenceGap::shown(sentence, word), shown);
    QCOMPARE(SentenceGap::spoken(sentence, word), spoken);
}

QTEST_GUILESS_MAIN(tst_SentenceGap)
#include "tst_sentencegap.moc"
