// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechhelper/flitespeech.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Sound
{
    QList<qint16> samples;
    QSet<int> rates;
};

Sound said(qsizetype voice, const QString &text)
{
    Sound sound;
    const bool made = FliteSpeech::synthesise(voice, text, 1.2, [&](std::span<const qint16> piece, int rate) {
        sound.samples.append(QList<qint16>(piece.begin(), piece.end()));
        sound.rates.insert(rate);
    });
    if (!made)
        sound.samples.clear();
    return sound;
}

} // namespace

class tst_FliteSpeech : public QObject
{
    Q_OBJECT

private slots:
    void repeatedWordSoundsTheSame_data();
    void repeatedWordSoundsTheSame();
};

void tst_FliteSpeech::repeatedWordSoundsTheSame_data()
{
    QTest::addColumn<qsizetype>("voice");
    QTest::addColumn<int>("rate");

    const QList<ListedVoice> voices = FliteSpeech::voices();
    for (qsizetype i = 0; i < voices.size(); ++i)
        QTest::addRow("%s", qPrintable(voices[i].name)) << i << (voices[i].name == u"kal"_s ? 8000 : 16000);
}

// Unvoiced sounds are made of noise; a learner who asks for the word again
// hears the word as before, whatever was said in between.
void tst_FliteSpeech::repeatedWordSoundsTheSame()
{
    QFETCH(qsizetype, voice);
    QFETCH(int, rate);

    const Sound first = said(voice, u"rice"_s);
    QVERIFY(first.samples.size() > rate / 10);
    QCOMPARE(first.rates, QSet<int>{rate});
    QVERIFY(!said(voice, u"sheep"_s).samples.isEmpty());
    QCOMPARE(said(voice, u"rice"_s).samples, first.samples);
}

QTEST_GUILESS_MAIN(tst_FliteSpeech)
#include "tst_flitespeech.moc"
