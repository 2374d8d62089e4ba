// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechhelper/soundstart.h"

#include <QtTest>

using Start = std::optional<qsizetype>;

class tst_SoundStart : public QObject
{
    Q_OBJECT

private slots:
    void soundStart_data();
    void soundStart();
};

namespace {

// Noise at the pause's level, just under `quiet`.
QList<qint16> hiss(qsizetype count)
{
    QList<qint16> samples(count);
    for (qsizetype i = 0; i < count; ++i)
        samples[i] = i % 2 ? 127 : -128;
    return samples;
}

} // namespace

// At 1000 samples a second a millisecond is a sample: a lead-in of 20, a
// gap of 20.
void tst_SoundStart::soundStart_data()
{
    QTest::addColumn<QList<qint16>>("samples");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<Start>("expected");

    const QList<qint16> word{300, -600, 2000, -3000, 500};
    QTest::addRow("a pause before the word: cut to the lead-in") << QList<qint16>(300, 0) + word << false << Start(280);
    QTest::addRow("quiet hiss counts as the pause") << hiss(300) + word << false << Start(280);
    QTest::addRow("a lone click in the pause is not the word")
        << QList<qint16>(100, 0) + QList<qint16>{900} + QList<qint16>(199, 0) + word << false << Start(280);
    QTest::addRow("clicks closer than the gap lead into the word") << QList<qint16>(100, 0) + QList<qint16>{200}
            + QList<qint16>(19, 0) + QList<qint16>{200} + QList<qint16>(19, 0)
            + word << false << Start(80);
    QTest::addRow("a soft start growing into the word is kept")
        << QList<qint16>(100, 0) + QList<qint16>(60, 200) + word << false << Start(80);
    QTest::addRow("the lowest sample is loud") << QList<qint16>(50, 0) + QList<qint16>{-32768} << false << Start(30);
    QTest::addRow("sound within the lead-in: from the start") << QList<qint16>{0, 0, 0, 1900} << false << Start(0);
    QTest::addRow("nothing loud yet: more to come")
        << QList<qint16>(100, 0) + QList<qint16>(50, 500) << false << Start();
    QTest::addRow("a word that never grows loud: from its first sound")
        << QList<qint16>(100, 0) + QList<qint16>(50, 500) << true << Start(80);
    QTest::addRow("silence throughout: nothing to play") << QList<qint16>(64, 100) << true << Start(64);
    QTest::addRow("no samples, more to come") << QList<qint16>{} << false << Start();
    QTest::addRow("no samples at all") << QList<qint16>{} << true << Start(0);
}

void tst_SoundStart::soundStart()
{
    QFETCH(QList<qint16>, samples);
    QFETCH(bool, complete);
    QFETCH(Start, expected);

    QCOMPARE(::soundStart(std::span<const qint16>(samples.constData(), size_t(samples.size())), 1000, complete),
             expected);
}

QTEST_GUILESS_MAIN(tst_SoundStart)
#include "tst_soundstart.moc"
