// SPDX-License-Identifier: GPL-3.0-or-later
#include "randomsource.h"

#include <QRandomGenerator>

namespace {

class ClockSeededRandom : public RandomSource
{
public:
    double next() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator{QRandomGenerator::securelySeeded()};
};

} // namespace

RandomSource &systemRandom()
{
    static ClockSeededRandom random;
    return random;
}
