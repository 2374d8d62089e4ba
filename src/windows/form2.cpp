// SPDX-License-Identifier: GPL-3.0-or-later
#include "form2.h"

#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/utilities.h"
#include "practice/answercheck.h"
#include "practice/misspelling.h"
#include "program/programstate.h"
#include "widgets/controls.h"
#include "widgets/handpointer.h"
#include "widgets/inputqueue.h"
#include "widgets/looks.h"
#include "windows/navigator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using Looks::twipsRect;

namespace {

constexpr int kColumnWidth = 2500;
// The window grows to the right by the column that tells where an answer went
// wrong: the list widens to show it, and "Practise Missed Words" takes the
// place beside "Close". The design's controls keep their places.
constexpr int kExplanationWidth = 3600;
constexpr int kClientWidth = 8040 + kExplanationWidth;
constexpr int kClientHeight = 4920;
constexpr int kListWidth = 7800 + kExplanationWidth;

constexpr QStringView kWrong = u"Wrong";
// The score labels reach to their right-hand neighbour, so that large counts
// are not cut off.
constexpr int kLabelTop = 315;
constexpr int kLabelHeight = 225;

} // namespace

AnswerRow::AnswerRow(QTreeWidget *list, const QString &given) : QTreeWidgetItem(list, {given}) { }

QVariant AnswerRow::data(int column, int role) const
{
    if (m_tells && column == Form2::kExplanationColumn && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        if (!m_told)
            m_told = Misspelling::explain(QTreeWidgetItem::data(1, role).toString(),
                                          QTreeWidgetItem::data(0, role).toString());
        return *m_told;
    }
    if (column < kTextColumns && role == Qt::DisplayRole) {
        std::optional<QString> &shown = m_shown[std::size_t(column)];
        if (!shown)
            shown = AnswerCheck::shown(QTreeWidgetItem::data(column, Qt::EditRole).toString(),
                                       AnswerCheck::kLongestShown);
        return *shown;
    }
    return QTreeWidgetItem::data(column, role);
}

void AnswerRow::setData(int column, int role, const QVariant &value)
{
    if (column >= 0 && column < kTextColumns)
        m_shown[std::size_t(column)].reset();
    QTreeWidgetItem::setData(column, role, value);
}

