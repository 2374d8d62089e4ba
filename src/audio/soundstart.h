// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <span>

// Where a synthesised word's sound begins: the sample `leadInMs` before the
// first one louder than `quiet` (of 32767), so that the learner hears the
// word at once rather than after the pause a synthesiser puts first (about a
// quarter of a second with flite). The whole length when nothing is louder.
qsizetype soundStart(std::span<const qint16> samples, int sampleRate, int quiet = 128, int leadInMs = 10);
