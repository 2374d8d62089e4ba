// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// For measuring start-up: when LEXIDRILL_EXIT_WHEN_SHOWN is set, the first
// paint of `window` prints "shown <nanoseconds since the epoch>" and ends
// the program (bench/startup.sh compares that with the launch time).
void exitWhenShownIfAsked(QWidget &window);
