// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// How stored setting texts turn into values. Texts edited by hand must never
// stop the program: the lenient reading gives 0 for text it cannot read.
namespace SettingConversions {

// The leading numeric part of the text (spaces before it skipped, an optional
// sign, digits, a decimal point and an exponent); 0 when there is none.
double lenientNumber(QStringView text);

// Nearest whole number, halves to the even neighbour, clamped to int.
int roundHalfEven(double value);

// lenientNumber then roundHalfEven: "3.5" gives 4, "2.5" gives 2, "x" gives 0.
int lenientWholeNumber(QStringView text);

// "True"/"False" in any letter case, or a number (0 false, anything else
// true). Throws Failure("Type mismatch") for any other text.
bool truthValue(QStringView text);

} // namespace SettingConversions
