// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for. Read before the application object exists,
// so that --help, --version and usage errors need no display.
struct CommandLine
{
    // Set when the program ends at once without a window: 0 after the help or
    // the version, 2 after a usage error.
    std::optional<int> exitCode;
    // Printed before ending: to standard output with exit code 0, to standard
    // error otherwise.
    QString message;
    // The word list to start with, as an absolute path; empty when none.
    QString wordList;
};

// Usage: lexidrill [-h|--help] [-v|--version] [FILE]. A FILE must name a
// readable file; relative paths are taken from the current folder. Qt's own
// options (-platform, -style, ...) are not taken: their environment
// variables (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, ...) still are.
// arguments[0] is the program's path.
CommandLine parseCommandLine(const QStringList &arguments);

QStringList argumentList(int argc, char *argv[]);

// Writes the message to the stream its exit code calls for.
void printMessage(const CommandLine &commandLine);
