// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// While the window's thread waits for the speech engine the windows keep
// painting but take no input, so that no second request starts inside the
// wait; the busy pointer says why. Waits may nest.
class BusyWhileWaiting : public QObject
{
public:
    void operator()(bool busy);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_depth = 0;
};
