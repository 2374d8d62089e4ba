// SPDX-License-Identifier: GPL-3.0-or-later
// Records answers into a practice history as the program does, and prints
// the number of each answer once its transaction has committed.
// Usage: historywriter FILE LEARNER COUNT [PAUSE [PATIENCE]]
// COUNT 0 writes until killed; PAUSE is the milliseconds between answers, as
// a learner leaves time between them (a writer without pauses can keep
// another out of the file for longer than its busy wait); PATIENCE is the
// busy wait in milliseconds, the program's own by default.

#include "history/historystore.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4)
        return 2;
    const qint64 count = arguments.at(3).toLongLong();
    const unsigned long pause = arguments.size() > 4 ? arguments.at(4).toULong() : 0;
    const int patience = arguments.size() > 5 ? arguments.at(5).toInt() : HistoryStore::kBusyTimeoutMs;
    HistoryStore store(arguments.at(1), &QDateTime::currentDateTime, patience);
    const qint64 game = store.recordGame(arguments.at(2), {QStringLiteral("/lists/words.txt"), QStringLiteral("hash")},
                                         QDateTime::currentDateTime());
    if (game == 0) {
        std::fprintf(stderr, "%s\n", qPrintable(store.takeNotice()));
        return 1;
    }
    for (qint64 n = 1; count == 0 || n <= count; ++n) {
        const QString word = QStringLiteral("word") + QString::number(n % 20);
        if (!store.recordAnswer(game, {word, word, n % 3 != 0, QDateTime::currentDateTime()})) {
            std::fprintf(stderr, "%s\n", qPrintable(store.takeNotice()));
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(n));
        std::fflush(stdout);
        if (pause > 0)
            QThread::msleep(pause);
    }
    return 0;
}
