// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// Small shared helpers. None of them reports failures: FileExists traps its
// own, the others let them pass to the caller.

// The platform's path separator: '/' on Linux, '\' on Windows.
QChar pathSeparator();

// A file beside the program: the program folder followed directly by the
// literal, whose backslashes become the platform's separators. At the root
// folder the result holds a doubled separator, as CollapseBackslashes expects.
QString besideProgram(const QString &programFolder, QStringView literal);

// True when the file system reports the path (file or folder) as existing.
bool FileExists(QString path);

// Waits the given seconds while the event loop keeps running, without keeping
// a processor core busy. Events handled meanwhile may start another Pause.
// A zero, negative or non-numeric duration returns at once.
void Pause(double seconds);

// The text after the last separator, or the whole path when it holds none.
QString FileNameOf(const QString &path);

// The text with every line break (CR LF, lone CR or LF) made a LF: widgets
// break lines only at LF under every style, and a lone CR shows as a space
// under some. For showing only; the text the program built stays as it is.
QString lineBreaksForDisplay(QString text);

// Collapses doubled separators pairwise; a path that starts with a separator
// keeps exactly two in front (a network path) or gets two.
QString CollapseBackslashes(const QString &path);
QString collapseSeparators(QStringView path, QChar separator);
