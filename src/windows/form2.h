// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/alignedexport.h"

#include <QWidget>

class Navigator;
class ProgramState;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// The results window of a finished game: one row per answer, the counts and
// the score, and the aligned text export. End Game fills and shows it; closing
// it destroys it and brings the main window back.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    Form2(ProgramState &state, Navigator &navigator);
    ~Form2() override;

    void Form_Load();
    void PushButton1_Click();
    void PushButton2_Click();

    // A copy of the list's titles and rows, as the export reads them.
    ExportTable listTable() const;
    bool isSaving() const { return m_saving; }

    // Controls, by design name.
    QTreeWidget *ListView1;
    QGroupBox *Frame1;
    QLabel *lblCorrect;
    QLabel *lblWrong;
    QLabel *lblScore;
    QPushButton *PushButton1;
    QPushButton *PushButton2;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Unload();

    ProgramState &m_state;
    Navigator &m_navigator;
    // The name chosen by the previous save, offered again by the next one.
    QString m_saveName;
    bool m_saving = false;
};
