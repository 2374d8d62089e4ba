#pragma once

#include <QString>

// The rules that judge answers and score a game.
namespace Scoring {

// Both texts upper-cased with the full Unicode case mapping, then compared
// exactly.
bool isCorrect(const QString &typed, const QString &given);

// correct / (correct + wrong) * 100 to the nearest whole number, halves up;
// 0 when nothing was answered.
qint64 percent(qint64 correct, qint64 wrong);

} // namespace Scoring
