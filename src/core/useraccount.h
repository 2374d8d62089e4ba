// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The account the program runs under, which names the first learner.
namespace UserAccount {

// The login name: $USER, $LOGNAME or $USERNAME, else the system's entry for
// the account; empty when nothing tells.
QString loginName();
// The account's full name where the system keeps one, else empty: on Unix the
// first field of the account entry's GECOS field.
QString fullName();
// The full name a GECOS field holds for the login name: its first
// comma-separated field, trimmed, where "&" stands for the login name with a
// capital first letter.
QString fullNameFromGecos(const QString &gecos, const QString &login);
// What the first learner is called: the full name, else the login name, else
// "Learner".
QString firstLearnerName(const QString &fullName, const QString &login);
QString firstLearnerName();

} // namespace UserAccount
