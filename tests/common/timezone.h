// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

// The process's local time is that of the named zone ("Europe/London")
// while this is in force, whatever the computer's zone: Qt's local times
// follow the TZ variable through the C library.
class TimeZoneForTest
{
public:
    explicit TimeZoneForTest(const char *zone) : m_hadZone(qEnvironmentVariableIsSet("TZ")), m_saved(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneForTest()
    {
        if (m_hadZone)
            qputenv("TZ", m_saved);
        else
            qunsetenv("TZ");
        tzset();
    }
    TimeZoneForTest(const TimeZoneForTest &) = delete;
    TimeZoneForTest &operator=(const TimeZoneForTest &) = delete;

private:
    bool m_hadZone;
    QByteArray m_saved;
};
