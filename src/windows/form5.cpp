// SPDX-License-Identifier: GPL-3.0-or-later
#include "form5.h"

#include "core/apptitle.h"
#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/utilities.h"
#include "program/programstate.h"
#include "widgets/controls.h"
#include "widgets/inputqueue.h"
#include "widgets/looks.h"
#include "windows/navigator.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

using namespace Qt::StringLiterals;
using Looks::twipsRect;

namespace {

constexpr int kClientWidth = 8040;
constexpr int kClientHeight = 6270;

const QString kFilter = u"Dictionary File (*.dic);;All Files (*.*)"_s;

QString shownName(const QString &path)
{
    return path.isEmpty() ? u"New list"_s : QFileInfo(path).fileName();
}

} // namespace

Form5::Form5(ProgramState &state, Navigator &navigator) : QWidget(nullptr), m_state(state), m_navigator(navigator)
{
    setObjectName(u"Form5"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
}

Form5::~Form5() = default;

void Form5::buildControls()
{
    setFont(Looks::windowFont());
    Looks::fixWindow(this, kClientWidth, kClientHeight, true);

    Label1 = Controls::label(this, "Label1", QString(), twipsRect(120, 120, 7800, 255), Qt::AlignLeft,
                             u"The word list being edited"_s);

    Grid1 = new QTableView(this);
    Grid1->setObjectName(u"Grid1"_s);
    Grid1->setAccessibleName(u"Words and sentences"_s);
    Grid1->setAccessibleDescription(u"One row a word: the word, then the sentence said with it"_s);
    Grid1->setGeometry(twipsRect(120, 480, 7800, 3720));
    Grid1->setModel(&m_model);
    Grid1->setWordWrap(false);
    Grid1->setTabKeyNavigation(false);
    Grid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                           | QAbstractItemView::AnyKeyPressed);
    // Fixed rows and columns: sizing them to their contents would read every
    // row of a list of tens of thousands.
    Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid1->horizontalHeader()->setStretchLastSection(true);
    Grid1->setColumnWidth(WordListModel::WordColumn, Looks::px(2400));
    Grid1->installEventFilter(this);

    PushButton1 = Controls::button(this, "PushButton1", u"Add Row"_s, twipsRect(120, 4320, 2520, 405));
    PushButton2 = Controls::button(this, "PushButton2", u"Remove Row"_s, twipsRect(2760, 4320, 2520, 405));
    PushButton3 = Controls::button(this, "PushButton3", u"Paste Rows"_s, twipsRect(5400, 4320, 2520, 405));
    PushButton3->setAccessibleDescription(u"Adds rows copied from a spreadsheet or a text: the word, a TAB, "
                                          "the sentence, one row a line"_s);
    PushButton4 = Controls::button(this, "PushButton4", u"New"_s, twipsRect(120, 4845, 1860, 405));
    PushButton5 = Controls::button(this, "PushButton5", u"Open..."_s, twipsRect(2100, 4845, 1860, 405));
    PushButton6 = Controls::button(this, "PushButton6", u"Save"_s, twipsRect(4080, 4845, 1860, 405));
    PushButton7 = Controls::button(this, "PushButton7", u"Save As..."_s, twipsRect(6060, 4845, 1860, 405));
    PushButton8 = Controls::button(this, "PushButton8", u"Use This List"_s, twipsRect(120, 5370, 3840, 405));
    PushButton8->setAccessibleDescription(u"Practise this list in the game"_s);
    PushButton9 = Controls::button(this, "PushButton9", u"Close"_s, twipsRect(4080, 5370, 3840, 405));
    Label2 = Controls::label(this, "Label2", QString(), twipsRect(120, 5895, 7800, 255), Qt::AlignLeft,
                             u"What the last command did"_s);

    const QList<QWidget *> tabOrder{Grid1,       PushButton1, PushButton2, PushButton3, PushButton4,
                                    PushButton5, PushButton6, PushButton7, PushButton8, PushButton9};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    InputQueue &input = m_navigator.input();
    input.watch(this);
    const auto inTurn = [this, &input](void (Form5::*handler)()) {
        return [this, &input, handler] {
            input.run(this, [this, handler] { userAction([this, handler] { (this->*handler)(); }); });
        };
    };
    connect(PushButton1, &QPushButton::clicked, this, inTurn(&Form5::PushButton1_Click));
    connect(PushButton2, &QPushButton::clicked, this, inTurn(&Form5::PushButton2_Click));
    connect(PushButton3, &QPushButton::clicked, this, inTurn(&Form5::PushButton3_Click));
    connect(PushButton4, &QPushButton::clicked, this, inTurn(&Form5::PushButton4_Click));
    connect(PushButton5, &QPushButton::clicked, this, inTurn(&Form5::PushButton5_Click));
    connect(PushButton6, &QPushButton::clicked, this, inTurn(&Form5::PushButton6_Click));
    connect(PushButton7, &QPushButton::clicked, this, inTurn(&Form5::PushButton7_Click));
    connect(PushButton8, &QPushButton::clicked, this, inTurn(&Form5::PushButton8_Click));
    connect(PushButton9, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_model, &WordListModel::modifiedChanged, this, [this] { showList(); });
}

