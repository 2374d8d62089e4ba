// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's timed waits, behind an interface so that tests stand in for
// the clock.
class Delay
{
public:
    virtual ~Delay() = default;
    // Waits the given seconds while the event loop keeps running.
    virtual void pause(double seconds) = 0;
};

// The real wait: Pause (core/utilities.h).
Delay &realDelay();
