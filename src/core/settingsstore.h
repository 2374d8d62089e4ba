// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settingkeys.h"

#include <QString>

// The per-user settings store: organisation "Marrowfen", application
// "Lexidrill", every key in the section "Lexidrill". On Linux this is the INI
// file $XDG_CONFIG_HOME/Marrowfen/Lexidrill.conf (default ~/.config); on
// Windows the registry. Each read and write opens the store afresh, so two
// running copies see each other's latest writes and nothing is cached. The
// file is read as text only (see settingsfile.h).
class SettingsStore
{
public:
    // The user's own store.
    SettingsStore();
    // An INI file at the given path, for tests and tools.
    explicit SettingsStore(QString iniFilePath);

    // The key's text, or the default when the key is absent.
    QString ReadSetting(const QString &key, const QString &defaultValue) const;
    QString ReadSetting(const QString &key, int defaultValue) const;
    QString ReadSetting(const SettingKeys::Number &setting) const
    {
        return ReadSetting(setting.key.toString(), setting.defaultValue);
    }
    // Stores the text unless the key holds that very text already. Throws
    // Failure, naming the key and the file, when the store refuses the write;
    // after one report, further refusals pass silently until a write
    // succeeds again.
    void WriteSetting(const QString &key, const QString &value);

    QString fileName() const;

private:
    QString m_iniFilePath;
    bool m_refusalReported = false;
};
