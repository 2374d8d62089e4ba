// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiopreferences.h"
#include "program/programstate.h"
#include "widgets/inputqueue.h"
#include "windows/navigator.h"

#include <QPointer>
#include <memory>

class Form1;

// The composition root: builds the program's state on the services it is
// given and the windows on that state, and moves between the windows.
// main() builds it on the real services, the tests on fakes.
class App final : public Navigator
{
public:
    // The input queue is the one the speech engine's waits are told to; the
    // program makes one of its own when none is given.
    explicit App(const Services &services, InputQueue *input = nullptr);
    ~App() override;
    App(const App &) = delete;
    App &operator=(const App &) = delete;

    // Builds the main window and runs its load step, which starts with the
    // given word list when there is one, and with the remembered one if not.
    Form1 &start(const QString &givenList = QString());

    ProgramState &state() { return m_state; }
    Form1 *mainWindow() const { return m_form1.get(); }
    // The results window while it is loaded.
    Form2 *loadedResults() const;
    bool isAudioOptionsLoaded() const { return !m_form3.isNull(); }
    // The Progress window while it is loaded.
    Form4 *loadedProgress() const;
    // The word list editor while it is loaded.
    Form5 *loadedWordListEditor() const;
    // For tests that close windows as if the program were ending.
    void setEnding(bool ending) { m_ending = ending; }

    Form3 &audioOptions() override;
    Form2 &results() override;
    void practise(const QStringList &words) override;
    Form4 &progress(const QString &listPath) override;
    Form5 &wordListEditor(const QString &listPath) override;
    void useWordList(const QString &path) override;
    void showMainWindow() override;
    void returnToMainWindow() override;
    bool ending() const override { return m_ending; }
    void endProgram() override;
    InputQueue &input() override { return *m_input; }

private:
    // The audio preferences as the audio options window holds them; the
    // first read loads the window.
    class Preferences : public AudioPreferences
    {
    public:
        explicit Preferences(App &app) : m_app(app) { }
        int volume() const override;
        int rate() const override;
        int voicePosition() const override;
        bool playSounds() const override;
        bool saySentence() const override;

    private:
        App &m_app;
    };

    std::unique_ptr<InputQueue> m_ownInput;
    InputQueue *m_input;
    Preferences m_preferences{*this};
    ProgramState m_state;
    std::unique_ptr<Form1> m_form1;
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    QPointer<Form4> m_form4;
    QPointer<Form5> m_form5;
    bool m_ending = false;
};
