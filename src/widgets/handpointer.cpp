// SPDX-License-Identifier: GPL-3.0-or-later
#include "handpointer.h"

#include "core/failure.h"
#include "widgets/looks.h"

using namespace Qt::StringLiterals;

void installHandPointer(const QString &cursorFile, QWidget *window, const QList<QWidget *> &buttons,
                        const QList<QWidget *> &surfaces)
{
    const auto hand = Looks::loadCursorFile(cursorFile);
    if (!hand)
        throw Failure(u"Invalid picture"_s);
    Looks::installPointerRule(window, *hand, buttons, surfaces);
}
