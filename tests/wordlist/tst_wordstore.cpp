// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlist/wordstore.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_WordStore : public QObject
{
    Q_OBJECT

private slots:
    void positions();
    void appendedWordsOutliveTheirSource();
    void sentencesPlayNoPartInTheWords();
    void sentenceOfAWord_data();
    void sentenceOfAWord();
};

void tst_WordStore::positions()
{
    const WordStore store = WordStore::fromText(u"cat\r\ndog\r\ncat\r\nCat\r\n"_s);
    QCOMPARE(store.count(), 4);
    QCOMPARE(store.distinctCount(), 3);
    QCOMPARE(store.word(1), u"cat"_s);
    QCOMPARE(store.word(4), u"Cat"_s);
    QCOMPARE(store.word(0), QString());
    QCOMPARE(store.word(5), QString());
}

void tst_WordStore::appendedWordsOutliveTheirSource()
{
    WordStore store = WordStore::fromText(u"cat"_s);
    QCOMPARE(store.distinctCount(), 1);
    {
        const QString elsewhere = u"dog cat"_s;
        store.append(QStringView(elsewhere).first(3));
        store.append(QStringView(elsewhere).last(3));
    }
    QCOMPARE(store.count(), 3);
    QCOMPARE(store.word(2), u"dog"_s);
    QCOMPARE(store.word(3), u"cat"_s);
    QCOMPARE(store.distinctCount(), 2);
}

void tst_WordStore::sentencesPlayNoPartInTheWords()
{
    const WordStore plain = WordStore::fromText(u"here\nhear\nhere\n"_s);
    WordStore store = WordStore::fromText(u"here\tCome over here.\nhear\tI hear a bird.\nhere\n"_s);
    QCOMPARE(store.count(), plain.count());
    QCOMPARE(store.distinctCount(), plain.distinctCount());
    QCOMPARE(store.nextCopy(0), 2u);
    QCOMPARE(store.sentence(1), u"Come over here."_s);
    QCOMPARE(store.sentence(3), QString());
    QCOMPARE(store.sentence(0), QString());
    QCOMPARE(store.sentence(4), QString());

    // Words and sentences from elsewhere are copied, also once the source
    // text has grown past its room.
    {
        const QString elsewhere = u"mail The mail came."_s;
        for (int i = 0; i < 100; ++i)
            store.append(QStringView(elsewhere).first(4), QStringView(elsewhere).sliced(5));
    }
    store.appendLine(u"male\t A male lion. "_s);
    QCOMPARE(store.count(), 104);
    QCOMPARE(store.word(4), u"mail"_s);
    QCOMPARE(store.sentence(103), u"The mail came."_s);
    QCOMPARE(store.word(104), u"male"_s);
    QCOMPARE(store.sentence(104), u"A male lion."_s);
    QCOMPARE(store.distinctCount(), 4);
    const WordStore copy = store;
    QCOMPARE(copy.sentence(2), u"I hear a bird."_s);
}

QTEST_GUILESS_MAIN(tst_WordStore)
#include "tst_wordstore.moc"

void tst_WordStore::sentenceOfAWord_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("sentence");
    QTest::addRow("a word with its sentence") << u"cat\tA cat sat.\ndog\tA dog ran."_s << u"dog"_s << u"A dog ran."_s;
    QTest::addRow("a word without one in a list with sentences") << u"cat\tA cat sat.\ndog"_s << u"dog"_s << QString();
    QTest::addRow("a word not in the list") << u"cat\tA cat sat."_s << u"owl"_s << QString();
    QTest::addRow("words are told apart exactly") << u"cat\tA cat sat."_s << u"Cat"_s << QString();
    QTest::addRow("a list without sentences") << u"cat\ndog"_s << u"cat"_s << QString();
    // The copies of a word are linked in another order than the list's.
    QTest::addRow("copies: the first line that gives one")
        << u"bow\nbow\tTake a bow.\nbow\tA bow and arrow."_s << u"bow"_s << u"Take a bow."_s;
}

void tst_WordStore::sentenceOfAWord()
{
    QFETCH(QString, list);
    QFETCH(QString, word);
    QFETCH(QString, sentence);
    const WordStore store = WordStore::fromText(list);

    QCOMPARE(store.sentenceOf(word).toString(), sentence);
}
