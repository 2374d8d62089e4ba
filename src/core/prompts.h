// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The one seam for message boxes. The real one shows QMessageBox; tests put
// a recorder in its place so that no test waits on a modal box.
class Prompts
{
public:
    virtual ~Prompts() = default;
    // Application title as caption, no icon, OK.
    virtual void message(const QString &text) = 0;
    // Application title as caption, no icon, Yes and No; true for Yes.
    virtual bool question(const QString &text) = 0;
    // Application title as caption, no icon, Yes, No and Cancel: true for
    // Yes, false for No, nothing for Cancel, Escape or the box closed.
    virtual std::optional<bool> questionOrCancel(const QString &text) = 0;
    // Application title as caption, the text above a one-line box, OK and
    // Cancel: what was typed, or nothing for Cancel.
    virtual std::optional<QString> askText(const QString &text) = 0;
    // The error report: "Application Error", warning icon, OK.
    virtual void error(const QString &text) = 0;
};
