// SPDX-License-Identifier: GPL-3.0-or-later
#include "safesave.h"

#include "core/failure.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

SafeSave::SafeSave(const QString &fileName) : m_shown(QDir::toNativeSeparators(fileName)), m_file(fileName) { }

Failure SafeSave::failure(const QString &reason) const
{
    return Failure(u"Cannot save \"%1\": %2"_s.arg(m_shown, reason));
}

void SafeSave::open()
{
    const QFileInfo target(m_file.fileName());
    if (target.isDir())
        throw failure(u"it is a folder."_s);
    if (target.exists() && !target.isFile())
        throw failure(u"it is not a plain file."_s);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failure(m_file.errorString());
}

void SafeSave::write(QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = m_file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            throw failure(m_file.errorString());
        done += written;
    }
}

void SafeSave::commit()
{
    if (!m_file.commit())
        throw failure(m_file.errorString());
}
