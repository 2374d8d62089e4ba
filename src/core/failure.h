// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>

// A failure with a readable description. Platform wrappers and helpers throw
// it; the step of a reporting procedure that called them catches it and
// shows the description in the error report.
class Failure : public std::exception
{
public:
    explicit Failure(QString description) : m_description(std::move(description)), m_utf8(m_description.toUtf8()) { }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

// Thrown by a wait that the program's ending cut short. A step it ends is not
// reported: the report could not be read before the program is gone.
class ProgramEnding : public std::exception
{
public:
    const char *what() const noexcept override { return "The program is ending"; }
};
