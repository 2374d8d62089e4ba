// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

// Hands each real message box that shows to `then`, from the event loop, so
// a test can answer it as a user would.
class BoxWatch : public QObject
{
public:
    explicit BoxWatch(std::function<void(QMessageBox &)> then) : m_then(std::move(then))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (QPointer<QMessageBox> box = qobject_cast<QMessageBox *>(watched)) {
                QTimer::singleShot(0, this, [this, box] {
                    if (box)
                        m_then(*box);
                });
            }
        }
        return false;
    }

private:
    std::function<void(QMessageBox &)> m_then;
};
