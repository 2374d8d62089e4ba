// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// Files the program looks for in its own folder, as literals for
// besideProgram (core/utilities.h).
namespace ProgramFiles {

inline constexpr QStringView kFirstSample = u"\\Samples\\One-To-Ten.txt";
inline constexpr QStringView kSecondSample = u"\\Samples\\8th-Grade-Word-List.txt";
inline constexpr QStringView kHandPointer = u"\\HAND-M.CUR";
inline constexpr QStringView kRightSound = u"\\Sounds\\right.wav";
inline constexpr QStringView kWrongSound = u"\\Sounds\\wrong.wav";
// Its presence switches the main window to the desktop's colours.
inline constexpr QStringView kSkin = u"\\x\\o.cjs";

} // namespace ProgramFiles
