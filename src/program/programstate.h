#pragma once

#include "audio/soundplayer.h"
#include "audio/speechengine.h"
#include "shell/platform.h"
#include "shell/prompts.h"
#include "shell/settingsstore.h"
#include "wordlist/wordstore.h"

#include <QPointer>
#include <QStringList>
#include <memory>

class Form1;
class Form2;
class Form3;

// The outside components the program relies on. main() hands in the real
// ones; tests hand in fakes.
struct Services
{
    Prompts *prompts = nullptr;
    FileDialogs *dialogs = nullptr;
    Launcher *launcher = nullptr;
    SpeechEngine *speech = nullptr;
    SoundPlayer *player = nullptr;
    SettingsStore *settings = nullptr;
    RandomSource *random = nullptr;
    // The folder that holds the program, without a trailing separator
    // (except at the root).
    QString programFolder;
};

// Program-wide state shared by the windows and the procedures they call.
class Globals
{
public:
    explicit Globals(const Services &services);
    ~Globals();
    Globals(const Globals &) = delete;
    Globals &operator=(const Globals &) = delete;

    Prompts &prompts() const { return *m_services.prompts; }
    FileDialogs &dialogs() const { return *m_services.dialogs; }
    Launcher &launcher() const { return *m_services.launcher; }
    SpeechEngine &speech() const { return *m_services.speech; }
    SoundPlayer &player() const { return *m_services.player; }
    SettingsStore &settings() const { return *m_services.settings; }
    RandomSource &random() const { return *m_services.random; }
    const QString &programFolder() const { return m_services.programFolder; }
    // A file beside the program, e.g. besideProgram(u"\\HAND-M.CUR").
    QString besideProgram(QStringView literal) const;

    QString ReadSetting(const QString &key, const QString &defaultValue) const;
    QString ReadSetting(const QString &key, int defaultValue) const;
    void WriteSetting(const QString &key, const QString &value) const;

    // Word lists.
    WordStore dictionary;
    PassRecord usedWords;

    // The game.
    bool gameStarted = false;
    QStringList givenWords;

    // The voice that speaks the words; replaced for every word.
    std::unique_ptr<SpeechVoice> SpeakingVoice;
    // The main window's voice, used only to list the voices.
    std::unique_ptr<SpeechVoice> VoiceCatalog;

    // Windows. The audio options window is loaded, hidden, by the first
    // reader of its controls; unloading it (closing) destroys it.
    Form1 *form1 = nullptr;
    QPointer<Form2> form2;
    Form3 &form3();
    bool isForm3Loaded() const { return !m_form3.isNull(); }
    // Set while the program ends, so that closing windows do not bring the
    // main window back.
    bool ending = false;

private:
    Services m_services;
    QPointer<Form3> m_form3;
};
