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
#include <QGraphicsView>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeView>

using namespace Qt::StringLiterals;
using Looks::twipsRect;

namespace {

constexpr int kClientWidth = 8040;
constexpr int kClientHeight = 7155;
// The line below the buttons that says when answers are not being kept, and
// the window's height with it.
constexpr int kRecordingTop = 7140;
constexpr int kRecordingHeight = 255;
constexpr int kClientHeightWithRecording = kRecordingTop + kRecordingHeight + 120;
// Points are marked on the line while they can be told apart.
constexpr qsizetype kMostMarkedPoints = 100;

QString playedText(const QDateTime &started)
{
    return started.toString(u"yyyy-MM-dd HH:mm"_s);
}

QString percentText(qint64 score)
{
    return QString::number(score) + u'%';
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
    Looks::fixWindow(this, kClientWidth, kClientHeight, false);

    Label1 = Controls::label(this, "Label1", u"Learner:"_s, twipsRect(120, 120, 960, 345), Qt::AlignLeft,
                             u"The learner whose practice is shown"_s);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(u"Combo1"_s);
    Combo1->setGeometry(twipsRect(1080, 120, 3840, 345));
    Label1->setBuddy(Combo1);
    PushButton1 = Controls::button(this, "PushButton1", u"New Learner..."_s, twipsRect(5040, 90, 2880, 405));

    m_gamesTable = new TextTable({u"Played"_s, u"Answered"_s, u"Correct"_s, u"Score"_s}, this);
    ListView1 = Controls::tableView(this, "ListView1", m_gamesTable, twipsRect(120, 600, 4560, 2400), u"Past games"_s);
    ListView1->setAccessibleDescription(u"Newest first"_s);

    m_chart = makeScoreChart(this);
    Chart1 = m_chart->view();
    Chart1->setObjectName(u"Chart1"_s);
    Chart1->setGeometry(twipsRect(4800, 600, 3120, 2400));
    // The chart shows the scores of the table beside it, which is its text
    // for a screen reader and the keyboard.
    Chart1->setAccessibleName(u"Score per game"_s);
    Chart1->setAccessibleDescription(u"A chart of the scores listed in Past games"_s);
    Chart1->setFocusPolicy(Qt::NoFocus);

    Label2 = Controls::label(this, "Label2", u"Words To Work On"_s, twipsRect(120, 3120, 7800, 255),
                             u"The words missed and not yet answered right in two later games"_s);
    m_wordsTable
        = new TextTable({u"Word"_s, u"Asked"_s, u"Wrong"_s, u"Last spelling"_s, u"Where it went wrong"_s}, this);
    ListView2
        = Controls::tableView(this, "ListView2", m_wordsTable, twipsRect(120, 3405, 7800, 2100), u"Words To Work On"_s);
    Label2->setBuddy(ListView2);

    Check1 = Controls::checkBox(this, "Check1", u"Keep practice history"_s, twipsRect(120, 5625, 3840, 315));
    Check2 = Controls::checkBox(this, "Check2", u"Ask words to work on first"_s, twipsRect(4080, 5625, 3840, 315));
    PushButton2
        = Controls::button(this, "PushButton2", u"Practise Words To Work On"_s, twipsRect(120, 6090, 3840, 405));
    PushButton3
        = Controls::button(this, "PushButton3", u"Save Words To Work On..."_s, twipsRect(4080, 6090, 3840, 405));
    PushButton4 = Controls::button(this, "PushButton4", u"Forget History..."_s, twipsRect(120, 6630, 3840, 405));
    PushButton5 = Controls::button(this, "PushButton5", u"Close"_s, twipsRect(4080, 6630, 3840, 405));
    Controls::closeOnEscape(this, PushButton5);

    Label3 = Controls::label(this, "Label3", QString(), twipsRect(120, kRecordingTop, 7800, kRecordingHeight),
                             u"Whether new answers are kept in the practice history"_s);
    Label3->hide();

    const QList<QWidget *> tabOrder{Combo1, PushButton1, ListView1,   ListView2,   Check1,
                                    Check2, PushButton2, PushButton3, PushButton4, PushButton5};
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
    connect(PushButton1, &QPushButton::clicked, this, inTurn(&Form4::PushButton1_Click));
    // Switched by a click, a key or the accessibility bus's toggle (which
    // clicks nothing); the window's own settings are made without them.
    connect(Check1, &QCheckBox::toggled, this, inTurn(&Form4::Check1_Click));
    connect(Check2, &QCheckBox::toggled, this, inTurn(&Form4::Check2_Click));
    connect(PushButton2, &QPushButton::clicked, this, inTurn(&Form4::PushButton2_Click));
    connect(PushButton3, &QPushButton::clicked, this, inTurn(&Form4::PushButton3_Click));
    connect(PushButton4, &QPushButton::clicked, this, inTurn(&Form4::PushButton4_Click));
    connect(PushButton5, &QPushButton::clicked, this, inTurn(&Form4::PushButton5_Click));
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
                           {this, Label1, Label2, Check1, Check2, ListView1->viewport(), ListView2->viewport(),
                            ListView1->header(), ListView2->header(), Chart1->viewport()});
    }
    {
        const QSignalBlocker quiet1(Check1);
        const QSignalBlocker quiet2(Check2);
        Check1->setChecked(record().keepHistory());
        Check2->setChecked(WordsFirst::isOn(m_state));
    }
    refresh();
}

