// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Runs a piece of work to its end and rethrows what it threw.
using WorkRunner = std::function<void(const std::function<void()> &)>;

// On the calling thread, as any plain call.
void runHere(const std::function<void()> &work);

// On a worker thread, while the calling thread (the window's) goes on
// handling events: windows keep painting and answering the accessibility
// bus. Input waits until the work has ended and is handled then, as if the
// window's thread had been busy. The work must not touch what the window's
// thread may touch meanwhile.
void runWhileHandlingEvents(const std::function<void()> &work);
