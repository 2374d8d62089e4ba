// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiocontext.h"
#include "core/platform.h"
#include "core/prompts.h"
#include "core/randomsource.h"
#include "core/settingsstore.h"
#include "game/gamestate.h"
#include "program/practicerecord.h"
#include "wordlist/wordstore.h"

#include <QString>
#include <functional>

class AudioPreferences;
class Delay;

// The outside components the program relies on. main() hands in the real
// ones; tests hand in fakes. Left out, the random source and the delay are
// the real ones.
struct Services
{
    Prompts *prompts = nullptr;
    FileDialogs *dialogs = nullptr;
    Launcher *launcher = nullptr;
    SpeechEngine *speech = nullptr;
    SoundPlayer *player = nullptr;
    SettingsStore *settings = nullptr;
    RandomSource *random = nullptr;
    Delay *delay = nullptr;
    // The folder that holds the program, without a trailing separator
    // (except at the root).
    QString programFolder;
    // The practice history file; left empty, the user's own
    // (HistoryStore::defaultPath()).
    QString historyFile;
};

// How the game speaks a word and plays a feedback sound: SpeakWord and
// PlaySound unless a test puts recorders in their place.
struct GameAudio
{
    std::function<void(const QString &)> speakWord;
    std::function<void(bool)> playSound;
};

// The program's state and services, shared by the windows.
class ProgramState
{
public:
    ProgramState(const Services &services, AudioPreferences &audioPreferences);
    ProgramState(const ProgramState &) = delete;
    ProgramState &operator=(const ProgramState &) = delete;

    Prompts &prompts() const { return *m_services.prompts; }
    FileDialogs &dialogs() const { return *m_services.dialogs; }
    Launcher &launcher() const { return *m_services.launcher; }
    SpeechEngine &speech() const { return *m_services.speech; }
    RandomSource &random() const { return *m_services.random; }
    const QString &programFolder() const { return m_services.programFolder; }
    // A file beside the program, e.g. besideProgram(ProgramFiles::kHandPointer).
    QString besideProgram(QStringView literal) const;

    QString ReadSetting(const QString &key, const QString &defaultValue) const;
    QString ReadSetting(const SettingKeys::Number &setting) const;
    void WriteSetting(QStringView key, const QString &value) const;

    // Word lists.
    WordStore dictionary;
    PassRecord usedWords;

    GameState game;
    AudioContext audio;
    GameAudio gameAudio;
    // Every judged answer, for the learner in use, and the Progress window's
    // questions.
    PracticeRecord practiceRecord;

private:
    Services m_services;
};