void Form4::refresh()
{
    showLearners();
    m_games = record().pastGames(m_listPath, m_state.dictionary);
    m_words = record().wordsToWorkOn(m_listPath, m_state.dictionary);
    showGames();
    showWords();
    showRecording();
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
    m_gamesTable->setRows(int(m_games.size()), [this](int row, int column) {
        const GameSummary &game = m_games.at(row);
        switch (column) {
        case 0:
            return playedText(game.started);
        case 1:
            return QString::number(game.answered);
        case 2:
            return QString::number(game.correct);
        default:
            return percentText(game.score);
        }
    });
    ListView1->resizeColumnToContents(0);

    QList<QPointF> points;
    points.reserve(m_games.size());
    // The table lists the newest first; time runs left to right.
    for (auto game = m_games.crbegin(); game != m_games.crend(); ++game)
        points.append(QPointF(qreal(game->started.toMSecsSinceEpoch()), qreal(game->score)));
    QDateTime first;
    QDateTime last;
    if (!m_games.isEmpty()) {
        first = m_games.constLast().started;
        last = m_games.constFirst().started;
        // One game, or all at one moment: a day around them.
        if (first == last) {
            first = first.addSecs(-12 * 3600);
            last = last.addSecs(12 * 3600);
        }
    }
    m_chart->show(points, points.size() <= kMostMarkedPoints, first, last);
}

void Form4::showWords()
{
    m_wordsTable->setRows(int(m_words.size()), [this](int row, int column) {
        const WordToWorkOn &word = m_words.at(row);
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
    ListView2->resizeColumnToContents(0);
    PushButton2->setEnabled(!m_words.isEmpty());
    PushButton3->setEnabled(!m_words.isEmpty());
}

void Form4::showRecording()
{
    const bool failing = record().writingFails();
    Label3->setText(failing ? u"New answers are not being kept: the history file could not be written."_s : QString());
    Label3->setVisible(failing);
    setFixedHeight(Looks::px(failing ? kClientHeightWithRecording : kClientHeight));
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

void Form4::PushButton2_Click()
{
    QStringList words;
    words.reserve(m_words.size());
    for (const WordToWorkOn &word : std::as_const(m_words))
        words.append(word.word);
    if (words.isEmpty())
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
    words.reserve(m_words.size());
    for (const WordToWorkOn &word : std::as_const(m_words))
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

void Form4::PushButton5_Click()
{
    m_navigator.input().close(this);
}

void Form4::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    m_navigator.returnToMainWindow();
}
