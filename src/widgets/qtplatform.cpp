// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtplatform.h"

#include "core/apptitle.h"
#include "core/errorreport.h"
#include "core/utilities.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>

using namespace Qt::StringLiterals;

std::unique_ptr<QMessageBox> makePromptBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                                           QMessageBox::StandardButtons buttons, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(icon, title, QString(), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(lineBreaksForDisplay(text));
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

namespace {

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons)
{
    QWidget *owner = QApplication::activeWindow();
    const auto pressed = QMessageBox::StandardButton(makePromptBox(icon, title, text, buttons, owner)->exec());
    // The keyboard goes back to the window the box came from, also where no
    // window manager hands it back.
    if (owner && owner->isVisible())
        owner->activateWindow();
    return pressed;
}

} // namespace

void QtPrompts::message(const QString &text)
{
    showBox(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok);
}

bool QtPrompts::question(const QString &text)
{
    return showBox(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void QtPrompts::error(const QString &text)
{
    showBox(QMessageBox::Warning, kErrorTitle.toString(), text, QMessageBox::Ok);
}

QString QtFileDialogs::openFile(QWidget *parent, const QString &title, const QString &filter)
{
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString QtFileDialogs::saveFile(QWidget *parent, const QString &title, const QString &filters,
                                const QString &previousName)
{
    QFileDialog dialog(parent, title, QString(), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!previousName.isEmpty())
        dialog.selectFile(previousName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void QtLauncher::openInEditor(const QString &path)
{
#ifdef Q_OS_WIN
    if (!QProcess::startDetached(u"notepad"_s, {path}))
        throw Failure(u"Cannot start notepad"_s);
#else
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        throw Failure(u"No application could be started to show %1"_s.arg(path));
#endif
}

void QtLauncher::openUrl(const QUrl &address)
{
    QDesktopServices::openUrl(address);
}
