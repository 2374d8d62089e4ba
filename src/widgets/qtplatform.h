// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/platform.h"
#include "core/prompts.h"

#include <QDialog>
#include <QMessageBox>
#include <memory>

class InputQueue;

// The box a prompt shows, not yet shown: the text exactly as given, with its
// line breaks shown as line breaks.
std::unique_ptr<QMessageBox> makePromptBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                                           QMessageBox::StandardButtons buttons, QWidget *parent);

// The box a text question shows, not yet shown: the text as plain text above
// a one-line box (object name "answer") named after it, OK and Cancel.
std::unique_ptr<QDialog> makeTextQuestionBox(const QString &title, const QString &text, QWidget *parent);

// The real message boxes, dialogs and launcher, over Qt.
class QtPrompts : public Prompts
{
public:
    // The input queue of the windows, when there is one: see error().
    explicit QtPrompts(InputQueue *input = nullptr) : m_input(input) { }

    void message(const QString &text) override;
    bool question(const QString &text) override;
    std::optional<bool> questionOrCancel(const QString &text) override;
    std::optional<QString> askText(const QString &text) override;
    // The report comes unasked, maybe while the learner types the next
    // answer: it shows once the typing pauses, and the input for the windows
    // waits until it is closed. So the box takes no key typed for them, and
    // a Return typed before it showed cannot close it unread.
    void error(const QString &text) override;

private:
    InputQueue *m_input;
};

class QtFileDialogs : public FileDialogs
{
public:
    QString openFile(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filters,
                     const QString &previousName) override;
};

// On Windows the list opens in Notepad; elsewhere in the desktop's default
// application for the file.
class QtLauncher : public Launcher
{
public:
    void openInEditor(const QString &path) override;
    void openUrl(const QUrl &address) override;
};
