#include "scoring.h"

#include <cmath>

namespace Scoring {

bool isCorrect(const QString &typed, const QString &given)
{
    return typed.toUpper() == given.toUpper();
}

qint64 percent(qint64 correct, qint64 wrong)
{
    if (correct + wrong < 1)
        return 0;
    return qint64(std::floor(double(correct) / double(correct + wrong) * 100.0 + 0.5));
}

} // namespace Scoring
