// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for start-up: a minimal Qt Widgets program that shows one
// window, started and measured exactly as the program is (bench/startup.sh).

#include "widgets/startupprobe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(640, 480);
    exitWhenShownIfAsked(window);
    window.show();
    return QApplication::exec();
}
