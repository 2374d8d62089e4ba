// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>

// Another process (tests/history/historylocker) holding a practice history
// locked, from when locked() is true until the object ends.
class HistoryLock
{
public:
    HistoryLock(const QString &locker, const QString &file)
    {
        m_process.start(locker, {file});
        QByteArray output;
        while (!output.contains("locked\n") && m_process.waitForReadyRead(30000))
            output += m_process.readAllStandardOutput();
        m_locked = output.contains("locked\n");
    }
    ~HistoryLock()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished(30000);
    }

    bool locked() const { return m_locked; }

private:
    QProcess m_process;
    bool m_locked = false;
};
