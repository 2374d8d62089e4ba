// SPDX-License-Identifier: GPL-3.0-or-later
#include "useraccount.h"

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace UserAccount {

QString loginName()
{
    for (const char *variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString name = qEnvironmentVariable(variable).trimmed();
        if (!name.isEmpty())
            return name;
    }
#ifdef Q_OS_UNIX
    // Started without a login environment (from a service or a desktop
    // entry with a cleared environment).
    if (const passwd *entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name).trimmed();
#endif
    return QString();
}

QString fullName()
{
#ifdef Q_OS_UNIX
    if (const passwd *entry = ::getpwuid(::getuid())) {
        if (entry->pw_gecos)
            return fullNameFromGecos(QString::fromLocal8Bit(entry->pw_gecos), QString::fromLocal8Bit(entry->pw_name));
    }
#endif
    // Elsewhere no full name is looked up: the login name names the learner.
    return QString();
}

QString fullNameFromGecos(const QString &gecos, const QString &login)
{
    QString name = gecos.section(u',', 0, 0);
    if (name.contains(u'&')) {
        QString capitalised = login;
        if (!capitalised.isEmpty())
            capitalised[0] = capitalised.at(0).toUpper();
        name.replace(u'&', capitalised);
    }
    return name.simplified();
}

QString firstLearnerName(const QString &fullName, const QString &login)
{
    if (!fullName.trimmed().isEmpty())
        return fullName.trimmed();
    if (!login.trimmed().isEmpty())
        return login.trimmed();
    return u"Learner"_s;
}

QString firstLearnerName()
{
    return firstLearnerName(fullName(), loginName());
}

} // namespace UserAccount
