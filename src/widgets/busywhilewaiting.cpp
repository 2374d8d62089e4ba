// SPDX-License-Identifier: GPL-3.0-or-later
#include "busywhilewaiting.h"

#include "widgets/inputqueue.h"

#include <QApplication>

void BusyWhileWaiting::operator()(bool busy)
{
    if (busy) {
        if (m_depth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_input.beginWait();
    } else if (m_depth > 0) {
        if (--m_depth == 0)
            QApplication::restoreOverrideCursor();
        m_input.endWait();
    }
}
