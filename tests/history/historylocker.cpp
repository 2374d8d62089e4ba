// SPDX-License-Identifier: GPL-3.0-or-later
// Holds a practice history locked as another program may: BEGIN EXCLUSIVE,
// then "locked" printed, until a line or the end of its input.
// Usage: historylocker FILE

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QCoreApplication::arguments().value(1));
    if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")))
        return 1;
    std::printf("locked\n");
    std::fflush(stdout);
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) { }
    return 0;
}
