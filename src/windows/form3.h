// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audiopreferences.h"

#include <QWidget>
#include <vector>

class Navigator;
class ProgramState;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

// The audio options window. Its controls hold the audio preferences for the
// whole program, and every change is saved at once. Closing the window
// unloads it; the next reader of the preferences loads it again, hidden.
class Form3 : public QWidget, public AudioPreferences
{
    Q_OBJECT

public:
    Form3(ProgramState &state, Navigator &navigator);
    ~Form3() override;

    int volume() const override;
    int rate() const override;
    int voicePosition() const override;
    bool playSounds() const override;
    bool saySentence() const override;

    void Form_Load();
    void Form_Activate();

    void Slider1_Change();
    void Slider2_Change();
    void Combo1_Click();
    void Option1_Click();
    void Option2_Click();
    void PushButton14_Click();
    void PushButton9_Click();
    void PushButton4_Click();
    void PushButton1_Click();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();

    // The voice list as the voice-list refresh fills it: clearing and
    // appending leave the saved choice alone; selecting runs Combo1_Click,
    // whose failures pass to the caller. Positions are those of the
    // engine's voice list, of which the voice list may leave some out; they
    // are added in increasing order.
    void clearVoices();
    void addVoice(const QString &description, int position);
    // Throws Failure for a position that is neither -1 nor listed.
    void setVoiceIndex(int position);
    // Whether the voice list is to show every voice (Check1).
    bool showsAllVoices() const;

    // Controls, by design name.
    QGroupBox *Frame1;
    QSlider *Slider1;
    QLabel *Label4;
    QLabel *lblVolume;
    QLabel *Label3;
    QGroupBox *Frame4;
    QSlider *Slider2;
    QPushButton *PushButton14;
    QLabel *Label6;
    QLabel *lblSpeed;
    QLabel *Label5;
    QGroupBox *Frame2;
    QComboBox *Combo1;
    QPushButton *PushButton9;
    QPushButton *PushButton4;
    QGroupBox *Frame3;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QPushButton *PushButton1;
    QCheckBox *Check1;
    QCheckBox *Check2;
    QCheckBox *Check3;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void saveOptions();
    void setOption(QRadioButton *option, bool selected);
    // The engine's position of the voice selected in the list; -1 for none.
    int selectedPosition() const;
    void Form_Unload();
    // Runs a handler without a report of its own for a user action; the
    // framework cannot take its failures, so they are shown here, at the
    // step the handler had reached (m_handlerLine).
    template<typename F>
    void userAction(QStringView procedure, F &&handler);

    ProgramState &m_state;
    Navigator &m_navigator;
    QButtonGroup *m_soundOptions;
    // Set when the window lost the focus to a modal box of this program, so
    // that coming back from the box does not count as opening the window.
    bool m_deactivatedByModal = false;
    // The numbered line in force in Combo1_Click, Option1_Click or
    // Option2_Click. Their failures pass to whoever called them; only one
    // run for the user is reported with it.
    int m_handlerLine = 0;
    // The engine's position of each entry of the voice list.
    std::vector<int> m_positions;
};