Form2::Form2(ProgramState &state, Navigator &navigator) : QWidget(nullptr), m_state(state), m_navigator(navigator)
{
    setObjectName(u"Form2"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    setWindowTitle(u"Results"_s);
    setFont(Looks::windowFont());
    Looks::fixWindow(this, kClientWidth, kClientHeight, false);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(u"ListView1"_s);
    ListView1->setAccessibleName(u"Answers"_s);
    ListView1->setGeometry(twipsRect(120, 120, kListWidth, 3375));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setColumnCount(0);

    Frame1 = Controls::frame(this, "Frame1", u"Results"_s, twipsRect(120, 3540, 7800, 735));
    lblCorrect = Controls::label(Frame1, "lblCorrect", u"Correct:"_s,
                                 twipsRect(300, kLabelTop, 3285 - 300 - 120, kLabelHeight), u"Correct answers"_s);
    lblWrong = Controls::label(Frame1, "lblWrong", u"Wrong:"_s,
                               twipsRect(3285, kLabelTop, 5880 - 3285 - 120, kLabelHeight), u"Wrong answers"_s);
    lblScore = Controls::label(Frame1, "lblScore", u"Score:"_s,
                               twipsRect(5880, kLabelTop, 7800 - 5880 - 120, kLabelHeight), u"Score"_s);

    // Beside the results, in the room the wider list leaves: how a test went;
    // hidden after a practice game.
    Label1 = Controls::label(this, "Label1", QString(), twipsRect(8040, 3600, kClientWidth - 8040 - 120, 675),
                             u"How the test went"_s);
    Label1->setWordWrap(true);
    Label1->hide();

    PushButton1 = Controls::button(this, "PushButton1", u"Save Results"_s, twipsRect(120, 4390, 3840, 405));
    PushButton2 = Controls::button(this, "PushButton2", u"Close"_s, twipsRect(4080, 4390, 3840, 405));
    PushButton3 = Controls::button(this, "PushButton3", u"Practise Missed Words"_s,
                                   twipsRect(8040, 4390, kClientWidth - 8040 - 120, 405));
    PushButton3->setEnabled(false);
    Controls::closeOnEscape(this, PushButton2);

    // Saving yields once per cell; what the user does meanwhile waits for it.
    InputQueue &input = m_navigator.input();
    input.watch(this);
    connect(PushButton1, &QPushButton::clicked, this,
            [this, &input] { input.run(this, [this] { PushButton1_Click(); }); });
    connect(PushButton2, &QPushButton::clicked, this,
            [this, &input] { input.run(this, [this] { PushButton2_Click(); }); });
    connect(PushButton3, &QPushButton::clicked, this,
            [this, &input] { input.run(this, [this] { PushButton3_Click(); }); });
}

void Form2::Form_Load()
{
    Steps s(m_state.prompts(), u"Form2", u"Form_Load");
    s.step(100, [&] { Looks::ApplyStandardColours(this); });
    s.step(102, [&] { setWindowIcon(QApplication::windowIcon()); });
    if (s.test(104, [&] { return FileExists(m_state.besideProgram(ProgramFiles::kHandPointer)); })) {
        s.step(106, [&] {
            installHandPointer(
                m_state.besideProgram(ProgramFiles::kHandPointer), this, {PushButton1, PushButton2, PushButton3},
                {this, ListView1, ListView1->viewport(), ListView1->header(), Frame1, lblCorrect, lblWrong, lblScore});
        });
    }
    s.step(108, [&] {
        ListView1->setHeaderLabels({u"Given word"_s, u"Your spelling"_s, u"Result"_s, u"Where it went wrong"_s});
    });
    s.step(110, [&] { ListView1->setColumnWidth(0, Looks::px(kColumnWidth)); });
    s.step(112, [&] { ListView1->setColumnWidth(1, Looks::px(kColumnWidth)); });
    s.step(114, [&] { ListView1->setColumnWidth(2, Looks::px(kColumnWidth)); });
    s.step(116, [&] { ListView1->setColumnWidth(kExplanationColumn, Looks::px(kExplanationWidth)); });
}

ExportTable Form2::listTable() const
{
    ExportTable table;
    const QTreeWidgetItem *header = ListView1->headerItem();
    const int columns = std::min(ListView1->columnCount(), kExportedColumns);
    for (int column = 0; column < columns; ++column)
        table.titles.append(header->text(column));
    const int count = ListView1->topLevelItemCount();
    table.rows.reserve(count);
    for (int row = 0; row < count; ++row) {
        const QTreeWidgetItem *item = ListView1->topLevelItem(row);
        QStringList cells;
        cells.reserve(columns);
        for (int column = 0; column < columns; ++column)
            cells.append(item->data(column, Qt::EditRole).toString());
        table.rows.append(std::move(cells));
    }
    return table;
}

void Form2::PushButton1_Click()
{
    Steps s(m_state.prompts(), u"Form2", u"PushButton1_Click");
    QString fileName;
    s.step(100, [&] {
        fileName = m_state.dialogs().saveFile(this, u"Save"_s, u"Text Files (*.txt);;All Files (*.*)"_s, m_saveName);
    });
    if (s.test(102, [&] { return fileName.isEmpty(); }))
        return;
    m_saveName = fileName;
    m_saving = true;
    const auto done = qScopeGuard([this] { m_saving = false; });
    QString summary;
    s.step(104, [&] { setCursor(Qt::WaitCursor); });
    s.step(106, [&] { summary = lblCorrect->text() + u' ' + lblWrong->text() + u' ' + lblScore->text(); });
    s.step(108,
           [&] { SaveListviewProperlySpaced(m_state.prompts(), listTable(), fileName, summary, throttledYield()); });
    s.step(110, [&] { setCursor(Qt::ArrowCursor); });
}

void Form2::PushButton2_Click()
{
    Steps s(m_state.prompts(), u"Form2", u"PushButton2_Click");
    s.step(100, [&] { m_navigator.showMainWindow(); });
    s.step(102, [&] { m_navigator.input().close(this); });
}

QStringList Form2::missedWords() const
{
    QStringList words;
    QSet<QString> seen;
    const int count = ListView1->topLevelItemCount();
    for (int row = 0; row < count; ++row) {
        const QTreeWidgetItem *item = ListView1->topLevelItem(row);
        const QString given = item->data(0, Qt::EditRole).toString();
        if (item->text(2) == kWrong && !seen.contains(given)) {
            seen.insert(given);
            words.append(given);
        }
    }
    return words;
}

void Form2::PushButton3_Click()
{
    Steps s(m_state.prompts(), u"Form2", u"PushButton3_Click");
    QStringList words;
    s.step(100, [&] { words = missedWords(); });
    s.step(102, [&] { m_navigator.input().close(this); });
    s.step(104, [&] { m_navigator.practise(words); });
}

void Form2::showEvent(QShowEvent *event)
{
    // The rows are in place when End Game shows the window.
    bool missed = false;
    for (int row = 0; row < ListView1->topLevelItemCount() && !missed; ++row)
        missed = ListView1->topLevelItem(row)->text(2) == kWrong;
    PushButton3->setEnabled(missed);
    QWidget::showEvent(event);
}

void Form2::closeEvent(QCloseEvent *event)
{
    // Closing during a save would take the list away from under the export.
    if (m_saving && !m_navigator.ending()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form2::Form_Unload()
{
    m_navigator.returnToMainWindow();
}
