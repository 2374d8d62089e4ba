// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"
#include "practice/copyaftermiss.h"
#include "practice/schooltest.h"

#include <QRandomGenerator>
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

} // namespace

class tst_SchoolTest : public QObject
{
    Q_OBJECT

private slots:
    void eachDifferentWordOnce_data();
    void eachDifferentWordOnce();
    void orderFollowsTheRandomSource();
    void finishLine_data();
    void finishLine();
    void lastAnswersRight_data();
    void lastAnswersRight();
    void copyRule_data();
    void copyRule();
};

void tst_SchoolTest::eachDifferentWordOnce_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("words");
    QTest::addRow("six words") << u"cat\ndog\nowl\nemu\nyak\nant"_s
                               << QStringList{u"ant"_s, u"cat"_s, u"dog"_s, u"emu"_s, u"owl"_s, u"yak"_s};
    QTest::addRow("a word in several copies is asked once")
        << u"cat\ncat\ndog\ncat"_s << QStringList{u"cat"_s, u"dog"_s};
    QTest::addRow("words that differ in case are two words") << u"Cat\ncat"_s << QStringList{u"Cat"_s, u"cat"_s};
    QTest::addRow("one word") << u"cat"_s << QStringList{u"cat"_s};
    QTest::addRow("an empty list asks nothing") << QString() << QStringList();
}

void tst_SchoolTest::eachDifferentWordOnce()
{
    QFETCH(QString, list);
    QFETCH(QStringList, words);
    for (quint32 seed = 1; seed <= 20; ++seed) {
        SeededRandom random(seed);
        QStringList asked = SchoolTest::order(WordStore::fromText(list), random);
        asked.sort();
        QCOMPARE(asked, words);
    }
}

void tst_SchoolTest::orderFollowsTheRandomSource()
{
    const WordStore list = WordStore::fromText(u"a\nb\nc\nd"_s);
    // Position picks as a pass of a game makes them: 0.9 gives the fourth
    // entry, 0.0 the first, and so on.
    ScriptedRandom random({0.9, 0.0, 0.6, 0.3});
    QCOMPARE(SchoolTest::order(list, random), (QStringList{u"d"_s, u"a"_s, u"c"_s, u"b"_s}));

    QSet<QString> orders;
    for (quint32 seed = 1; seed <= 20; ++seed) {
        SeededRandom seeded(seed);
        orders.insert(SchoolTest::order(list, seeded).join(u','));
    }
    QVERIFY2(orders.size() > 5, "the order is not random");
}

void tst_SchoolTest::finishLine_data()
{
    QTest::addColumn<qint64>("right");
    QTest::addColumn<qint64>("words");
    QTest::addColumn<QString>("line");
    QTest::addRow("a full score is well done") << qint64(10) << qint64(10) << u"All 10 words right. Well done!"_s;
    QTest::addRow("one word right of one") << qint64(1) << qint64(1) << u"The word was right. Well done!"_s;
    QTest::addRow("some right") << qint64(7) << qint64(10) << u"7 of 10 words right."_s;
    QTest::addRow("none right of one") << qint64(0) << qint64(1) << u"0 of 1 word right."_s;
    QTest::addRow("a test ended before its words were answered")
        << qint64(2) << qint64(10) << u"2 of 10 words right."_s;
}

void tst_SchoolTest::finishLine()
{
    QFETCH(qint64, right);
    QFETCH(qint64, words);
    QFETCH(QString, line);
    QCOMPARE(SchoolTest::finishLine(right, words), line);
}

void tst_SchoolTest::lastAnswersRight_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<bool>("right");
    const QStringList given{u"cat"_s, u"dog"_s, u"owl"_s, u"emu"_s};
    QTest::addRow("every answer right, letter case aside")
        << given << QStringList{u"CAT"_s, u"dog"_s, u"Owl"_s, u"emu"_s} << qsizetype(4) << true;
    QTest::addRow("a miss in the pass") << given << QStringList{u"cat"_s, u"dgo"_s, u"owl"_s, u"emu"_s} << qsizetype(4)
                                        << false;
    QTest::addRow("a miss before the pass does not count")
        << given << QStringList{u"kat"_s, u"dog"_s, u"owl"_s, u"emu"_s} << qsizetype(3) << true;
    QTest::addRow("fewer answers than the pass") << given << QStringList{u"cat"_s, u"dog"_s} << qsizetype(3) << false;
    QTest::addRow("the word being asked has no answer yet")
        << given << QStringList{u"cat"_s, u"dog"_s, u"owl"_s} << qsizetype(3) << true;
}

void tst_SchoolTest::lastAnswersRight()
{
    QFETCH(QStringList, given);
    QFETCH(QStringList, typed);
    QFETCH(qsizetype, count);
    QFETCH(bool, right);
    QCOMPARE(SchoolTest::lastAnswersRight(given, typed, count), right);
}

// Each step: what the answer box holds ("type:"), or a copy entered
// ("enter:"); the stage after it, and what the step returned.
void tst_SchoolTest::copyRule_data()
{
    using Stage = CopyAfterMiss::Stage;
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<Stage>>("stages");
    QTest::addColumn<QList<bool>>("results");
    QTest::addRow("typing covers the word, a right copy ends")
        << QStringList{u"type:b"_s, u"type:be"_s, u"enter:because"_s}
        << QList<Stage>{Stage::Covered, Stage::Covered, Stage::None} << QList<bool>{true, false, true};
    QTest::addRow("an emptied box does not cover the word")
        << QStringList{u"type:"_s, u"type:b"_s} << QList<Stage>{Stage::Shown, Stage::Covered}
        << QList<bool>{false, true};
    QTest::addRow("a wrong copy shows the word again")
        << QStringList{u"type:becuase"_s, u"enter:becuase"_s, u"type:b"_s, u"enter:because"_s}
        << QList<Stage>{Stage::Covered, Stage::Shown, Stage::Covered, Stage::None}
        << QList<bool>{true, false, true, true};
    QTest::addRow("a copy is compared as answers are")
        << QStringList{u"enter:BECAUSE"_s} << QList<Stage>{Stage::None} << QList<bool>{true};
    QTest::addRow("a copy with a space more is wrong")
        << QStringList{u"enter:because "_s} << QList<Stage>{Stage::Shown} << QList<bool>{false};
}

void tst_SchoolTest::copyRule()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<CopyAfterMiss::Stage>, stages);
    QFETCH(QList<bool>, results);
    CopyAfterMiss copy;
    QVERIFY(!copy.typed(u"b"_s));
    QVERIFY(!copy.entered(u"because"_s));
    copy.missed(u"because"_s);
    QCOMPARE(copy.stage(), CopyAfterMiss::Stage::Shown);
    for (qsizetype k = 0; k < steps.size(); ++k) {
        const QString step = steps.at(k);
        const bool entering = step.startsWith(u"enter:"_s);
        const QString text = step.mid(step.indexOf(u':') + 1);
        const bool result = entering ? copy.entered(text) : copy.typed(text);
        QCOMPARE(result, results.at(k));
        QCOMPARE(copy.stage(), stages.at(k));
    }
    QCOMPARE(copy.word().isEmpty(), copy.stage() == CopyAfterMiss::Stage::None);
}

QTEST_GUILESS_MAIN(tst_SchoolTest)
#include "tst_schooltest.moc"
