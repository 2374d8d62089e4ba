// SPDX-License-Identifier: GPL-3.0-or-later
#include "startupprobe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace {

class FirstPaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("shown %lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            watched->removeEventFilter(this);
            QCoreApplication::exit(0);
        }
        return false;
    }
};

} // namespace

void exitWhenShownIfAsked(QWidget &window)
{
    if (qEnvironmentVariableIsSet("LEXIDRILL_EXIT_WHEN_SHOWN"))
        window.installEventFilter(new FirstPaint(&window));
}
