// SPDX-License-Identifier: GPL-3.0-or-later
#include "errorreport.h"

using namespace Qt::StringLiterals;

QString locationText(QStringView module, QStringView procedure)
{
    QString text = u"in Lexidrill2021/08/31."_s;
    text.append(module).append(u'.').append(procedure).append(u' ');
    return text;
}

QString errorReportText(const QString &description, const QString &location, int step)
{
    return description + u"\r\n"_s + location + u"at line "_s + QString::number(step) + u"\r\r"_s
        + u"Please email screenshot of this message to "_s + kSupportAddress.toString();
}

void ReportError(Prompts &prompts, const QString &location, int step, const QString &description)
{
    prompts.error(errorReportText(description, location, step));
}

QString describe(const std::exception &error)
{
    if (const auto *failure = dynamic_cast<const Failure *>(&error))
        return failure->description();
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return u"Out of memory"_s;
    return QString::fromLocal8Bit(error.what());
}

void Steps::report(const std::exception &error)
{
    ReportError(m_prompts, m_location, m_line, describe(error));
}

void Steps::reportUnknown()
{
    ReportError(m_prompts, m_location, m_line, u"Unexpected failure"_s);
}
