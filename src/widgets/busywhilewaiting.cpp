// SPDX-License-Identifier: GPL-3.0-or-later
#include "busywhilewaiting.h"

#include <QApplication>
#include <QEvent>

void BusyWhileWaiting::operator()(bool busy)
{
    if (busy) {
        if (m_depth++ == 0) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            qApp->installEventFilter(this);
        }
    } else if (--m_depth == 0) {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }
}

bool BusyWhileWaiting::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}
