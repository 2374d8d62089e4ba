// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordlist/wordlistedit.h"

#include <QWidget>

class Navigator;
class ProgramState;
class QLabel;
class QPushButton;
class QTableView;

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
    // Pastes the text as rows after the chosen row, or into the chosen cell
    // when it is a single line without a TAB.
    void pasteText(const QString &text);

    // The file being edited; empty for a new list not yet saved.
    const QString &listPath() const { return m_path; }
    // True when the program cannot save over the file: Save goes to Save As.
    bool isReadOnly() const { return m_readOnly; }
    WordListModel &model() { return m_model; }

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

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // Runs a handler for a user action: what fails is told in a plain message.
    template<typename F>
    void userAction(F &&handler);
    void openList(const QString &path);
    void showList();
    // Saves to the file being edited, or asks for one; false when nothing
    // was saved.
    bool save();
    bool saveAs();
    bool saveTo(const QString &path);
    // Before the list is left: true when it may go (saved, or its changes
    // given up).
    bool mayLeaveList();
    // The chosen row; -1 when none.
    int currentRow() const;

    ProgramState &m_state;
    Navigator &m_navigator;
    WordListModel m_model;
    QString m_path;
    FileStamp m_stamp;
    bool m_readOnly = false;
};
