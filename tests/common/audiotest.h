// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "testprogram.h"
#include "windows/form3.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

// Helpers shared by the audio tests.
namespace AudioTest {

inline const QString kAbsent = QStringLiteral("<absent>");

// The step numbers of the error reports that name this location, in order.
inline QList<int> reportedLines(const RecordingPrompts &prompts, const QString &location)
{
    QList<int> lines;
    const QRegularExpression pattern(QRegularExpression::escape(location) + QStringLiteral("at line (\\d+)\r\r"));
    for (const QString &text : prompts.errors()) {
        const auto match = pattern.match(text);
        if (match.hasMatch())
            lines.append(match.captured(1).toInt());
    }
    return lines;
}

// Writes the settings ("key=text" each; kAbsent leaves the key out), then
// starts the program with the sample lists beside it.
inline Form1 &startWith(TestProgram &program, const QStringList &settings = {})
{
    for (const QString &entry : settings) {
        const qsizetype equals = entry.indexOf(u'=');
        const QString value = entry.mid(equals + 1);
        if (value != kAbsent)
            program.settings->WriteSetting(entry.left(equals), value);
    }
    program.addSamples();
    return program.start();
}

inline QString setting(const TestProgram &program, const QString &key)
{
    return program.settings->ReadSetting(key, kAbsent);
}

// The calls logged for the voice with that number, without the number.
inline QStringList callsOfVoice(const SpeechLog &log, int id)
{
    QStringList calls;
    const QString prefix = QString::number(id) + u':';
    for (const QString &call : log.calls) {
        if (call.startsWith(prefix))
            calls.append(call.mid(prefix.size()));
    }
    return calls;
}

} // namespace AudioTest
