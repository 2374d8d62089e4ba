// SPDX-License-Identifier: GPL-3.0-or-later
#include "voiceorder.h"

#include <algorithm>
#include <iterator>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// How clearly a voice says single words to a learner of its language. The
// voices named here were measured the same way: 302 words (the two sample
// lists and 150 school words with near-homophones and minimal pairs such as
// accept/except, quite/quiet, sheep/ship), each synthesised to 16 kHz sound
// and recognised by an offline recogniser of US English told the 302 words;
// the share it picked right:
//
//   flite awb (Scottish accent)                       93.4 %
//   flite rms                                         92.4 %
//   flite kal16 (speech-dispatcher's flite module)    88.4 %
//   slt (festival's HTS build)                        86.1 %
//   kal (festival's diphone build)                    87.7 %
//   espeak-ng en-us, "English (America)"              56.6 %
//   espeak-ng en, "English (Great Britain)"           47.4 %
//   espeak-ng en-029, "English (Caribbean)"           28.8 %
//
// Through this program's own speech at its default rate, with the word set
// of bench/intelligibility.sh: flite's own awb, built into the speech
// helper, 89.1-91.7 % (three runs); with speech-dispatcher, rms 86.1 %
// (through its generic module), kal16 72-74 % (its flite module) and
// "English (America)" 32.1 %. flite's command line on the same words at the
// same pace: awb 91.4 %, rms 86.8 %; at the normal pace kal16 84.1 %, slt
// 82.5 %.
//
// The recogniser is harsher on espeak-ng's formant synthesis than a
// listener used to it, so its figures are a floor; the order of the flite
// voices is the trustworthy part. awb leads rms by 4 to 5 points here, more
// than a tie, so it leads for every accent. slt goes before kal: their two
// builds were five words apart, and flite's kal is its 8 kHz voice. A tier
// holds voices as clear as each other; within one, a voice of the learner's
// accent goes first. Voices not named here sit between the measured clear
// ones and the measured poor ones. A voice's variants ("English
// (America)+Denis") take their voice's tier, after it.
// More languages join with their own rows.
struct Clarity
{
    QLocale::Language language;
    QStringView voice; // as the engine names it, in any letter case
    QLocale::Territory accent;
    int tier; // lower is clearer
};

constexpr int kNotMeasured = 7;

constexpr Clarity kClarity[] = {
    {QLocale::English, u"awb", QLocale::UnitedKingdom, 0},
    {QLocale::English, u"rms", QLocale::UnitedStates, 1},
    {QLocale::English, u"kal16", QLocale::UnitedStates, 2},
    {QLocale::English, u"slt", QLocale::UnitedStates, 3},
    {QLocale::English, u"kal", QLocale::UnitedStates, 4},
    {QLocale::English, u"English (America)", QLocale::UnitedStates, 5},
    {QLocale::English, u"English (Great Britain)", QLocale::UnitedKingdom, 6},
    {QLocale::English, u"English (Caribbean)", QLocale::AnyTerritory, 8},
};

// Where a voice of the learner's language stands: its tier, whether its
// accent is another than the learner's, its row, and whether it is a variant.
std::tuple<int, bool, qsizetype, bool> clarityOf(const ListedVoice &voice, const QLocale &learner)
{
    const qsizetype plus = voice.name.indexOf(u'+');
    const QStringView base = plus < 0 ? QStringView(voice.name) : QStringView(voice.name).left(plus);
    for (qsizetype row = 0; row < qsizetype(std::size(kClarity)); ++row) {
        const Clarity &entry = kClarity[row];
        if (entry.language == voice.locale.language() && base.compare(entry.voice, Qt::CaseInsensitive) == 0)
            return {entry.tier, entry.accent != learner.territory(), row, plus >= 0};
    }
    return {kNotMeasured, false, 0, false};
}

} // namespace

namespace VoiceOrder {

QLocale learnerLocale(const QLocale &system)
{
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
}

std::optional<QLocale> userLocale(const QList<QLocale> &available, const QLocale &system)
{
    const QLocale wanted = learnerLocale(system);
    const QLocale mainTerritory(wanted.language());

    std::optional<QLocale> sameLanguage;
    std::optional<QLocale> inMainTerritory;
    for (const QLocale &locale : available) {
        if (locale.language() != wanted.language())
            continue;
        if (locale.territory() == wanted.territory())
            return locale;
        if (locale.territory() == mainTerritory.territory())
            inMainTerritory = locale;
        if (!sameLanguage || locale.name() < sameLanguage->name())
            sameLanguage = locale;
    }
    return inMainTerritory ? inMainTerritory : sameLanguage;
}

QList<qsizetype> arrange(const QList<ListedVoice> &voices, qsizetype preferred, const QLocale &learner, bool byClarity)
{
    const QLocale learning = learnerLocale(learner);
    const QLocale::Language language = learning.language();
    const bool hasPreferred = preferred >= 0 && preferred < voices.size();
    const auto sameVoice = [&](qsizetype a, qsizetype b) {
        return voices[a].locale.name() == voices[b].locale.name() && voices[a].name == voices[b].name;
    };

    // Names, not codes, so that the groups follow the order a reader
    // expects; worked out once, as there are thousands of voices.
    using Key = std::tuple<bool, int, bool, qsizetype, bool, bool, QString, QString, QString, QString>;
    QList<Key> keys;
    keys.reserve(voices.size());
    for (qsizetype i = 0; i < voices.size(); ++i) {
        const ListedVoice &voice = voices[i];
        const QLocale &locale = voice.locale;
        const bool otherLanguage = locale.language() != language;
        const auto [tier, otherAccent, row, variant]
            = otherLanguage || !byClarity ? std::tuple<int, bool, qsizetype, bool>{} : clarityOf(voice, learning);
        // Copies of the preferred voice count as it, so that it goes first
        // among them and they are dropped below.
        const bool notPreferred = !(hasPreferred && sameVoice(i, preferred));
        keys.append({otherLanguage, tier, otherAccent, row, variant, notPreferred,
                     QLocale::languageToString(locale.language()), QLocale::territoryToString(locale.territory()),
                     locale.name(), voice.name});
    }

    QList<qsizetype> sorted;
    sorted.reserve(voices.size());
    for (qsizetype i = 0; i < voices.size(); ++i)
        sorted.append(i);
    // The preferred position goes first among its copies.
    std::stable_sort(sorted.begin(), sorted.end(), [&](qsizetype a, qsizetype b) {
        if (keys[a] != keys[b])
            return keys[a] < keys[b];
        return a == preferred && b != preferred;
    });

    QList<qsizetype> order;
    order.reserve(voices.size());
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        if (i == 0 || !sameVoice(sorted[i - 1], sorted[i]))
            order.append(sorted[i]);
    }
    return order;
}

QString displayName(const ListedVoice &voice)
{
    const QLocale &locale = voice.locale;
    if (locale.language() == QLocale::C)
        return voice.name;
    const QString language = QLocale::languageToString(locale.language());
    const bool namesTerritory = locale.territory() != QLocale::AnyTerritory && locale.territory() != QLocale::World;
    if (!namesTerritory)
        return u"%1 (%2)"_s.arg(voice.name, language);
    return u"%1 (%2 – %3)"_s.arg(voice.name, language, QLocale::territoryToString(locale.territory()));
}

double durationStretch(int rate)
{
    return 1.0 - rate / 20.0;
}

double engineRate(int rate, bool rateChangesWork)
{
    if (!rateChangesWork)
        return 0.0;
    return rate / 10.0;
}

} // namespace VoiceOrder
