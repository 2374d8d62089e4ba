// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundstart.h"

#include <algorithm>
#include <cstdlib>

std::optional<qsizetype> soundStart(std::span<const qint16> samples, int sampleRate, bool complete,
                                    const SoundStartRule &rule)
{
    // int, so that -32768 has a magnitude.
    const auto louder = [](int than) { return [than](qint16 sample) { return std::abs(int(sample)) > than; }; };
    const auto loud = std::find_if(samples.begin(), samples.end(), louder(rule.loud));
    qsizetype first = 0;
    if (loud != samples.end()) {
        // Back from the loud sample to the last stretch of quiet as long as
        // the gap; the sound begins after it.
        const qsizetype gap = qsizetype(sampleRate) * rule.gapMs / 1000;
        qsizetype quietRun = 0;
        first = loud - samples.begin();
        for (qsizetype i = first - 1; i >= 0 && quietRun < gap; --i) {
            if (std::abs(int(samples[size_t(i)])) > rule.quiet) {
                first = i;
                quietRun = 0;
            } else {
                ++quietRun;
            }
        }
    } else if (!complete) {
        return std::nullopt;
    } else {
        const auto sound = std::find_if(samples.begin(), samples.end(), louder(rule.quiet));
        if (sound == samples.end())
            return qsizetype(samples.size());
        first = sound - samples.begin();
    }
    const qsizetype leadIn = qsizetype(sampleRate) * rule.leadInMs / 1000;
    return std::max<qsizetype>(0, first - leadIn);
}
