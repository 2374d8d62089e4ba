// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtplatform.h"

#include "core/apptitle.h"
#include "core/errorreport.h"
#include "core/utilities.h"
#include "widgets/inputqueue.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QVBoxLayout>

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

std::unique_ptr<QDialog> makeTextQuestionBox(const QString &title, const QString &text, QWidget *parent)
{
    auto box = std::make_unique<QDialog>(parent);
    box->setWindowTitle(title);
    box->setWindowModality(Qt::ApplicationModal);
    auto *label = new QLabel(box.get());
    label->setTextFormat(Qt::PlainText);
    label->setText(lineBreaksForDisplay(text));
    auto *answer = new QLineEdit(box.get());
    answer->setObjectName(u"answer"_s);
    answer->setAccessibleName(text);
    label->setBuddy(answer);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, box.get());
    QObject::connect(buttons, &QDialogButtonBox::accepted, box.get(), &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, box.get(), &QDialog::reject);
    auto *layout = new QVBoxLayout(box.get());
    layout->addWidget(label);
    layout->addWidget(answer);
    layout->addWidget(buttons);
    return box;
}

namespace {

// The keyboard goes back to the window a box came from, also where no window
// manager hands it back.
void giveBackKeyboard(QWidget *owner)
{
    if (owner && owner->isVisible())
        owner->activateWindow();
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons)
{
    QWidget *owner = QApplication::activeWindow();
    const auto pressed = QMessageBox::StandardButton(makePromptBox(icon, title, text, buttons, owner)->exec());
    giveBackKeyboard(owner);
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

std::optional<bool> QtPrompts::questionOrCancel(const QString &text)
{
    const QMessageBox::StandardButton pressed = showBox(QMessageBox::NoIcon, applicationTitle(), text,
                                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (pressed == QMessageBox::Cancel)
        return std::nullopt;
    return pressed == QMessageBox::Yes;
}

std::optional<QString> QtPrompts::askText(const QString &text)
{
    QWidget *owner = QApplication::activeWindow();
    const auto box = makeTextQuestionBox(applicationTitle(), text, owner);
    const bool accepted = box->exec() == QDialog::Accepted;
    giveBackKeyboard(owner);
    if (!accepted)
        return std::nullopt;
    return box->findChild<QLineEdit *>(u"answer"_s)->text();
}

void QtPrompts::error(const QString &text)
{
    if (!m_input) {
        showBox(QMessageBox::Warning, kErrorTitle.toString(), text, QMessageBox::Ok);
        return;
    }
    m_input->beginWait();
    const auto done = qScopeGuard([this] { m_input->endWait(); });
    if (m_input->waitForTypingPause())
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
