// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class InputQueue;

// While the window's thread waits for the speech engine the windows keep
// painting and the busy pointer says why; the user's input waits in the
// queue and is delivered, in order, once the wait has ended. Waits may nest.
class BusyWhileWaiting
{
public:
    explicit BusyWhileWaiting(InputQueue &input) : m_input(input) { }
    void operator()(bool busy);

private:
    InputQueue &m_input;
    int m_depth = 0;
};
