// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/alignedexport.h"

#include <QTreeWidgetItem>
#include <QWidget>
#include <array>
#include <optional>

class Navigator;
class ProgramState;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// A row of the results list: given word, typed text, result and, for a wrong
// answer, where it went wrong. That is worked out when it is first read, so
// that the window of a long game opens at once. The given word and the typed
// text are kept exactly (Qt::EditRole, as saved) and displayed as the learner
// sees them (AnswerCheck::shown, a very long one cut).
class AnswerRow : public QTreeWidgetItem
{
public:
    AnswerRow(QTreeWidget *list, const QString &given);
    // Fills "Where it went wrong" from the given word and the typed text.
    void tellWhereItWentWrong() { m_tells = true; }
    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant &value) override;

private:
    static constexpr int kTextColumns = 2;
    bool m_tells = false;
    mutable std::optional<QString> m_told;
    mutable std::array<std::optional<QString>, kTextColumns> m_shown;
};

// The results window of a finished game: one row per answer, the counts and
// the score, and the aligned text export. End Game fills and shows it; closing
// it destroys it and brings the main window back.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    // The list's columns: the three that are saved, then where a wrong answer
    // went wrong, which is shown only.
    static constexpr int kExportedColumns = 3;
    static constexpr int kExplanationColumn = 3;

    Form2(ProgramState &state, Navigator &navigator);
    ~Form2() override;

    void Form_Load();
    void PushButton1_Click();
    void PushButton2_Click();
    // "Practise Missed Words": closes the window and starts a game over the
    // words answered wrong.
    void PushButton3_Click();

    // A copy of the saved columns' titles and rows, exactly as answered, as
    // the export reads them.
    ExportTable listTable() const;
    // The different words of the rows answered wrong, in answer order.
    QStringList missedWords() const;
    bool isSaving() const { return m_saving; }

    // Controls, by design name.
    QTreeWidget *ListView1;
    QGroupBox *Frame1;
    QLabel *lblCorrect;
    QLabel *lblWrong;
    QLabel *lblScore;
    // The finish line of a test; empty after a practice game.
    QLabel *Label1;
    QPushButton *PushButton1;
    QPushButton *PushButton2;
    QPushButton *PushButton3;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void Form_Unload();

    ProgramState &m_state;
    Navigator &m_navigator;
    // The name chosen by the previous save, offered again by the next one.
    QString m_saveName;
    bool m_saving = false;
};
