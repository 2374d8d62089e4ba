// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

// One voice as the speech engine lists it: the locale it is listed under and
// its name within the engine.
struct ListedVoice
{
    QLocale locale;
    QString name;
};

// Rules that turn the engine's voice listing into the program's voice list
// and the program's rate into the engine's.
namespace VoiceOrder {

// The language and accent a user in `system` learns in. The POSIX "C"
// locale counts as US English, which is what such a desktop shows.
QLocale learnerLocale(const QLocale &system);

// The locale whose default voice the engine offers a user in `system`: the
// same language and territory, else the language's main territory, else any
// territory of that language (first by locale name), as learnerLocale()
// reads `system`. None when the engine has no voice for the language.
std::optional<QLocale> userLocale(const QList<QLocale> &available, const QLocale &system);

// Positions into `voices` in list order. The voices of the learner's language
// come first, the clearest first: those measured clear in the order
// measured (of two as clear, the one with the learner's accent first), then
// those not measured, then those measured hard to follow. Among voices as
// clear, `preferred` (the engine's own default, when it is a position of
// `voices`) goes first and the others follow by territory and voice name.
// The remaining voices come after, grouped by language, each group by
// territory and voice name. A voice listed twice under the same locale name
// appears once. Without `byClarity` (an engine whose voices were not
// measured), every voice of the learner's language counts as not measured.
QList<qsizetype> arrange(const QList<ListedVoice> &voices, qsizetype preferred, const QLocale &learner,
                         bool byClarity = true);

// "<voice name> (<language> – <territory>)"; without the territory when the
// locale names none, and the bare name for voices under the "C" locale.
QString displayName(const ListedVoice &voice);

// Rate -10..10 to how many times its normal length flite makes a word:
// 1.5 at the slowest, 0.5 at the fastest.
double durationStretch(int rate);

// Rate -10..10 to the engine's -1.0..1.0. An engine that loses words at any
// rate but its normal one (`rateChangesWork` false) always gets the normal
// pace, so that a word is heard rather than lost.
double engineRate(int rate, bool rateChangesWork = true);

} // namespace VoiceOrder
