// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsstore.h"

#include "core/failure.h"

#include <QSettings>
#include <QStringList>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kOrganisation = u"Marrowfen"_s;
const QString kApplication = u"Lexidrill"_s;
const QString kSection = u"Lexidrill/"_s;

std::unique_ptr<QSettings> open(const QString &iniFilePath)
{
    if (iniFilePath.isEmpty())
        return std::make_unique<QSettings>(kOrganisation, kApplication);
    return std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat);
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
    settings->setValue(kSection + key, value);
    settings->sync();
    if (settings->status() == QSettings::AccessError)
        throw Failure(u"Cannot write the setting \"%1\" to %2"_s.arg(key, settings->fileName()));
}

QString SettingsStore::fileName() const
{
    return open(m_iniFilePath)->fileName();
}
