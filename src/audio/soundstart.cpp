// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundstart.h"

#include <algorithm>
#include <cstdlib>

qsizetype soundStart(std::span<const qint16> samples, int sampleRate, int quiet, int leadInMs)
{
    // int, so that -32768 has a magnitude.
    const auto loud = std::find_if(samples.begin(), samples.end(), [quiet](qint16 sample) {
        return std::abs(int(sample)) > quiet;
    });
    if (loud == samples.end())
        return qsizetype(samples.size());
    const qsizetype leadIn = qsizetype(sampleRate) * leadInMs / 1000;
    return std::max<qsizetype>(0, qsizetype(loud - samples.begin()) - leadIn);
}
