// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiocontext.h"
#include "audio/audiodevices.h"
#include "audio/recordedparts.h"
#include "audio/speakword.h"
#include "audio/spokenprompt.h"
#include "core/platform.h"
#include "core/prompts.h"
#include "core/randomsource.h"
#include "core/settingsstore.h"
#include "practice/draw.h"
#include "practice/gamestate.h"
#include "program/practicerecord.h"
#include "wordlist/wordstore.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

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
    // The pauses within a word's prompt; left out, a timer.
    PauseClock *pauses = nullptr;
    // Makes the sound output recorded words play through; left out, the
    // system's default output.
    std::function<std::unique_ptr<AudioPlayback>()> recordingOutput;
    // The folder that holds the program, without a trailing separator
    // (except at the root).
    QString programFolder;
    // The practice history file; left empty, the user's own
    // (HistoryStore::defaultPath()).
    QString historyFile;
};

// How the game speaks a word and plays a feedback sound: the word's prompt
// (ProgramState::sayPrompt) and PlaySound unless a test puts recorders in
// their place.
struct GameAudio
{
    std::function<void(const QString &)> speakWord;
    // Ends the prompt under way at once (an answer, the game's end).
    std::function<void()> stopPrompt;
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
    // The file of the list in use, whose recordings the game plays; empty
    // when none is loaded.
    QString listPath;
    PassRecord usedWords;

    // The words a game draws from: the list in use, or while a practice game
    // is set up or runs, only the words it practises.
    const WordStore &gameWords() const { return m_practiceWords ? *m_practiceWords : dictionary; }
    bool isPractising() const { return m_practiceWords.has_value(); }
    // Makes the next game, and the game running, ask only these words (each
    // different word once per pass), until stopPractising(). The list in use
    // stays as it is.
    void practise(const QStringList &words);
    void stopPractising() { m_practiceWords.reset(); }

    // The sentence the game's words give with a word (WordStore::sentenceOf).
    QString sentenceOf(const QString &word) const { return gameWords().sentenceOf(word).toString(); }
    // Asks the word as the game does: the word, or when it has a sentence
    // and the audio options say so, word, sentence, word. Ends the prompt
    // under way first; returns once the word is handed to the engine. A part
    // recorded for the list in use plays from its recording.
    void sayPrompt(const QString &word);

    // Words each pass of a game over the list in use asks first. They belong
    // to the list in use when they are set: loading another list leaves
    // none, and a practice game does not use them.
    void setFirstWords(const QSet<QString> &words);
    const QSet<QString> &firstWords() const;

    // "Copy it right after a miss" (off by default); a value that cannot be
    // read as true or false counts as off. Setting it throws Failure when it
    // cannot be written.
    bool copyAfterMiss() const;
    void setCopyAfterMiss(bool on) const;

    GameState game;
    AudioContext audio;
    GameAudio gameAudio;
    // Every judged answer, for the learner in use, and the Progress window's
    // questions.
    PracticeRecord practiceRecord;

private:
    Services m_services;
    TimerPauseClock m_timerPauses;
    SpeechPartPlayer m_speechParts{audio};
    RecordedParts m_recordedParts;
    RecordedPartPlayer m_partPlayer{m_recordedParts, m_speechParts};
    SpokenPrompt m_prompt;
    std::optional<WordStore> m_practiceWords;
    QSet<QString> m_firstWords;
    quint64 m_firstWordsList = 0;
};
