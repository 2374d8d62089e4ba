// SPDX-License-Identifier: GPL-3.0-or-later
#include "form4.h"

#include "core/apptitle.h"
#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/utilities.h"
#include "practice/answercheck.h"
#include "practice/misspelling.h"
#include "program/learnerchoice.h"
#include "program/programstate.h"
#include "program/progressdays.h"
#include "program/progressreport.h"
#include "program/wordsfirst.h"
#include "widgets/controls.h"
#include "widgets/handpointer.h"
#include "widgets/inputqueue.h"
#include "widgets/looks.h"
#include "widgets/texttable.h"
#include "windows/navigator.h"
#include "windows/scorechart.h"
#include "wordlist/wordlistfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGraphicsView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The window opens at least this large (pixels), so that the chart is read
// at a glance.
constexpr QSize kOpeningSize{760, 640};
constexpr QSize kSmallestChart{360, 220};
// Days are marked on the line while they can be told apart.
constexpr qsizetype kMostMarkedPoints = 100;
// Dates under the chart, at most.
constexpr int kMostDateLabels = 6;

QString playedText(const QDateTime &local)
{
    return local.toString(u"yyyy-MM-dd HH:mm"_s);
}

QString percentText(qint64 score)
{
    return QString::number(score) + u'%';
}

QString listName(const QString &path)
{
    const QString name = FileNameOf(QDir::fromNativeSeparators(path));
    return name.isEmpty() ? u"Untitled"_s : AnswerCheck::shown(name, AnswerCheck::kLongestShown);
}

bool sameList(const WordListId &a, const WordListId &b)
{
    return a.path == b.path || a.wordsHash == b.wordsHash;
}

// Each column as wide as its texts and title.
void fitColumns(QTreeView *view)
{
    for (int column = 0; column < view->model()->columnCount(); ++column)
        view->resizeColumnToContents(column);
}

// The width a view needs to show every column whole.
int neededWidth(const QTreeView *view)
{
    return view->header()->length() + 2 * view->frameWidth() + view->verticalScrollBar()->sizeHint().width();
}

} // namespace

