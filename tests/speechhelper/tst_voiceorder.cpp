// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechhelper/voiceorder.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QList<QLocale> locales(const QStringList &names)
{
    QList<QLocale> result;
    for (const QString &name : names)
        result.append(QLocale(name));
    return result;
}

// "en_US/Alice" entries; "C/Klingon" for voices under the C locale.
QList<ListedVoice> listed(const QStringList &entries)
{
    QList<ListedVoice> result;
    for (const QString &entry : entries) {
        const QStringList parts = entry.split(u'/');
        result.append({QLocale(parts[0]), parts[1]});
    }
    return result;
}

} // namespace

class tst_VoiceOrder : public QObject
{
    Q_OBJECT

private slots:
    void userLocale_data();
    void userLocale();
    void arrange_data();
    void arrange();
    void displayName_data();
    void displayName();
    void durationStretch_data();
    void durationStretch();
    void engineRate_data();
    void engineRate();
};

void tst_VoiceOrder::userLocale_data()
{
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("expected"); // empty: none

    const QStringList espeakLike{u"de_DE"_s, u"en_GB"_s, u"C"_s, u"en_US"_s, u"fr_CH"_s, u"fr_FR"_s};
    QTest::addRow("same language and territory") << espeakLike << u"en_GB"_s << u"en_GB"_s;
    QTest::addRow("C desktop hears US English") << espeakLike << u"C"_s << u"en_US"_s;
    QTest::addRow("POSIX desktop hears US English") << espeakLike << u"POSIX"_s << u"en_US"_s;
    QTest::addRow("C desktop, no English voice") << QStringList{u"de_DE"_s, u"C"_s} << u"C"_s << QString();
    QTest::addRow("territory missing: language's main territory") << espeakLike << u"en_AU"_s << u"en_US"_s;
    QTest::addRow("main territory missing: first by name")
        << QStringList{u"en_IE"_s, u"en_GB"_s} << u"en_AU"_s << u"en_GB"_s;
    QTest::addRow("French in Canada gets France") << espeakLike << u"fr_CA"_s << u"fr_FR"_s;
    QTest::addRow("language not offered") << espeakLike << u"ja_JP"_s << QString();
    QTest::addRow("engine with no locales") << QStringList{} << u"en_US"_s << QString();
}

void tst_VoiceOrder::userLocale()
{
    QFETCH(QStringList, available);
    QFETCH(QString, system);
    QFETCH(QString, expected);

    const auto chosen = VoiceOrder::userLocale(locales(available), QLocale(system));

    QCOMPARE(chosen.has_value(), !expected.isEmpty());
    if (chosen)
        QCOMPARE(chosen->name(), expected);
}

// Voices as Qt's speech-dispatcher engine lists them on Debian 12 with
// espeak-ng and speech-dispatcher's flite module (a few of 13,363, in the
// engine's order).
const QStringList speechDispatcher{
    u"kk_KZ/Kazakh"_s,
    u"en_GB/English (Great Britain)"_s,
    u"en_GB/English (Scotland)"_s,
    u"en_GB/English (Great Britain)+Adam"_s,
    u"en_US/kal16"_s,
    u"en_US/English (Caribbean)"_s,
    u"en_US/English (Caribbean)+Adam"_s,
    u"en_US/English (America)"_s,
    u"en_US/English (America, New York City)"_s,
    u"en_US/English (America)+Adam"_s,
    u"C/Bishnupriya Manipuri"_s,
    u"de_DE/German"_s,
    u"de_DE/German+Adam"_s,
};
// The same with espeak-ng alone, as before the flite module is installed.
const QStringList espeakOnly{
    u"en_GB/English (Great Britain)"_s, u"en_GB/English (Scotland)"_s, u"en_US/English (Caribbean)"_s,
    u"en_US/English (America)"_s,       u"C/Bishnupriya Manipuri"_s,
};
// With the flite voices of the generic module that an administrator may add.
const QStringList withGeneric{
    u"en_US/kal16"_s, u"en_US/rms"_s, u"en_US/awb"_s, u"en_GB/English (Great Britain)"_s, u"en_US/English (America)"_s,
};
// The speech helper's built-in flite voices and speech-dispatcher's others.
const QStringList withBuiltIn
    = QStringList{u"en_GB/awb"_s, u"en_US/rms"_s, u"en_US/slt"_s, u"en_US/kal16"_s, u"en_US/kal"_s}
    + QStringList(speechDispatcher).filter(QRegularExpression(u"^(?!en_US/kal16$)"_s));
// Qt's own flite engine.
const QStringList fliteEngine{u"en_US/slt"_s, u"en_US/rms"_s, u"en_US/kal16"_s, u"en_US/kal"_s, u"en_US/awb"_s};