template<typename F>
void Form5::userAction(F &&handler)
{
    try {
        handler();
    } catch (const ProgramEnding &) {
    } catch (const std::exception &error) {
        m_state.prompts().message(describe(error));
    }
}

void Form5::Form_Load(const QString &listPath)
{
    Looks::ApplyStandardColours(this);
    setWindowIcon(QApplication::windowIcon());
    setWindowTitle(kProductName.toString() + u" - "_s + u"Word List"_s);
    userAction([&] { openList(listPath); });
    showList();
}

void Form5::openList(const QString &path)
{
    // What cannot be read leaves a new list, so the window always opens.
    m_path.clear();
    m_stamp = FileStamp();
    m_readOnly = false;
    m_model.setRows({});
    if (path.isEmpty())
        return;
    setCursor(Qt::WaitCursor);
    QList<WordListRow> rows;
    try {
        rows = WordListEdit::read(path);
    } catch (...) {
        setCursor(Qt::ArrowCursor);
        throw;
    }
    setCursor(Qt::ArrowCursor);
    m_model.setRows(std::move(rows));
    m_path = path;
    m_stamp = FileStamp::of(path);
    // The program's own samples stay as shipped: a parent's changes go to a
    // copy of their own.
    const QString samples = QFileInfo(m_state.besideProgram(ProgramFiles::kFirstSample)).absolutePath();
    m_readOnly = !WordListEdit::canWrite(path) || QFileInfo(path).absolutePath() == samples;
    Grid1->setCurrentIndex(m_model.index(0, WordListModel::WordColumn));
}

void Form5::showList()
{
    QString text = shownName(m_path);
    if (m_model.isModified())
        text += u" (changed)"_s;
    if (m_readOnly)
        text += u" - read-only: use Save As... to keep your changes in a copy"_s;
    Label1->setText(text);
    Label1->setToolTip(QDir::toNativeSeparators(m_path));
}

int Form5::currentRow() const
{
    const QModelIndex current = Grid1->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Form5::PushButton1_Click()
{
    const int row = currentRow() < 0 ? m_model.rowCount() : currentRow() + 1;
    m_model.insertRows(row, 1);
    const QModelIndex cell = m_model.index(row, WordListModel::WordColumn);
    Grid1->setCurrentIndex(cell);
    Grid1->setFocus();
    Grid1->edit(cell);
}

void Form5::PushButton2_Click()
{
    // Chosen rows go from the last up, so that the rows still to go keep
    // their numbers.
    QList<int> rows;
    const QModelIndexList chosen = Grid1->selectionModel()->selectedIndexes();
    for (const QModelIndex &index : chosen)
        rows.append(index.row());
    if (rows.isEmpty() && currentRow() >= 0)
        rows.append(currentRow());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    while (!rows.isEmpty()) {
        int first = rows.takeLast();
        const int last = first;
        while (!rows.isEmpty() && rows.last() == first - 1)
            first = rows.takeLast();
        m_model.removeRows(first, last - first + 1);
    }
    Label2->clear();
}

void Form5::PushButton3_Click()
{
    pasteText(QGuiApplication::clipboard()->text());
}

void Form5::pasteText(const QString &text)
{
    const QModelIndex current = Grid1->currentIndex();
    if (current.isValid() && !text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'\r')) {
        if (current.column() <= WordListModel::SentenceColumn)
            m_model.setData(current, text, Qt::EditRole);
        return;
    }
    const int row = current.isValid() ? current.row() + 1 : m_model.rowCount();
    const int added = m_model.paste(row, text);
    if (added > 0) {
        Grid1->setCurrentIndex(m_model.index(row, WordListModel::WordColumn));
        Grid1->scrollTo(Grid1->currentIndex());
    }
    Label2->setText(added == 1 ? u"1 row added."_s : u"%1 rows added."_s.arg(added));
}

