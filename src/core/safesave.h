// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

// A file saved safely: written beside its target and put in the target's
// place only when complete, so that a failure or a kill leaves a file that
// was there as it was. Every failure throws Failure, "Cannot save" with the
// file and the reason.
class SafeSave
{
public:
    explicit SafeSave(const QString &fileName);

    // Refuses a folder, a pipe or a device before anything is opened: a pipe
    // would hold the save until something read it, and a device or a folder
    // would be replaced. Then creates the new file.
    void open();
    // Writes all the bytes. Unbuffered, so that a write fails with its own
    // reason: a short write (the disk filled up within the bytes) tells none,
    // so the rest is written again, which fails with it.
    void write(QByteArrayView bytes);
    // Puts the finished file in the target's place.
    void commit();

private:
    class Failure failure(const QString &reason) const;

    QString m_shown;
    QSaveFile m_file;
};
