// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/practicerecord.h"

#include <QWidget>
#include <memory>

class Navigator;
class ProgramState;
class QCheckBox;
class QComboBox;
class QGraphicsView;
class QLabel;
class QPushButton;
class QTreeView;
class ScoreChart;
class TextTable;

// The Progress window: for the learner in use and the list in use, the past
// games (a table and a chart of the same scores), the words to work on, and
// the choices about the practice history. Opening it hides the main window;
// closing it destroys it and brings the main window back.
class Form4 : public QWidget
{
    Q_OBJECT

public:
    Form4(ProgramState &state, Navigator &navigator);
    ~Form4() override;

    // Fills the window for the list at the path, which the program holds.
    void Form_Load(const QString &listPath);

    void Combo1_Click();
    void PushButton1_Click();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton5_Click();

    // What the tables show.
    const QList<GameSummary> &pastGames() const { return m_games; }
    const QList<WordToWorkOn> &wordsToWorkOn() const { return m_words; }
    TextTable *gamesTable() const { return m_gamesTable; }
    TextTable *wordsTable() const { return m_wordsTable; }

    // Controls.
    QLabel *Label1;
    QComboBox *Combo1;
    QPushButton *PushButton1;
    QTreeView *ListView1;
    QGraphicsView *Chart1;
    QLabel *Label2;
    QTreeView *ListView2;
    QCheckBox *Check1;
    QCheckBox *Check2;
    QCheckBox *Check3;
    QPushButton *PushButton2;
    QPushButton *PushButton3;
    QPushButton *PushButton4;
    QPushButton *PushButton5;
    // Shown, below the buttons, only while answers are not being kept.
    QLabel *Label3;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    // Reads the learners and the learner's record again and shows them.
    void refresh();
    void showLearners();
    void showGames();
    void showWords();
    // Says when new answers are not being kept, and why.
    void showRecording();
    // Runs a handler for a user action: what fails is told in a plain message.
    template<typename F>
    void userAction(F &&handler);
    PracticeRecord &record() const;

    ProgramState &m_state;
    Navigator &m_navigator;
    QString m_listPath;
    QList<GameSummary> m_games;
    QList<WordToWorkOn> m_words;
    TextTable *m_gamesTable;
    TextTable *m_wordsTable;
    std::unique_ptr<ScoreChart> m_chart;
    // The name chosen by the previous save, offered again by the next one.
    // The first save offers a list name the open dialog shows.
    QString m_saveName = QStringLiteral("Words To Work On.dic");
};
