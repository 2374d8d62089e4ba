// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/app.h"
#include "core/settingsstore.h"
#include "fakes.h"
#include "windows/form1.h"

#include <QTemporaryDir>
#include <memory>

// The whole content of a file; empty when it cannot be read.
QByteArray readFile(const QString &path);

// A whole program on fakes: a temporary program folder (with the sample lists
// when asked), settings in a temporary INI file, recorded message boxes.
class TestProgram
{
public:
    TestProgram();
    ~TestProgram();

    // Writes a file beside the program; literal as the program names it,
    // e.g. u"\\Samples\\One-To-Ten.txt".
    QString writeBeside(QStringView literal, const QByteArray &bytes) const;
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    QString path(QStringView literal) const;
    void addSamples() const;

    // Builds the program through its composition root on the fakes, then
    // creates the main window and runs its load step.
    Form1 &start(const QString &givenList = QString());
    ProgramState &state() const { return app->state(); }
    // The program's practice history, in the temporary folder.
    QString historyFile() const { return folder.filePath(QStringLiteral("data/history.sqlite")); }

    QTemporaryDir folder;
    RecordingPrompts prompts;
    FakeFileDialogs dialogs;
    FakeLauncher launcher;
    FakeSpeechEngine speech;
    FakeSoundPlayer player;
    FakeDelay delay;
    ManualPauses pauses;
    // The real speech engine and pauses, for tests that listen to the sound
    // server; left null, `speech` and `pauses`.
    SpeechEngine *realSpeech = nullptr;
    PauseClock *realPauses = nullptr;
    // The sound output of recorded words; left out, the system's default.
    std::function<std::unique_ptr<AudioPlayback>()> recordingOutput;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RandomSource> random;
    std::unique_ptr<App> app;
};