void tst_VoiceOrder::arrange_data()
{
    QTest::addColumn<QStringList>("voices");
    QTest::addColumn<qsizetype>("preferred");
    QTest::addColumn<QString>("learner");
    QTest::addColumn<bool>("byClarity");
    QTest::addColumn<QList<qsizetype>>("expected");

    // The engine's default voice for en_US is kal16 (position 4).
    const QList<qsizetype> speechDispatcherInEnglish{4, 7, 9, 1, 3, 2, 8, 5, 6, 10, 11, 12, 0};
    QTest::addRow("speech-dispatcher, US English")
        << speechDispatcher << qsizetype(4) << u"en_US"_s << true << speechDispatcherInEnglish;
    QTest::addRow("speech-dispatcher, British English: the same")
        << speechDispatcher << qsizetype(1) << u"en_GB"_s << true << speechDispatcherInEnglish;
    // The engine starts with its first voice, listed under C.
    QTest::addRow("speech-dispatcher, C locale counts as English")
        << speechDispatcher << qsizetype(10) << u"C"_s << true << speechDispatcherInEnglish;
    QTest::addRow("speech-dispatcher, POSIX locale counts as English")
        << speechDispatcher << qsizetype(10) << u"POSIX"_s << true << speechDispatcherInEnglish;
    QTest::addRow("speech-dispatcher, German: the engine's default leads")
        << speechDispatcher << qsizetype(11) << u"de_DE"_s << true
        << QList<qsizetype>{11, 12, 10, 1, 3, 2, 7, 9, 8, 5, 6, 4, 0};
    QTest::addRow("espeak-ng alone: en-us first, en-029 last")
        << espeakOnly << qsizetype(2) << u"en_US"_s << true << QList<qsizetype>{3, 0, 1, 2, 4};
    // awb was clearer than rms by more than a tie, whatever the accent.
    for (const QString &learner : {u"en_US"_s, u"en_GB"_s, u"en_AU"_s, u"C"_s}) {
        QTest::addRow("generic module, %s: awb, rms, kal16", qPrintable(learner))
            << withGeneric << qsizetype(0) << learner << true << QList<qsizetype>{2, 1, 0, 4, 3};
    }
    QTest::addRow("Qt's flite engine ranked as measured")
        << fliteEngine << qsizetype(4) << u"en_US"_s << true << QList<qsizetype>{4, 1, 2, 0, 3};
    // The helper's own flite voices, then speech-dispatcher's without the
    // kal16 they stand in for; the engine's default kal16 is gone with it.
    const QList<qsizetype> builtInFirst{0, 1, 3, 2, 4, 11, 13, 6, 8, 7, 12, 9, 10, 14, 15, 16, 5};
    for (const QString &learner : {u"en_US"_s, u"en_GB"_s, u"C"_s}) {
        QTest::addRow("built-in flite and speech-dispatcher, %s", qPrintable(learner))
            << withBuiltIn << qsizetype(-1) << learner << true << builtInFirst;
    }
    QTest::addRow("built-in flite and speech-dispatcher, German: English grouped as any other language")
        << withBuiltIn << qsizetype(15) << u"de_DE"_s << true
        << QList<qsizetype>{15, 16, 14, 6, 8, 7, 0, 11, 13, 12, 9, 10, 4, 3, 1, 2, 5};
    QTest::addRow("Qt's flite engine unranked: its default awb first")
        << fliteEngine << qsizetype(4) << u"en_US"_s << false << QList<qsizetype>{4, 3, 2, 1, 0};
    QTest::addRow("unranked speech-dispatcher: the engine's default, then by territory and name")
        << espeakOnly << qsizetype(2) << u"en_US"_s << false << QList<qsizetype>{2, 0, 1, 3, 4};
    QTest::addRow("no English voice: the engine's default language leads")
        << QStringList{u"fr_FR/French (France)"_s, u"kk_KZ/Kazakh"_s, u"de_DE/German"_s, u"de_DE/German+Adam"_s}
        << qsizetype(2) << u"de_DE"_s << true << QList<qsizetype>{2, 3, 0, 1};
    QTest::addRow("no English voice, English learner: by language")
        << QStringList{u"kk_KZ/Kazakh"_s, u"fr_FR/French (France)"_s, u"de_DE/German"_s} << qsizetype(-1) << u"en_US"_s
        << true << QList<qsizetype>{1, 2, 0};
    QTest::addRow("names in any letter case") << QStringList{u"en_US/Zed"_s, u"en_US/KAL16"_s, u"en_US/Awb"_s}
                                              << qsizetype(0) << u"en_GB"_s << true << QList<qsizetype>{2, 1, 0};

    const QStringList mixed{u"fr_FR/Zoe"_s, u"en_US/Bob"_s, u"de_DE/Hans"_s, u"en_US/Amy"_s};
    QTest::addRow("preferred, its language, then the others by language")
        << mixed << qsizetype(1) << u"en_US"_s << true << QList<qsizetype>{1, 3, 0, 2};
    QTest::addRow("no preferred voice") << mixed << qsizetype(-1) << u"de_DE"_s << true << QList<qsizetype>{2, 3, 1, 0};
    QTest::addRow("preferred out of range counts as none")
        << mixed << qsizetype(4) << u"fr_FR"_s << true << QList<qsizetype>{0, 3, 1, 2};
    QTest::addRow("every territory of the language before other languages")
        << QStringList{u"hy_AM/Adam"_s, u"en_GB/Alan"_s, u"en_US/Amy"_s, u"af_ZA/Anna"_s, u"en_IN/Ravi"_s}
        << qsizetype(2) << u"en_US"_s << true << QList<qsizetype>{2, 4, 1, 3, 0};
    QTest::addRow("same name in two locales kept twice")
        << QStringList{u"en_US/Amy"_s, u"en_GB/Amy"_s} << qsizetype(-1) << u"en_US"_s << true << QList<qsizetype>{1, 0};
    QTest::addRow("voice listed twice under one locale kept once")
        << QStringList{u"en_US/Amy"_s, u"de_DE/Hans"_s, u"en_US/Amy"_s} << qsizetype(-1) << u"de_DE"_s << true
        << QList<qsizetype>{1, 0};
    QTest::addRow("copy of the preferred voice dropped")
        << QStringList{u"en_US/Amy"_s, u"de_DE/Hans"_s, u"en_US/Amy"_s} << qsizetype(2) << u"en_US"_s << true
        << QList<qsizetype>{2, 1};
    QTest::addRow("empty list") << QStringList{} << qsizetype(0) << u"en_US"_s << true << QList<qsizetype>{};
}

