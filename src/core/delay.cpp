// SPDX-License-Identifier: GPL-3.0-or-later
#include "delay.h"

#include "core/utilities.h"

namespace {

class PauseDelay : public Delay
{
public:
    void pause(double seconds) override { Pause(seconds); }
};

} // namespace

Delay &realDelay()
{
    static PauseDelay delay;
    return delay;
}
