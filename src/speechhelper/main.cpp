// SPDX-License-Identifier: GPL-3.0-or-later
// The speech helper: the only process that loads the speech engine, so that
// whatever the engine does cannot take the program with it. Its arguments
// are the engines to try, in order.
#include "speechhelper/qtspeechbackend.h"
#include "speechhelper/speechservice.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList engines = QCoreApplication::arguments().mid(1);
    return runSpeechService([engines] { return startQtSpeechBackend(engines); });
}