bool Form5::mayLeaveList()
{
    if (!m_model.isModified())
        return true;
    if (!m_state.prompts().question(u"Save the changes to %1?"_s.arg(shownName(m_path))))
        return true;
    return save();
}

void Form5::PushButton4_Click()
{
    if (!mayLeaveList())
        return;
    openList(QString());
    showList();
    Label2->clear();
}

void Form5::PushButton5_Click()
{
    if (!mayLeaveList())
        return;
    const QString chosen = m_state.dialogs().openFile(this, u"Open Word List"_s, kFilter);
    if (chosen.isEmpty())
        return;
    try {
        openList(chosen);
    } catch (...) {
        showList();
        throw;
    }
    showList();
    Label2->clear();
}

void Form5::PushButton6_Click()
{
    save();
}

void Form5::PushButton7_Click()
{
    saveAs();
}

bool Form5::save()
{
    if (m_path.isEmpty() || m_readOnly)
        return saveAs();
    const FileStamp now = FileStamp::of(m_path);
    if (now.exists() && now != m_stamp
        && !m_state.prompts().question(u"%1 was changed by another program after it was opened here. "
                                       "Save over those changes?"_s.arg(shownName(m_path))))
        return false;
    return saveTo(m_path);
}

bool Form5::saveAs()
{
    QString proposed = m_path.isEmpty() ? u"Word List.dic"_s : m_path;
    // A list is offered under the ending the open dialog shows.
    if (QFileInfo(proposed).suffix().compare(u"dic"_s, Qt::CaseInsensitive) != 0)
        proposed = QFileInfo(proposed).completeBaseName() + u".dic"_s;
    const QString chosen = m_state.dialogs().saveFile(this, u"Save Word List As"_s, kFilter, proposed);
    if (chosen.isEmpty())
        return false;
    if (chosen != m_path && QFileInfo::exists(chosen)
        && !m_state.prompts().question(u"%1 already exists. Replace it?"_s.arg(QFileInfo(chosen).fileName())))
        return false;
    if (!saveTo(chosen))
        return false;
    m_readOnly = false;
    showList();
    return true;
}

bool Form5::saveTo(const QString &path)
{
    // A Save that fails leaves the file and the changes as they were.
    try {
        WordListEdit::save(path, m_model.rows());
    } catch (const std::exception &error) {
        m_state.prompts().message(describe(error));
        return false;
    }
    m_path = path;
    m_stamp = FileStamp::of(path);
    m_model.setModified(false);
    showList();
    Label2->setText(u"Saved."_s);
    return true;
}

void Form5::PushButton8_Click()
{
    // The game reads the file, so the list is saved first.
    if (m_path.isEmpty() || m_model.isModified()) {
        if (!save())
            return;
    }
    m_navigator.useWordList(m_path);
    Label2->setText(u"This list is now the list in use."_s);
}

void Form5::closeEvent(QCloseEvent *event)
{
    if (!m_navigator.ending() && !mayLeaveList()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    m_navigator.returnToMainWindow();
}

bool Form5::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+V on the table pastes rows; in a cell being typed in, the cell's
    // own editor has the key.
    if (watched == Grid1 && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        m_navigator.input().run(this, [this] { userAction([this] { PushButton3_Click(); }); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
