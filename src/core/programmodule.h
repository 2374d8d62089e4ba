// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The parts of the program that need a large library only a later window or
// a later action uses (Qt Charts for the Progress window's chart, Qt
// Multimedia for the feedback sounds) are shared modules of their own,
// lexidrill-<name>.so. The program loads such a module the first time it
// needs it: linked to the program, those libraries and the twenty more they
// bring would all be loaded and bound before the main window is first painted.

// The file of the module `name`: beside the program when it is there (a
// build), else in the folder the installation puts the modules in, relative
// to the program's own (<prefix>/lib/lexidrill beside <prefix>/bin).
QString programModuleFile(const QString &programFolder, const QString &name);

// The function `symbol` of the module `name`. The module is loaded on the
// first call and stays loaded. Throws Failure when it cannot be loaded or
// lacks the function.
QFunctionPointer programModuleFunction(const QString &name, const char *symbol);
