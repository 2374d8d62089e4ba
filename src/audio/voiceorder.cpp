// SPDX-License-Identifier: GPL-3.0-or-later
#include "voiceorder.h"

#include <algorithm>
#include <tuple>

using namespace Qt::StringLiterals;

namespace VoiceOrder {

std::optional<QLocale> userLocale(const QList<QLocale> &available, const QLocale &system)
{
    const QLocale wanted = system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
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

QList<qsizetype> arrange(const QList<ListedVoice> &voices, qsizetype preferred, QLocale::Language language)
{
    // Names, not codes, so that the groups follow the order a reader
    // expects; worked out once, as there are thousands of voices.
    using Key = std::tuple<bool, QString, QString, QString, QString>;
    QList<Key> keys;
    keys.reserve(voices.size());
    for (const ListedVoice &voice : voices) {
        const QLocale &locale = voice.locale;
        keys.append({locale.language() != language, QLocale::languageToString(locale.language()),
                     QLocale::territoryToString(locale.territory()), locale.name(), voice.name});
    }
    const auto sameVoice = [&](qsizetype a, qsizetype b) {
        return voices[a].locale.name() == voices[b].locale.name() && voices[a].name == voices[b].name;
    };

    QList<qsizetype> rest;
    rest.reserve(voices.size());
    for (qsizetype i = 0; i < voices.size(); ++i)
        rest.append(i);
    std::stable_sort(rest.begin(), rest.end(), [&](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });

    QList<qsizetype> order;
    order.reserve(voices.size());
    const bool hasPreferred = preferred >= 0 && preferred < voices.size();
    if (hasPreferred)
        order.append(preferred);
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const qsizetype position = rest[i];
        const bool repeatsPrevious = i > 0 && sameVoice(rest[i - 1], position);
        const bool isPreferred = hasPreferred && sameVoice(position, preferred);
        if (!repeatsPrevious && !isPreferred)
            order.append(position);
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

double engineVolume(int volume)
{
    return volume / 100.0;
}

double engineRate(int rate, bool rateChangesWork)
{
    if (!rateChangesWork)
        return 0.0;
    return rate / 10.0;
}

} // namespace VoiceOrder
