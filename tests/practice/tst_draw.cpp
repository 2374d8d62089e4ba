// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"
#include "practice/draw.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class SeededRandom : public RandomSource
{
public:
    explicit SeededRandom(quint32 seed) : m_generator(seed) { }
    double next() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator;
};

WordStore storeOf(const QStringList &words)
{
    return WordStore::fromText(words.join(u'\n'));
}

QStringList repeated(const QString &word, int copies)
{
    return QStringList(copies, word);
}

// Counts the numbers it hands out.
class CountingRandom : public RandomSource
{
public:
    explicit CountingRandom(quint32 seed) : m_generator(seed) { }
    double next() override
    {
        ++taken;
        return m_generator.generateDouble();
    }
    int taken = 0;

private:
    QRandomGenerator m_generator;
};

} // namespace

class tst_Draw : public QObject
{
    Q_OBJECT

private slots:
    void passes_data();
    void passes();
    void followsThePlainRuleForAGivenSeries();
    void stuckSourceDoesNotHang();
    void emptyStore_data();
    void emptyStore();
    void newStoreStartsANewPass();
    void clearStartsANewPass();
    void firstWordOfAPass_data();
    void firstWordOfAPass();
    void remainingWordsAfterABigOne();
    void firstWords_data();
    void firstWords();
    void firstWordsInRandomOrder();
    void noFirstWordsDrawsAsBefore_data();
    void noFirstWordsDrawsAsBefore();
};

// Every pass gives each different word once; the pass record counts the
// words of the pass so far.
void tst_Draw::passes_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("distinct");

    const QStringList ten{u"one"_s, u"two"_s,   u"three"_s, u"four"_s, u"five"_s,
                          u"six"_s, u"seven"_s, u"eight"_s, u"nine"_s, u"ten"_s};
    QTest::addRow("ten words") << ten << ten;
    QTest::addRow("repeated word") << QStringList{u"cat"_s, u"dog"_s, u"cat"_s} << QStringList{u"cat"_s, u"dog"_s};
    QTest::addRow("Cat and cat are two words") << QStringList{u"Cat"_s, u"cat"_s} << QStringList{u"Cat"_s, u"cat"_s};
    QTest::addRow("one word") << QStringList{u"solo"_s} << QStringList{u"solo"_s};
    QTest::addRow("one word, many copies") << repeated(u"solo"_s, 500) << QStringList{u"solo"_s};
    QTest::addRow("many copies of one of three")
        << repeated(u"often"_s, 300) + QStringList{u"rare"_s, u"seldom"_s, u"seldom"_s}
        << QStringList{u"often"_s, u"rare"_s, u"seldom"_s};
}

void tst_Draw::passes()
{
    QFETCH(QStringList, list);
    QFETCH(QStringList, distinct);
    const WordStore store = storeOf(list);
    PassRecord pass;
    SeededRandom random(7);
    for (int round = 0; round < 5; ++round) {
        QStringList drawn;
        for (qsizetype i = 0; i < distinct.size(); ++i) {
            drawn.append(drawWord(store, pass, random));
            QCOMPARE(pass.count(), i + 1);
        }
        drawn.sort();
        QStringList expected = distinct;
        expected.sort();
        QCOMPARE(drawn, expected);
    }
}

// While a try hits an unused word the draw takes the position
// int(r * count) + 1, and a used word costs one number.
void tst_Draw::followsThePlainRuleForAGivenSeries()
{
    const WordStore store = WordStore::fromText(u"one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine\nten"_s);
    PassRecord pass;
    ScriptedRandom random({0.0, 0.0, 0.95, 0.55, 0.1});
    QStringList drawn;
    for (int i = 0; i < 4; ++i)
        drawn.append(drawWord(store, pass, random));
    QCOMPARE(drawn, (QStringList{u"one"_s, u"ten"_s, u"six"_s, u"two"_s}));
}

void tst_Draw::stuckSourceDoesNotHang()
{
    const WordStore store = WordStore::fromText(u"one\ntwo\nthree\nfour\nfive"_s);
    PassRecord pass;
    ScriptedRandom random({0.0});
    QSet<QString> drawn;
    for (int i = 0; i < 5; ++i)
        drawn.insert(drawWord(store, pass, random));
    QCOMPARE(drawn.size(), 5);
}

void tst_Draw::emptyStore_data()
{
    QTest::addColumn<QString>("made");
    QTest::addRow("only line ends") << u"only line ends"_s;
    QTest::addRow("moved from") << u"moved from"_s;
}

