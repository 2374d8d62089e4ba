// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsstore.h"

#include "core/failure.h"
#include "core/settingsfile.h"

#include <QIODevice>
#include <QSettings>
#include <QStringList>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kOrganisation = u"Marrowfen"_s;
const QString kApplication = u"Lexidrill"_s;
const QString kSection = u"Lexidrill/"_s;

bool readSettingsFile(QIODevice &device, QSettings::SettingsMap &keys)
{
    keys = SettingsFile::read(device.readAll());
    // Whatever could be read is kept, so that a later write loses nothing.
    return true;
}

bool writeSettingsFile(QIODevice &device, const QSettings::SettingsMap &keys)
{
    const QByteArray text = SettingsFile::write(keys);
    return device.write(text) == text.size();
}

// QSettings keeps the locking, the merging of writes from other copies of
// the program and the safe replacement of the file; the text is ours.
QSettings::Format textOnlyFormat()
{
    static const QSettings::Format format
        = QSettings::registerFormat(u"conf"_s, readSettingsFile, writeSettingsFile, Qt::CaseSensitive);
    return format;
}

std::unique_ptr<QSettings> open(const QString &iniFilePath)
{
    if (!iniFilePath.isEmpty())
        return std::make_unique<QSettings>(iniFilePath, textOnlyFormat());
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(kOrganisation, kApplication);
#else
    return std::make_unique<QSettings>(textOnlyFormat(), QSettings::UserScope, kOrganisation, kApplication);
#endif
}

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(QString iniFilePath) : m_iniFilePath(std::move(iniFilePath)) { }

QString SettingsStore::ReadSetting(const QString &key, const QString &defaultValue) const
{
    const auto settings = open(m_iniFilePath);
    const QVariant value = settings->value(kSection + key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value holding a comma comes back as a list; keep its text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u", "_s);
    return value.toString();
}

QString SettingsStore::ReadSetting(const QString &key, int defaultValue) const
{
    return ReadSetting(key, QString::number(defaultValue));
}

void SettingsStore::WriteSetting(const QString &key, const QString &value)
{
    const auto settings = open(m_iniFilePath);
    // Rewriting the text already there changes nothing, and a file that may
    // not be written would report every control set from the store.
    const QVariant stored = settings->value(kSection + key);
    if (stored.typeId() == QMetaType::QString && stored.toString() == value)
        return;
    settings->setValue(kSection + key, value);
    settings->sync();
    if (settings->status() != QSettings::AccessError) {
        m_refusalReported = false;
        return;
    }
    // One report per fault: the next refusals are the same fault until a
    // write goes through again.
    if (m_refusalReported)
        return;
    m_refusalReported = true;
    throw Failure(u"Cannot write the setting \"%1\" to %2"_s.arg(key, settings->fileName()));
}

QString SettingsStore::fileName() const
{
    return open(m_iniFilePath)->fileName();
}