void tst_VoiceOrder::arrange()
{
    QFETCH(QStringList, voices);
    QFETCH(qsizetype, preferred);
    QFETCH(QString, learner);
    QFETCH(bool, byClarity);
    QFETCH(QList<qsizetype>, expected);

    QCOMPARE(VoiceOrder::arrange(listed(voices), preferred, QLocale(learner), byClarity), expected);
}

void tst_VoiceOrder::displayName_data()
{
    QTest::addColumn<QString>("voice");
    QTest::addColumn<QString>("expected");

    QTest::addRow("language and territory")
        << u"en_GB/English (Great Britain)"_s << u"English (Great Britain) (English – United Kingdom)"_s;
    QTest::addRow("world language without territory") << u"eo_001/Esperanto"_s << u"Esperanto (Esperanto)"_s;
    QTest::addRow("C locale: name alone") << u"C/Klingon"_s << u"Klingon"_s;
}

void tst_VoiceOrder::displayName()
{
    QFETCH(QString, voice);
    QFETCH(QString, expected);

    QCOMPARE(VoiceOrder::displayName(listed({voice}).first()), expected);
}

void tst_VoiceOrder::engineRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<bool>("rateChangesWork");
    QTest::addColumn<double>("expected");

    QTest::addRow("slowest") << -10 << true << -1.0;
    QTest::addRow("program default") << -4 << true << -0.4;
    QTest::addRow("fastest") << 10 << true << 1.0;
    QTest::addRow("slow where rate changes fail: normal pace") << -4 << false << 0.0;
    QTest::addRow("fast where rate changes fail: normal pace") << 6 << false << 0.0;
}

void tst_VoiceOrder::durationStretch_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("expected");

    QTest::addRow("slowest") << -10 << 1.5;
    QTest::addRow("program default") << -4 << 1.2;
    QTest::addRow("normal") << 0 << 1.0;
    QTest::addRow("fastest") << 10 << 0.5;
}

void tst_VoiceOrder::durationStretch()
{
    QFETCH(int, rate);
    QFETCH(double, expected);

    QCOMPARE(VoiceOrder::durationStretch(rate), expected);
}

void tst_VoiceOrder::engineRate()
{
    QFETCH(int, rate);
    QFETCH(bool, rateChangesWork);
    QFETCH(double, expected);

    QCOMPARE(VoiceOrder::engineRate(rate, rateChangesWork), expected);
}

QTEST_GUILESS_MAIN(tst_VoiceOrder)
#include "tst_voiceorder.moc"
