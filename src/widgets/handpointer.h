// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QWidget;

// Shows the hand pointer read from the cursor file over the window's push
// buttons and the arrow over its other surfaces (see Looks). Throws Failure
// "Invalid picture" when the file cannot be read as a pointer.
void installHandPointer(const QString &cursorFile, QWidget *window, const QList<QWidget *> &buttons,
                        const QList<QWidget *> &surfaces);