void tst_Draw::emptyStore()
{
    QFETCH(QString, made);
    WordStore store = WordStore::fromText(u"\r\n\r\n"_s);
    PassRecord pass;
    ScriptedRandom random({0.5});
    if (made == u"moved from") {
        store = WordStore::fromText(u"cat\ndog"_s);
        QCOMPARE(drawWord(store, pass, random), u"dog"_s);
        const WordStore taken = std::move(store);
        QCOMPARE(taken.count(), 2);
        pass.clear();
    }
    QCOMPARE(drawWord(store, pass, random), QString());
    QCOMPARE(pass.count(), 0);
    QCOMPARE(store.count(), 0);
    QCOMPARE(store.distinctCount(), 0);
}

void tst_Draw::newStoreStartsANewPass()
{
    PassRecord pass;
    ScriptedRandom random({0.0});
    const WordStore first = WordStore::fromText(u"cat\ndog"_s);
    QCOMPARE(drawWord(first, pass, random), u"cat"_s);
    const WordStore second = WordStore::fromText(u"cat\nemu"_s);
    QCOMPARE(drawWord(second, pass, random), u"cat"_s);
    QCOMPARE(pass.count(), 1);
}

void tst_Draw::clearStartsANewPass()
{
    const WordStore store = WordStore::fromText(u"cat\ndog"_s);
    PassRecord pass;
    ScriptedRandom random({0.0});
    QCOMPARE(drawWord(store, pass, random), u"cat"_s);
    pass.clear();
    QCOMPARE(pass.count(), 0);
    QCOMPARE(drawWord(store, pass, random), u"cat"_s);
}

// The first word of a pass comes with the share of the entries its copies
// hold.
void tst_Draw::firstWordOfAPass_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("word");
    QTest::addColumn<double>("share");

    const QStringList list = repeated(u"a"_s, 1) + repeated(u"b"_s, 2) + repeated(u"c"_s, 3);
    QTest::addRow("one copy of six") << list << u"a"_s << 1.0 / 6;
    QTest::addRow("two copies of six") << list << u"b"_s << 2.0 / 6;
    QTest::addRow("three copies of six") << list << u"c"_s << 3.0 / 6;
}

void tst_Draw::firstWordOfAPass()
{
    QFETCH(QStringList, list);
    QFETCH(QString, word);
    QFETCH(double, share);
    const WordStore store = storeOf(list);
    PassRecord pass;
    SeededRandom random(12345);
    const int passes = 6000;
    int first = 0;
    for (int i = 0; i < passes; ++i) {
        first += drawWord(store, pass, random) == word;
        drawWord(store, pass, random);
        drawWord(store, pass, random);
    }
    QVERIFY2(qAbs(double(first) / passes - share) < 0.03, qPrintable(QString::number(first)));
}

// After the word that holds nearly every entry, the draw rarely hits with a
// position and mostly picks among the remaining entries directly; that pick
// must still follow the copies.
void tst_Draw::remainingWordsAfterABigOne()
{
    const WordStore store = storeOf(repeated(u"big"_s, 2000) + QStringList{u"one"_s, u"two"_s, u"two"_s});
    PassRecord pass;
    SeededRandom random(99);
    int afterBig = 0;
    int two = 0;
    for (int i = 0; i < 3000; ++i) {
        const QString first = drawWord(store, pass, random);
        const QString second = drawWord(store, pass, random);
        drawWord(store, pass, random);
        if (first == u"big") {
            ++afterBig;
            two += second == u"two";
        }
    }
    QVERIFY(afterBig > 2900);
    QVERIFY2(qAbs(double(two) / afterBig - 2.0 / 3) < 0.05, qPrintable(QString::number(two)));
}

