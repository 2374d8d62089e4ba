// SPDX-License-Identifier: GPL-3.0-or-later
#include "readonlyfile.h"

#include <QDir>
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

ReadOnlyFile::ReadOnlyFile(QString path) : m_path(std::move(path)), m_folder(QFileInfo(m_path).isDir())
{
    QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    // A folder is still entered.
    if (m_folder)
        readable |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(m_path, readable);
    if (holds())
        return;
    m_immutable = runChattr(QStringLiteral("+i"), m_path);
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_immutable)
        runChattr(QStringLiteral("-i"), m_path);
    QFile::Permissions writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (m_folder)
        writable |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(m_path, writable);
}

bool ReadOnlyFile::holds() const
{
    if (!QFile::exists(m_path))
        return false;
    if (!m_folder) {
        QFile probe(m_path);
        return !probe.open(QIODevice::ReadWrite);
    }
    // A folder holds when no file can be made in it.
    QFile probe(QDir(m_path).filePath(QStringLiteral(".read-only-probe")));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    probe.remove();
    return false;
}
