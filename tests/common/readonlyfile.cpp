// SPDX-License-Identifier: GPL-3.0-or-later
#include "readonlyfile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

bool runChattr(const QString &flag, const QString &path)
{
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {flag, path});
    return chattr.waitForFinished() && chattr.exitStatus() == QProcess::NormalExit && chattr.exitCode() == 0;
}

} // namespace

ReadOnlyFile::ReadOnlyFile(QString path) : m_path(std::move(path))
{
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (holds())
        return;
    m_immutable = runChattr(QStringLiteral("+i"), m_path);
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_immutable)
        runChattr(QStringLiteral("-i"), m_path);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

bool ReadOnlyFile::holds() const
{
    // A folder never opens for writing: ask whether entries could be made.
    if (const QFileInfo folder(m_path); folder.isDir())
        return !folder.isWritable();
    QFile probe(m_path);
    return QFile::exists(m_path) && !probe.open(QIODevice::ReadWrite);
}
