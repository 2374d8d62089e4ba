// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// File dialogs. Each returns the chosen full path, or an empty path when the
// user cancels.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // filter in Qt's form, e.g. "Dictionary File (*.dic)".
    virtual QString openFile(QWidget *parent, const QString &title, const QString &filter) = 0;
    // filters in Qt's form joined by ";;"; no overwrite question and no
    // default extension: a name typed without one is used as typed.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &filters, const QString &previousName)
        = 0;
};

// Starting other programs.
class Launcher
{
public:
    virtual ~Launcher() = default;
    // Opens the file for viewing in a text editor; throws Failure when nothing
    // could be started.
    virtual void openInEditor(const QString &path) = 0;
    // Hands the address to the desktop's default action; the outcome is not
    // examined.
    virtual void openUrl(const QUrl &address) = 0;
};
