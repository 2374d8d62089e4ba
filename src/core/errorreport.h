// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/failure.h"
#include "core/prompts.h"

#include <QString>
#include <QStringView>
#include <exception>

inline constexpr QStringView kErrorTitle = u"Application Error";
inline constexpr QStringView kSupportAddress = u"support@marrowfen.example";

// "in Lexidrill2021/08/31.<module>.<procedure> ", trailing space included.
QString locationText(QStringView module, QStringView procedure);
QString errorReportText(const QString &description, const QString &location, int step);
void ReportError(Prompts &prompts, const QString &location, int step, const QString &description);
QString describe(const std::exception &error);

// Runs the numbered steps of a procedure that reports its own failures.
// A failing step is reported with the step number in force and the procedure
// goes on with its next step; a failure while testing a condition runs the
// steps the condition guards, as if the test had passed. A step cut short by
// the program's ending is not reported, and a test it cuts short fails.
class Steps
{
public:
    Steps(Prompts &prompts, QStringView module, QStringView procedure)
        : m_prompts(prompts), m_location(locationText(module, procedure))
    { }

    template<typename F>
    void step(int line, F &&body)
    {
        m_line = line;
        try {
            body();
        } catch (const ProgramEnding &) {
        } catch (const std::exception &error) {
            report(error);
        } catch (...) {
            reportUnknown();
        }
    }

    template<typename F>
    bool test(int line, F &&condition)
    {
        m_line = line;
        try {
            return static_cast<bool>(condition());
        } catch (const ProgramEnding &) {
            return false;
        } catch (const std::exception &error) {
            report(error);
        } catch (...) {
            reportUnknown();
        }
        return true;
    }

    // The number of the last numbered line started, for a line that has no
    // body of its own (a loop head, an else).
    void mark(int line) { m_line = line; }
    int line() const { return m_line; }
    const QString &location() const { return m_location; }

private:
    void report(const std::exception &error);
    void reportUnknown();

    Prompts &m_prompts;
    QString m_location;
    int m_line = 0;
};