Form4::Form4(ProgramState &state, Navigator &navigator) : QWidget(nullptr), m_state(state), m_navigator(navigator)
{
    setObjectName(u"Form4"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
}

Form4::~Form4() = default;

PracticeRecord &Form4::record() const
{
    return m_state.practiceRecord;
}

void Form4::buildControls()
{
    setFont(Looks::windowFont());

    Label1 = Controls::label(this, "Label1", u"Learner:"_s, QRect(), Qt::AlignLeft | Qt::AlignVCenter,
                             u"The learner whose practice is shown"_s);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(u"Combo1"_s);
    // A name of thousands of letters widens the list it drops, not the window.
    Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo1->setMinimumContentsLength(24);
    Label1->setBuddy(Combo1);
    PushButton1 = Controls::button(this, "PushButton1", u"New Learner..."_s, QRect());

    Label4 = Controls::label(this, "Label4", u"List:"_s, QRect(), Qt::AlignLeft | Qt::AlignVCenter,
                             u"The word list whose practice is shown"_s);
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(u"Combo2"_s);
    // Likewise a long list name.
    Combo2->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo2->setMinimumContentsLength(24);
    Label4->setBuddy(Combo2);

    m_gamesTable = new TextTable({u"Played"_s, u"Answered"_s, u"Correct"_s, u"Score"_s}, this);
    ListView1 = Controls::tableView(this, "ListView1", m_gamesTable, QRect(), u"Past games"_s);
    ListView1->setAccessibleDescription(u"Newest first"_s);

    m_chart = makeScoreChart(this);
    Chart1 = m_chart->view();
    Chart1->setObjectName(u"Chart1"_s);
    Chart1->setMinimumSize(kSmallestChart);
    // The chart shows the scores of the table beside it, which is its text
    // for a screen reader and the keyboard.
    Chart1->setAccessibleName(u"Score per day"_s);
    Chart1->setAccessibleDescription(u"A chart of the share of answers right each day, of the games listed in"
                                     " Past games"_s);
    Chart1->setFocusPolicy(Qt::NoFocus);
    Label5 = Controls::label(this, "Label5", u"No games yet"_s, QRect(), Qt::AlignCenter,
                             u"The chart of the scores, which has nothing to show"_s);
    Label5->setMinimumSize(kSmallestChart);
    auto *chartPlace = new QWidget(this);
    auto *chartStack = new QStackedLayout(chartPlace);
    chartStack->setContentsMargins(QMargins());
    chartStack->addWidget(Chart1);
    chartStack->addWidget(Label5);

    Label2 = Controls::label(this, "Label2", u"Words To Work On"_s, QRect(),
                             u"The words missed and not yet answered right in two later games"_s);
    Label6 = Controls::label(this, "Label6", QString(), QRect(), Qt::AlignRight | Qt::AlignVCenter,
                             u"Words secure: right in two separate later games"_s);
    m_wordsTable
        = new TextTable({u"Word"_s, u"Asked"_s, u"Wrong"_s, u"Last spelling"_s, u"Where it went wrong"_s}, this);
    ListView2 = Controls::tableView(this, "ListView2", m_wordsTable, QRect(), u"Words To Work On"_s);
    Label2->setBuddy(ListView2);

    Check1 = Controls::checkBox(this, "Check1", u"Keep practice history"_s, QRect());
    Check2 = Controls::checkBox(this, "Check2", u"Ask words to work on first"_s, QRect());
    Check3 = Controls::checkBox(this, "Check3", u"Copy it right after a miss"_s, QRect());
    PushButton2 = Controls::button(this, "PushButton2", u"Practise Words To Work On"_s, QRect());
    PushButton3 = Controls::button(this, "PushButton3", u"Save Words To Work On..."_s, QRect());
    PushButton6 = Controls::button(this, "PushButton6", u"Save Report..."_s, QRect());
    PushButton4 = Controls::button(this, "PushButton4", u"Forget History..."_s, QRect());
    PushButton5 = Controls::button(this, "PushButton5", u"Close"_s, QRect());
    Controls::closeOnEscape(this, PushButton5);

    Label3 = Controls::label(this, "Label3", QString(), QRect(),
                             u"Whether new answers are kept in the practice history"_s);
    Label3->setWordWrap(true);
    Label3->hide();

    auto *choices = new QGridLayout();
    choices->addWidget(Label1, 0, 0);
    choices->addWidget(Combo1, 0, 1);
    choices->addWidget(PushButton1, 0, 2);
    choices->addWidget(Label4, 1, 0);
    choices->addWidget(Combo2, 1, 1, 1, 2);
    choices->setColumnStretch(1, 1);

    // The table and the chart share the width, the chart a little more.
    auto *games = new QHBoxLayout();
    games->addWidget(ListView1, 2);
    games->addWidget(chartPlace, 3);

    auto *wordsTitle = new QHBoxLayout();
    wordsTitle->addWidget(Label2);
    wordsTitle->addStretch();
    wordsTitle->addWidget(Label6);

    auto *settings = new QHBoxLayout();
    settings->addWidget(Check1);
    settings->addWidget(Check2);
    settings->addWidget(Check3);
    settings->addStretch();

    auto *buttons = new QGridLayout();
    buttons->addWidget(PushButton2, 0, 0);
    buttons->addWidget(PushButton3, 0, 1);
    buttons->addWidget(PushButton6, 0, 2);
    buttons->addWidget(PushButton4, 1, 0);
    buttons->addWidget(PushButton5, 1, 2);
    for (QPushButton *button : {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6})
        button->setMinimumHeight(Looks::px(405));

    auto *window = new QVBoxLayout(this);
    window->addLayout(choices);
    window->addLayout(games, 3);
    window->addLayout(wordsTitle);
    window->addWidget(ListView2, 2);
    window->addLayout(settings);
    window->addLayout(buttons);
    window->addWidget(Label3);

    const QList<QWidget *> tabOrder{Combo1, PushButton1, Combo2,      ListView1,   ListView2,   Check1,     Check2,
                                    Check3, PushButton2, PushButton3, PushButton6, PushButton4, PushButton5};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    // Each handler takes its turn with the other windows' handlers, and what
    // the user does meanwhile waits for it.
    InputQueue &input = m_navigator.input();
    input.watch(this);
    const auto inTurn = [this, &input](void (Form4::*handler)()) {
        return [this, &input, handler] {
            input.run(this, [this, handler] { userAction([this, handler] { (this->*handler)(); }); });
        };
    };
    // Activated: chosen by the user, not filled in by the window.
    connect(Combo1, &QComboBox::activated, this, inTurn(&Form4::Combo1_Click));
    connect(Combo2, &QComboBox::activated, this, inTurn(&Form4::Combo2_Click));
    connect(PushButton1, &QPushButton::clicked, this, inTurn(&Form4::PushButton1_Click));
    // Switched by a click, a key or the accessibility bus's toggle (which
    // clicks nothing); the window's own settings are made without them.
    connect(Check1, &QCheckBox::toggled, this, inTurn(&Form4::Check1_Click));
    connect(Check2, &QCheckBox::toggled, this, inTurn(&Form4::Check2_Click));
    connect(Check3, &QCheckBox::toggled, this, inTurn(&Form4::Check3_Click));
    connect(PushButton2, &QPushButton::clicked, this, inTurn(&Form4::PushButton2_Click));
    connect(PushButton3, &QPushButton::clicked, this, inTurn(&Form4::PushButton3_Click));
    connect(PushButton4, &QPushButton::clicked, this, inTurn(&Form4::PushButton4_Click));
    connect(PushButton5, &QPushButton::clicked, this, inTurn(&Form4::PushButton5_Click));
    connect(PushButton6, &QPushButton::clicked, this, inTurn(&Form4::PushButton6_Click));
}

template<typename F>
void Form4::userAction(F &&handler)
{
    try {
        handler();
    } catch (const ProgramEnding &) {
    } catch (const std::exception &error) {
        m_state.prompts().message(describe(error));
    }
}

void Form4::Form_Load(const QString &listPath)
{
    m_listPath = listPath;
    Looks::ApplyStandardColours(this);
    setWindowIcon(QApplication::windowIcon());
    setWindowTitle(kProductName.toString() + u" - "_s + u"Progress"_s);
    if (FileExists(m_state.besideProgram(ProgramFiles::kHandPointer))) {
        installHandPointer(m_state.besideProgram(ProgramFiles::kHandPointer), this,
                           {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5},
                           {this, Label1, Label2, Check1, Check2, Check3, ListView1->viewport(), ListView2->viewport(),
                            ListView1->header(), ListView2->header(), Chart1->viewport()});
    }
    {
        const QSignalBlocker quiet1(Check1);
        const QSignalBlocker quiet2(Check2);
        const QSignalBlocker quiet3(Check3);
        Check1->setChecked(record().keepHistory());
        Check2->setChecked(WordsFirst::isOn(m_state));
        Check3->setChecked(m_state.copyAfterMiss());
    }
    refresh();
    // Opened wide enough for every column of both tables.
    const int tables = std::max(neededWidth(ListView1) * 5 / 2, neededWidth(ListView2));
    const int margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    Looks::sizableWindow(this, kOpeningSize.expandedTo(QSize(tables + margins, 0)));
}

void Form4::refresh()
{
    showLearners();
    showLists();
    if (m_shownList)
        m_progress = record().listProgress(*m_shownList);
    else
        m_progress = record().listProgress(m_listPath, m_state.dictionary);
    showGames();
    showWords();
    showRecording();
}

void Form4::showLists()
{
    const WordListId inUse = record().listId(m_listPath, m_state.dictionary);
    m_otherLists.clear();
    for (const PlayedList &list : record().playedLists()) {
        if (!sameList(list.id, inUse))
            m_otherLists.append(list);
    }
    // A list no longer played by the learner now shown (another learner
    // chosen, the history forgotten) gives way to the list in use.
    if (m_shownList && std::none_of(m_otherLists.cbegin(), m_otherLists.cend(), [this](const PlayedList &list) {
            return list.id.path == m_shownList->path && list.id.wordsHash == m_shownList->wordsHash;
        }))
        m_shownList.reset();

    Combo2->clear();
    Combo2->addItem(u"%1 (the list in use)"_s.arg(listName(m_listPath)));
    int current = 0;
    for (const PlayedList &list : std::as_const(m_otherLists)) {
        const QString games = list.games == 1 ? u"1 game"_s : u"%1 games"_s.arg(list.games);
        Combo2->addItem(
            u"%1 (%2, last %3)"_s.arg(listName(list.id.path), games, dayText(list.lastPlayed.toLocalTime().date())));
        if (m_shownList && list.id.path == m_shownList->path && list.id.wordsHash == m_shownList->wordsHash)
            current = Combo2->count() - 1;
    }
    Combo2->setCurrentIndex(current);
    m_shownName = current == 0 ? listName(m_listPath) : listName(m_shownList->path);
}

void Form4::showLearners()
{
    const LearnerList learners = LearnerChoice::list(record());
    Combo1->clear();
    Combo1->addItems(learners.names);
    Combo1->setCurrentIndex(int(learners.current));
}

void Form4::showGames()
{
    // Read afresh, as the games are: the time zone may have changed.
    m_clock = LocalClock();
    m_gamesTable->setRows(int(m_progress.games.size()), [this](int row, int column) {
        const GameSummary &game = m_progress.games.at(row);
        switch (column) {
        case 0: {
            const QString played = playedText(m_clock.at(game.started));
            return game.kind == GameKind::Test ? played + u" (test)"_s : played;
        }
        case 1:
            return QString::number(game.answered);
        case 2:
            return QString::number(game.correct);
        default:
            return percentText(game.score);
        }
    });
    fitColumns(ListView1);
    showChart();
}

void Form4::showChart()
{
    const QList<DayScore> days = scoresByDay(m_progress.games);
    auto *stack = static_cast<QStackedLayout *>(Chart1->parentWidget()->layout());
    stack->setCurrentWidget(days.isEmpty() ? static_cast<QWidget *>(Label5) : Chart1);
    m_chart->show(dayChart(days, kMostDateLabels), daysPlayed(days) <= kMostMarkedPoints);
}

void Form4::showWords()
{
    const QList<WordToWorkOn> &words = m_progress.toWorkOn;
    m_wordsTable->setRows(int(words.size()), [this](int row, int column) {
        const WordToWorkOn &word = m_progress.toWorkOn.at(row);
        switch (column) {
        case 0:
            return AnswerCheck::shown(word.word, AnswerCheck::kLongestShown);
        case 1:
            return QString::number(word.asked);
        case 2:
            return QString::number(word.wrong);
        case 3:
            return AnswerCheck::shown(word.lastSpelling, AnswerCheck::kLongestShown);
        default:
            return Misspelling::explain(word.lastSpelling, word.word);
        }
    });
    fitColumns(ListView2);
    Label6->setText(u"Words to work on: %1    Words secure: %2 of %3"_s.arg(words.size())
                        .arg(m_progress.secure)
                        .arg(m_progress.words));
    // Practised, another list's words would be recorded on the list in use.
    PushButton2->setEnabled(!words.isEmpty() && !m_shownList);
    PushButton3->setEnabled(!words.isEmpty());
}

void Form4::showRecording()
{
    const bool failing = record().writingFails();
    Label3->setText(failing ? u"New answers are not being kept: the history file could not be written."_s : QString());
    Label3->setVisible(failing);
}

void Form4::Combo1_Click()
{
    LearnerChoice::choose(record(), Combo1->currentText());
    refresh();
}

void Form4::PushButton1_Click()
{
    if (LearnerChoice::addNew(record(), m_state.prompts()))
        refresh();
}

void Form4::Check1_Click()
{
    record().setKeepHistory(Check1->isChecked());
    showRecording();
}

void Form4::Check2_Click()
{
    WordsFirst::setOn(m_state, Check2->isChecked());
}

void Form4::Check3_Click()
{
    m_state.setCopyAfterMiss(Check3->isChecked());
}

void Form4::PushButton2_Click()
{
    QStringList words;
    words.reserve(m_progress.toWorkOn.size());
    for (const WordToWorkOn &word : std::as_const(m_progress.toWorkOn))
        words.append(word.word);
    if (words.isEmpty() || m_shownList)
        return;
    // The game in progress is the learner's; it is not cut short for this.
    if (m_state.game.started) {
        m_state.prompts().message(u"Please end the game in progress before practising the words to work on."_s);
        return;
    }
    m_navigator.input().close(this);
    m_navigator.practise(words);
}

void Form4::PushButton3_Click()
{
    const QString fileName = m_state.dialogs().saveFile(this, u"Save Words To Work On"_s,
                                                        u"Dictionary File (*.dic);;All Files (*.*)"_s, m_saveName);
    if (fileName.isEmpty())
        return;
    m_saveName = fileName;
    QStringList words;
    words.reserve(m_progress.toWorkOn.size());
    for (const WordToWorkOn &word : std::as_const(m_progress.toWorkOn))
        words.append(word.word);
    WordListFile::save(fileName, words);
}

void Form4::PushButton4_Click()
{
    const QString learner = record().learner();
    if (!m_state.prompts().question(u"Forget every game and answer recorded for %1?"_s.arg(learner)))
        return;
    if (!record().forgetHistory(learner))
        m_state.prompts().message(u"The practice history of %1 could not be forgotten."_s.arg(learner));
    refresh();
}

void Form4::Combo2_Click()
{
    const int chosen = Combo2->currentIndex();
    if (chosen > 0 && chosen <= m_otherLists.size())
        m_shownList = m_otherLists.at(chosen - 1).id;
    else
        m_shownList.reset();
    refresh();
}

void Form4::PushButton6_Click()
{
    const QString fileName
        = m_state.dialogs().saveFile(this, u"Save Report"_s, u"PDF File (*.pdf);;All Files (*.*)"_s, m_reportName);
    if (fileName.isEmpty())
        return;
    m_reportName = fileName;
    // The chart drawn twice as large as it is shown, for print.
    QImage chart;
    if (!m_progress.games.isEmpty()) {
        chart = QImage(Chart1->viewport()->size() * 2, QImage::Format_RGB32);
        chart.fill(Qt::white);
        QPainter painter(&chart);
        painter.setRenderHint(QPainter::Antialiasing);
        Chart1->render(&painter, QRectF(chart.rect()), Chart1->viewport()->rect());
    }
    saveReportPdf(fileName, {record().learner(), m_shownName, m_progress, QDate::currentDate()}, chart);
}

void Form4::PushButton5_Click()
{
    m_navigator.input().close(this);
}

void Form4::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    m_navigator.returnToMainWindow();
}
