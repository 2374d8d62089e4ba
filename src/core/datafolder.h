// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folder that holds the program's read-only files: the sample lists
// (Samples/), the feedback sounds (Sounds/) and the hand pointer (HAND-M.CUR).
//
// - The program's own folder when any of them is there: the build folder, and
//   a Windows-style installation with everything in one folder.
// - Otherwise <program folder>/../share/lexidrill when any of them is there:
//   the usual Linux layout, with the program in bin/ and its files in
//   share/lexidrill/ under the same prefix. The path is relative so that an
//   installation works under any prefix (/usr, /usr/local, /opt/...).
// - Otherwise the program's own folder, where missing files are then reported.
//
// The result has no trailing separator and no ".." parts.
QString dataFolder(const QString &programFolder);
