// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordlist/recordingfolder.h"
#include "wordlist/wordlistedit.h"

#include <QWidget>
#include <functional>
#include <memory>

class AudioCapture;
class AudioPlayback;
class ListRecordings;
class Navigator;
class ProgramState;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;
class RecordingPlayer;
class VoiceRecorder;

// The word list editor: the words and sentences of a list in a table, saved
// as a list the game reads. Opening it hides the main window; closing it
// destroys it and brings the main window back.
class Form5 : public QWidget
{
    Q_OBJECT

public:
    Form5(ProgramState &state, Navigator &navigator);
    ~Form5() override;

    // Opens the list at the path; an empty path, or a list that cannot be
    // read (said in a message), starts a new list.
    void Form_Load(const QString &listPath);

    void PushButton1_Click(); // Add Row
    void PushButton2_Click(); // Remove Row
    void PushButton3_Click(); // Paste Rows
    void PushButton4_Click(); // New
    void PushButton5_Click(); // Open...
    void PushButton6_Click(); // Save
    void PushButton7_Click(); // Save As...
    void PushButton8_Click(); // Use This List
    void PushButton10_Click(); // Record Word
    void PushButton11_Click(); // Record Sentence
    void PushButton12_Click(); // Stop
    void PushButton13_Click(); // Play
    void PushButton14_Click(); // Delete Recording
    void PushButton15_Click(); // Keep
    void PushButton16_Click(); // Discard
    // Pastes the text as rows after the chosen row, or into the chosen word
    // or sentence cell when it is a single line without a TAB.
    void pasteText(const QString &text);

    // The file being edited; empty for a new list not yet saved.
    const QString &listPath() const { return m_path; }
    // True when the program cannot save over the file: Save goes to Save As.
    bool isReadOnly() const { return m_readOnly; }
    WordListModel &model() { return m_model; }
    // The recordings of the list being edited; null for a new list.
    ListRecordings *recordings() const { return m_recordings.get(); }
    bool isRecording() const;
    // True while a take waits to be kept or discarded.
    bool hasTake() const { return m_takePending; }

    // Records from and plays through these instead of the system's default
    // devices, and asks the reason why nothing can be recorded of the
    // function (recordingUnavailableReason() otherwise).
    void setAudio(std::unique_ptr<AudioCapture> capture, std::unique_ptr<AudioPlayback> playback,
                  std::function<QString()> unavailableReason);

    // Controls.
    QLabel *Label1;
    QTableView *Grid1;
    QPushButton *PushButton1;
    QPushButton *PushButton2;
    QPushButton *PushButton3;
    QPushButton *PushButton4;
    QPushButton *PushButton5;
    QPushButton *PushButton6;
    QPushButton *PushButton7;
    QPushButton *PushButton8;
    QPushButton *PushButton9;
    // What the last command did, e.g. how many rows a paste added.
    QLabel *Label2;
    QGroupBox *Frame1;
    // The text being recorded, large.
    QLabel *Label3;
    QProgressBar *ProgressBar1;
    QPushButton *PushButton10;
    QPushButton *PushButton11;
    QPushButton *PushButton12;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QPushButton *PushButton13;
    QPushButton *PushButton14;
    QPushButton *PushButton15;
    QPushButton *PushButton16;
    // Why nothing can be recorded, or where the recordings are kept.
    QLabel *Label4;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // Runs a handler for a user action: what fails is told in a plain message.
    template<typename F>
    void userAction(F &&handler);
    void openList(const QString &path);
    // True for the program's own sample lists.
    bool isSample(const QString &path) const;
    void useRecordingsOf(const QString &path);
    void showList();
    // Saves to the file being edited, or asks for one; false when nothing
    // was saved.
    bool save();
    bool saveAs();
    bool saveTo(const QString &path);
    // True unless the file being edited was changed by another program since
    // it was read or saved here and the parent keeps those changes.
    bool mayReplaceFile();
    // True when the file is the main window's list in use.
    bool isInUse(const QString &path) const;
    // Before the list is left: true when it may go (saved, or its changes
    // given up).
    bool mayLeaveList();
    // The chosen row; -1 when none.
    int currentRow() const;
    QString currentWord() const;
    // The word whose recording of the chosen part the chosen row has.
    QString recordedWord() const;
    // Says where the recordings of a row whose word was changed go.
    void wordChanged(int row);
    RecordingPart chosenPart() const;
    void record(RecordingPart part);
    void playTake();
    void dropTake();
    void takeEnded();
    void recordingFailed(const QString &text);
    // Enables what can be done now and says why recording cannot.
    void showRecordingControls();
    VoiceRecorder &recorder();
    RecordingPlayer &player();

    ProgramState &m_state;
    Navigator &m_navigator;
    WordListModel m_model;
    QString m_path;
    FileStamp m_stamp;
    bool m_readOnly = false;

    std::unique_ptr<ListRecordings> m_recordings;
    std::unique_ptr<AudioCapture> m_capture;
    std::unique_ptr<AudioPlayback> m_playback;
    std::function<QString()> m_unavailableReason;
    QString m_unavailable;
    bool m_microphoneAsked = false;
    std::unique_ptr<VoiceRecorder> m_recorder;
    std::unique_ptr<RecordingPlayer> m_player;
    // The take waits for Keep or Discard; Keep only once it was heard.
    bool m_takePending = false;
    bool m_takeHeard = false;
    // The word and part the take or the recording under way is of.
    QString m_takeWord;
    int m_takeRow = -1;
    RecordingPart m_takePart = RecordingPart::Word;
};
