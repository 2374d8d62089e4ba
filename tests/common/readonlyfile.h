// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Makes an existing file (or folder) one that this user cannot write, for as long as the
// object lives: read-only permissions, and where those do not stop this user
// (the root user) the immutable attribute as well. Gives the file back
// writable when destroyed.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(QString path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    // False when this user can still open the file for writing (no chattr,
    // or a file system without the attribute): a test must then skip.
    bool holds() const;

private:
    QString m_path;
    bool m_immutable = false;
};
