// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Uniform numbers r with 0 <= r < 1.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

// Clock-seeded source used by the program.
RandomSource &systemRandom();
