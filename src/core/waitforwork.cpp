// SPDX-License-Identifier: GPL-3.0-or-later
#include "waitforwork.h"

#include <QEventLoop>
#include <QMetaObject>
#include <exception>
#include <thread>

void runHere(const std::function<void()> &work)
{
    work();
}

void runWhileHandlingEvents(const std::function<void()> &work)
{
    std::exception_ptr failure;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Posted: the loop quits when it handles this, never before it runs.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Returns at once when the program is quitting; the join then waits.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}
