// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <optional>
#include <span>

// Where a synthesised word's sound begins, so that the learner hears the word
// at once rather than after the pause a synthesiser puts first (about a
// quarter of a second with flite). The sound begins `leadInMs` before the
// first sample louder than `quiet` (of 32767) from which it grows louder than
// `loud` without `gapMs` of quiet in between: a lone click in the pause's
// noise does not start the word, a soft start that grows into it does.
struct SoundStartRule
{
    int quiet = 128;
    int loud = 1000;
    int gapMs = 20;
    int leadInMs = 20;
};

// `samples` are a word's sound from its beginning, `complete` when no more
// follow. Nothing while no sample is louder than `loud` and more may follow.
// A word that never grows loud begins at its first sample louder than
// `quiet`; one that has none, at its end.
std::optional<qsizetype> soundStart(std::span<const qint16> samples, int sampleRate, bool complete,
                                    const SoundStartRule &rule = {});
