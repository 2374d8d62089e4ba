// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/practicerecord.h"
#include "program/progressdays.h"

#include <QWidget>
#include <memory>
#include <optional>

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

// The Progress window: for the learner in use and the list in use, or
// another list the learner played, the past games (a table, and a chart of
// the share of answers right per day), the words to work on and the words
// secure, the report to save, and the choices about the practice history.
// Opening it hides the main window; closing it destroys it and brings the
// main window back.
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
    void Combo2_Click();
    void PushButton6_Click();

    // What the tables show.
    const QList<GameSummary> &pastGames() const { return m_progress.games; }
    const QList<WordToWorkOn> &wordsToWorkOn() const { return m_progress.toWorkOn; }
    const ListProgress &listProgress() const { return m_progress; }
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
    // The list shown: the list in use, or another the learner played.
    QLabel *Label4;
    QComboBox *Combo2;
    // In the chart's place while there is no game to chart.
    QLabel *Label5;
    // How many words are to work on and how many are secure.
    QLabel *Label6;
    QPushButton *PushButton6;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    // Reads the learners and the learner's record again and shows them.
    void refresh();
    void showLearners();
    void showLists();
    void showChart();
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
    // The learner's other lists, as Combo2 offers them after the list in use.
    QList<PlayedList> m_otherLists;
    // The other list shown; none while the list in use is.
    std::optional<WordListId> m_shownList;
    QString m_shownName;
    ListProgress m_progress;
    // The games' local times as the table shows them.
    LocalClock m_clock;
    TextTable *m_gamesTable;
    TextTable *m_wordsTable;
    std::unique_ptr<ScoreChart> m_chart;
    // The name chosen by the previous save, offered again by the next one.
    // The first save offers a list name the open dialog shows.
    QString m_saveName = QStringLiteral("Words To Work On.dic");
    QString m_reportName = QStringLiteral("Spelling Progress.pdf");
};