// Each pass gives the words asked first that the list holds, then the others;
// every word once per pass.
void tst_Draw::firstWords_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("expectedFirst");

    const QStringList ten{u"one"_s, u"two"_s,   u"three"_s, u"four"_s, u"five"_s,
                          u"six"_s, u"seven"_s, u"eight"_s, u"nine"_s, u"ten"_s};
    QTest::addRow("two of ten") << ten << QStringList{u"nine"_s, u"three"_s} << QStringList{u"nine"_s, u"three"_s};
    QTest::addRow("one of ten") << ten << QStringList{u"ten"_s} << QStringList{u"ten"_s};
    QTest::addRow("all of them") << ten << ten << ten;
    QTest::addRow("words not in the list are left out")
        << ten << QStringList{u"eleven"_s, u"two"_s} << QStringList{u"two"_s};
    QTest::addRow("letter case counts") << QStringList{u"Cat"_s, u"cat"_s, u"dog"_s} << QStringList{u"cat"_s}
                                        << QStringList{u"cat"_s};
    QTest::addRow("a word asked first in many copies") << repeated(u"often"_s, 50) + QStringList{u"rare"_s, u"seldom"_s}
                                                       << QStringList{u"rare"_s} << QStringList{u"rare"_s};
    QTest::addRow("others in many copies")
        << repeated(u"often"_s, 50) + QStringList{u"rare"_s, u"seldom"_s, u"seldom"_s}
        << QStringList{u"seldom"_s, u"rare"_s} << QStringList{u"rare"_s, u"seldom"_s};
}

void tst_Draw::firstWords()
{
    QFETCH(QStringList, list);
    QFETCH(QStringList, first);
    QFETCH(QStringList, expectedFirst);
    const WordStore store = storeOf(list);
    const QSet<QString> firstWords(first.cbegin(), first.cend());
    QStringList distinct = QStringList(QSet<QString>(list.cbegin(), list.cend()).values());
    distinct.sort();
    expectedFirst.sort();
    PassRecord pass;
    SeededRandom random(11);
    for (int round = 0; round < 6; ++round) {
        QStringList drawn;
        for (qsizetype i = 0; i < distinct.size(); ++i) {
            drawn.append(drawWord(store, pass, random, firstWords));
            QCOMPARE(pass.count(), i + 1);
        }
        QStringList firstOnes = drawn.first(expectedFirst.size());
        firstOnes.sort();
        QCOMPARE(firstOnes, expectedFirst);
        drawn.sort();
        QCOMPARE(drawn, distinct);
    }
}

// Among themselves, and among the others, the order changes with the numbers.
void tst_Draw::firstWordsInRandomOrder()
{
    const WordStore store = WordStore::fromText(u"a\nb\nc\nd\ne"_s);
    const QSet<QString> firstWords{u"b"_s, u"d"_s, u"e"_s};
    QSet<QString> firstOrders;
    QSet<QString> otherOrders;
    SeededRandom random(3);
    PassRecord pass;
    for (int round = 0; round < 60; ++round) {
        QString order;
        for (int i = 0; i < 5; ++i)
            order += drawWord(store, pass, random, firstWords);
        firstOrders.insert(order.first(3));
        otherOrders.insert(order.sliced(3));
    }
    QCOMPARE(firstOrders.size(), 6);
    QCOMPARE(otherOrders, (QSet<QString>{u"ac"_s, u"ca"_s}));

    // A scripted series: the pick among the remaining words asked first is
    // int(r * remaining); then the plain rule over the whole list.
    ScriptedRandom scripted({0.9, 0.0, 0.0, 0.0, 0.5});
    PassRecord scriptedPass;
    QStringList drawn;
    for (int i = 0; i < 5; ++i)
        drawn.append(drawWord(store, scriptedPass, scripted, firstWords));
    QCOMPARE(drawn, (QStringList{u"e"_s, u"b"_s, u"d"_s, u"a"_s, u"c"_s}));
}

// With no word asked first, or none of them in the list, the draw takes the
// same numbers and gives the same words as without.
void tst_Draw::noFirstWordsDrawsAsBefore_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addRow("none") << QStringList();
    QTest::addRow("none in the list") << QStringList{u"eleven"_s, u"ONE"_s};
}

void tst_Draw::noFirstWordsDrawsAsBefore()
{
    QFETCH(QStringList, first);
    const QSet<QString> firstWords(first.cbegin(), first.cend());
    const WordStore store = storeOf(repeated(u"often"_s, 20)
                                    + QStringList{u"one"_s, u"two"_s, u"three"_s, u"four"_s, u"five"_s, u"one"_s});
    CountingRandom plainRandom(5);
    CountingRandom withRandom(5);
    PassRecord plainPass;
    PassRecord withPass;
    for (int i = 0; i < 40; ++i) {
        QCOMPARE(drawWord(store, withPass, withRandom, firstWords), drawWord(store, plainPass, plainRandom));
        QCOMPARE(withRandom.taken, plainRandom.taken);
        QCOMPARE(withPass.count(), plainPass.count());
    }
}

QTEST_GUILESS_MAIN(tst_Draw)
#include "tst_draw.moc"
