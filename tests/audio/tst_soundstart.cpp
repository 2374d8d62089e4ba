// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/soundstart.h"

#include <QtTest>

class tst_SoundStart : public QObject
{
    Q_OBJECT

private slots:
    void soundStart_data();
    void soundStart();
};

// At 1000 samples a second a lead-in of 10 ms is 10 samples.
void tst_SoundStart::soundStart_data()
{
    QTest::addColumn<QList<qint16>>("samples");
    QTest::addColumn<qsizetype>("expected");

    QList<qint16> pause(300, 0);
    pause += QList<qint16>{2000, -3000, 500};
    QTest::addRow("a pause before the word: cut to the lead-in") << pause << qsizetype(290);
    QList<qint16> hiss(300, 0);
    for (qsizetype i = 0; i < hiss.size(); ++i)
        hiss[i] = i % 2 ? 127 : -128;
    hiss += QList<qint16>{129};
    QTest::addRow("quiet hiss counts as the pause") << hiss << qsizetype(290);
    QList<qint16> lowest(50, 0);
    lowest += QList<qint16>{-32768};
    QTest::addRow("the lowest sample is loud") << lowest << qsizetype(40);
    QTest::addRow("sound within the lead-in: from the start") << QList<qint16>{0, 0, 0, 900} << qsizetype(0);
    QTest::addRow("sound at once") << QList<qint16>{900, 0} << qsizetype(0);
    QTest::addRow("silence throughout: nothing to play") << QList<qint16>(64, 100) << qsizetype(64);
    QTest::addRow("no samples") << QList<qint16>{} << qsizetype(0);
}

void tst_SoundStart::soundStart()
{
    QFETCH(QList<qint16>, samples);
    QFETCH(qsizetype, expected);

    QCOMPARE(::soundStart(std::span<const qint16>(samples.constData(), size_t(samples.size())), 1000), expected);
}

QTEST_GUILESS_MAIN(tst_SoundStart)
#include "tst_soundstart.moc"
