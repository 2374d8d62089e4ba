// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "core/apptitle.h"
#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "core/utilities.h"
#include "program/learnerchoice.h"
#include "program/programstate.h"
#include "widgets/controls.h"
#include "widgets/handpointer.h"
#include "widgets/inputqueue.h"
#include "widgets/looks.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"
#include "windows/navigator.h"
#include "windows/refreshvoices.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;
using Looks::twipsRect;

namespace {

constexpr int kClientWidth = 8040;
// Rows below the design's last: the Progress button, the sentence line, the
// finish line, the Take a Test and Edit Word List buttons, and the learner.
constexpr int kSentenceTop = 6075;
constexpr int kFinishTop = 6600;
constexpr int kTestTop = 6975;
constexpr int kEditTop = 7500;
constexpr int kLearnerTop = 8025;
constexpr int kClientHeight = kLearnerTop + 30 + 345 + 120;

} // namespace

Form1::Form1(ProgramState &state, Navigator &navigator) : QWidget(nullptr), m_state(state), m_navigator(navigator)
{
    setObjectName(u"Form1"_s);
    buildControls();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    setFont(Looks::windowFont());
    Looks::fixWindow(this, kClientWidth, kClientHeight, true);
    Looks::setBackground(this, Looks::kDesignBackground);

    // The answer box comes first in the tab order, so it holds the focus.
    Frame5 = Controls::frame(this, "Frame5", u"Type Word && Press Enter"_s, twipsRect(120, 590, 7800, 975));
    Text2 = new QLineEdit(Frame5);
    Text2->setObjectName(u"Text2"_s);
    Text2->setAccessibleName(u"Your spelling"_s);
    Text2->setFont(Looks::answerFont());
    Text2->setGeometry(twipsRect(120, 300, 7560, 555));
    PushButton8 = Controls::button(Frame5, "PushButton8", u"Enter"_s, twipsRect(6720, 315, 1065, 315));
    PushButton8->hide();

    PushButton3 = Controls::button(this, "PushButton3", u"Start Game"_s, twipsRect(120, 120, 7200, 405));
    PushButton7 = Controls::button(this, "PushButton7", u"?"_s, twipsRect(7440, 120, 480, 405));
    PushButton7->setAccessibleDescription(u"Help on the game"_s);
    PushButton5 = Controls::button(this, "PushButton5", u"Repeat Word (Ctrl+R)"_s, twipsRect(120, 1680, 7800, 405));

    Label1 = Controls::label(this, "Label1", u" Word 1 of 6"_s, twipsRect(120, 2220, 3840, 255), u"Word counter"_s);
    Label4 = Controls::label(this, "Label4", u"Correct:"_s, twipsRect(4080, 2220, 3840, 255), u"Feedback"_s);
    Label2 = Controls::label(this, "Label2", u"Score:"_s, twipsRect(3600, 0, 3840, 255), u"Score"_s);
    Label2->hide();

    Frame3 = Controls::frame(this, "Frame3", u"Word List Option"_s, twipsRect(120, 2565, 7800, 2340));
    Text1 = new QLineEdit(Frame3);
    Text1->setObjectName(u"Text1"_s);
    Text1->setAccessibleName(u"Word list path"_s);
    Text1->setGeometry(twipsRect(240, 300, 7300, 345));
    Label3 = Controls::label(Frame3, "Label3", u"Label3"_s, twipsRect(240, 300, 7300, 345), u"Word list in use"_s);
    PushButton6
        = Controls::button(Frame3, "PushButton6", u"Load Word List From Text File"_s, twipsRect(240, 750, 7300, 405));
    PushButton2 = Controls::button(Frame3, "PushButton2", u"Help"_s, twipsRect(240, 1260, 3600, 405));
    PushButton2->setAccessibleDescription(u"Help on word lists"_s);
    PushButton11
        = Controls::button(Frame3, "PushButton11", u"View File You Are Using"_s, twipsRect(3960, 1260, 3600, 405));
    PushButton10
        = Controls::button(Frame3, "PushButton10", u"Load One-To-Ten Example List"_s, twipsRect(240, 1770, 3600, 405));
    PushButton1
        = Controls::button(Frame3, "PushButton1", u"Load 8th Grade Example List"_s, twipsRect(3960, 1770, 3600, 405));

    PushButton4 = Controls::button(this, "PushButton4", u"Audio Options"_s, twipsRect(120, 5025, 7800, 405));
    PushButton12 = Controls::button(this, "PushButton12", u"Progress"_s, twipsRect(120, 5550, 7800, 405));
    Label6 = Controls::label(this, "Label6", QString(), twipsRect(120, kSentenceTop, 7800, 405), Qt::AlignLeft,
                             u"Sentence with the word left out"_s);
    Label6->hide();
    Label5 = Controls::label(this, "Label5", QString(), twipsRect(120, kFinishTop, 7800, 255),
                             u"How a finished round of words went"_s);
    // Shown only while it says something, so that the bus lists no empty line.
    Label5->hide();
    PushButton13 = Controls::button(this, "PushButton13", u"Take a Test"_s, twipsRect(120, kTestTop, 7800, 405));
    PushButton14 = Controls::button(this, "PushButton14", u"Edit Word List..."_s, twipsRect(120, kEditTop, 7800, 405));
    // As in the Progress window: a screen reader names the drop-down, whose
    // text is the learner, by the label beside it.
    Label7 = Controls::label(this, "Label7", u"Learner:"_s, twipsRect(120, kLearnerTop + 30, 960, 345), Qt::AlignLeft,
                             u"The learner whose answers are kept"_s);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(u"Combo1"_s);
    Combo1->setGeometry(twipsRect(1080, kLearnerTop + 30, 6840, 345));
    Combo1->setAccessibleDescription(u"The learner whose answers are kept"_s);
    Label7->setBuddy(Combo1);

    // Tab goes down the window from the answer box, then on from the top.
    const QList<QWidget *> tabOrder{Text2,        PushButton8,  PushButton5, Text1,       PushButton6,  PushButton2,
                                    PushButton11, PushButton10, PushButton1, PushButton4, PushButton12, PushButton13,
                                    PushButton14, Combo1,       PushButton3, PushButton7};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    connect(PushButton3, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton3_Click); });
    connect(PushButton8, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton8_Click); });
    connect(PushButton5, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton5_Click); });
    connect(PushButton7, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton7_Click); });
    connect(PushButton6, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton6_Click); });
    connect(PushButton1, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton1_Click); });
    connect(PushButton10, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton10_Click); });
    connect(PushButton11, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton11_Click); });
    connect(PushButton2, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton2_Click); });
    connect(PushButton4, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton4_Click); });
    connect(PushButton12, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton12_Click); });
    connect(PushButton13, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton13_Click); });
    connect(PushButton14, &QPushButton::clicked, this, [this] { handle(&Form1::PushButton14_Click); });
    // Typing into the answer box covers the word being copied.
    connect(Text2, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_state.game.copy.typed(text))
            coverCopy();
    });
    // Activated: chosen by the user, not filled in by the window.
    connect(Combo1, &QComboBox::activated, this, [this] { handle(&Form1::Combo1_Click); });

    // Closing the main window ends the program at once, also during a wait,
    // which then gives up; nothing is unloaded under the running handler.
    m_navigator.input().watch(this, InputQueue::CloseRequests::PassAtOnce);
    m_navigator.input().setTypeAheadBox(Text2);

    // Key preview: the window sees every key before the focused control.
    const auto children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

void Form1::handle(void (Form1::*handler)())
{
    m_navigator.input().run(this, [this, handler] { (this->*handler)(); });
}

void Form1::ApplySkin()
{
    // The skin file switches the window to the desktop's button-face colours;
    // without it the window keeps its white design background.
    if (FileExists(m_state.besideProgram(ProgramFiles::kSkin)))
        Looks::ApplyStandardColours(this);
}

void Form1::fillVoices(bool afterLoad)
{
    Steps s(m_state.prompts(), u"Form1", u"Form_Load");
    s.step(128, [&] { RefreshVoices(m_state, m_navigator, false); });
    // Made again once the start has ended, so that an engine that failed to
    // start is reported at this step as when the start came first.
    if (afterLoad) {
        s.step(130, [&] {
            m_state.audio.VoiceCatalog.reset();
            m_state.audio.VoiceCatalog = m_state.speech().createVoice();
        });
    }
}

void Form1::Form_Load(const QString &givenList)
{
    Steps s(m_state.prompts(), u"Form1", u"Form_Load");
    s.step(100, [&] { ApplySkin(); });
    if (s.test(102, [&] { return FileExists(m_state.besideProgram(ProgramFiles::kHandPointer)); })) {
        s.step(104, [&] {
            installHandPointer(m_state.besideProgram(ProgramFiles::kHandPointer), this,
                               {PushButton3, PushButton5, PushButton8, PushButton6, PushButton1, PushButton2,
                                PushButton10, PushButton11, PushButton4, PushButton12, PushButton13, PushButton14,
                                PushButton7},
                               {this, Frame5, Frame3});
        });
    }
    s.step(126, [&] {
        setWindowTitle(kProductName.toString());
        setWindowIcon(QApplication::windowIcon());
    });
    s.step(126, [&] { SetAppTitle(kProductName.toString()); });
    // The speech engine starts in the background while the window is built,
    // so the voice list may have to wait for it; the catalogue voice does not.
    const auto inLoad = std::make_shared<bool>(true);
    s.step(128, [&] {
        m_state.speech().whenStarted(this, [this, inLoad] {
            const bool afterLoad = !*inLoad;
            m_navigator.input().run(this, [this, afterLoad] { fillVoices(afterLoad); });
        });
    });
    *inLoad = false;
    s.step(130, [&] { m_state.audio.VoiceCatalog = m_state.speech().createVoice(); });
    s.step(132, [&] { Looks::setBackground(Label1, Looks::kCounterColour); });
    s.step(134, [&] { Looks::setBackground(Label2, Looks::kScoreColour); });
    s.step(136, [&] { Looks::setBackground(Label4, Looks::kFeedbackColour); });
    s.step(138, [&] {
        setText1(givenList.isEmpty() ? m_state.ReadSetting(SettingKeys::kDictionary.toString(),
                                                           m_state.besideProgram(ProgramFiles::kFirstSample))
                                     : givenList);
    });
    // The change handling of steps 138 and 144 reads the list it finds; the
    // load of steps 142 and 148 reads only one it passed over, so a list is
    // read (and a bad one reported) once.
    if (s.test(140, [&] { return FileExists(Text1->text()); })) {
        if (!m_changeReadList)
            s.step(142, [&] { loadDictionaryFile(); });
    } else {
        s.step(144, [&] { setText1(m_state.besideProgram(ProgramFiles::kSecondSample)); });
        if (s.test(146, [&] { return FileExists(Text1->text()); })) {
            if (!m_changeReadList)
                s.step(148, [&] { loadDictionaryFile(); });
        } else {
            s.step(150, [&] { m_state.prompts().message(u"Dictionary file is not valid."_s); });
        }
    }
    s.step(152, [&] { m_state.usedWords.clear(); });
    s.step(154, [&] { Label1->setText(QString()); });
    s.step(156, [&] { Label4->setText(QString()); });
    s.step(158, [&] { m_state.game.started = false; });
    s.step(160, [&] { Looks::setBackground(Label3, Looks::kFileNameColour); });
    s.step(162, [&] { Label3->move(Text1->x(), Label3->y()); });
    s.step(164, [&] { Label3->resize(Text1->width(), Label3->height()); });
    s.step(166, [&] { Label3->resize(Label3->width(), Text1->height()); });
    s.step(168, [&] { Label3->move(Label3->x(), Text1->y()); });
    s.step(170, [&] { Text1->hide(); });
}

void Form1::readSentenceSetting()
{
    // Not a setting of the design: a value that is no truth value leaves the
    // sentence shown, as when it is absent.
    try {
        m_showSentence = SettingConversions::truthValue(m_state.ReadSetting(SettingKeys::kShowSentence));
    } catch (const Failure &) {
        m_showSentence = true;
    }
    Label6->setVisible(m_showSentence && !Label6->text().isEmpty());
}

void Form1::Form_QueryUnload()
{
    Steps s(m_state.prompts(), u"Form1", u"Form_QueryUnload");
    s.step(100, [] { QCoreApplication::processEvents(); });
    s.step(102, [] { QCoreApplication::processEvents(); });
}

void Form1::closeEvent(QCloseEvent *event)
{
    m_state.gameAudio.stopPrompt();
    Form_QueryUnload();
    event->accept();
    // Closing the main window ends the program; the other windows go with it
    // without bringing this one back.
    m_navigator.endProgram();
}

void Form1::PushButton4_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton4_Click");
    s.step(100, [&] { m_navigator.audioOptions().show(); });
    s.step(102, [&] { hide(); });
}

void Form1::PushButton12_Click()
{
    // Not a procedure of the design: what fails is told in a plain message.
    try {
        m_navigator.progress(Text1->text()).show();
        hide();
    } catch (const std::exception &error) {
        m_state.prompts().message(describe(error));
    }
}

void Form1::showEvent(QShowEvent *event)
{
    // The Progress window, which hides this one, may have switched learners;
    // a window restored by the desktop has not. At start-up the history is
    // read once the window has been painted, so that it shows as soon as
    // before. The sentence option is read again, as Audio Options may have
    // changed it.
    readSentenceSetting();
    if (!event->spontaneous()) {
        if (m_painted)
            showLearners();
        else
            m_learnersDue = true;
    }
    QWidget::showEvent(event);
}

void Form1::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    m_painted = true;
    if (m_learnersDue) {
        m_learnersDue = false;
        QTimer::singleShot(0, this, [this] { showLearners(); });
    }
}

void Form1::showLearners()
{
    const LearnerList learners = LearnerChoice::list(m_state.practiceRecord, PracticeRecord::Telling::Later);
    const QSignalBlocker quiet(Combo1);
    Combo1->clear();
    Combo1->addItems(learners.names);
    Combo1->addItem(u"New Learner..."_s);
    Combo1->setCurrentIndex(int(learners.current));
}

void Form1::Combo1_Click()
{
    // Not a procedure of the design: what fails is told in a plain message,
    // and the drop-down shows the learner in use again.
    try {
        if (Combo1->currentIndex() == Combo1->count() - 1)
            LearnerChoice::addNew(m_state.practiceRecord, m_state.prompts());
        else if (Combo1->currentIndex() >= 0)
            LearnerChoice::choose(m_state.practiceRecord, Combo1->currentText());
    } catch (const ProgramEnding &) {
        return;
    } catch (const std::exception &error) {
        m_state.prompts().message(describe(error));
    }
    showLearners();
}

void Form1::PushButton14_Click()
{
    try {
        m_navigator.wordListEditor(Text1->text()).show();
        hide();
    } catch (const std::exception &error) {
        m_state.prompts().message(describe(error));
    }
}

// The window's own focus widget, not the application's: while a message box
// is open and just after it closes the application has none, and a key that
// travels on from the control that had it must not be taken a second time.
void Form1::keyPressEvent(QKeyEvent *event)
{
    if (focusWidget() == this || focusWidget() == nullptr)
        Form_KeyDown(event);
    QWidget::keyPressEvent(event);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // A key that the focused control ignores travels on to its parents;
        // the window sees it once, at the control that had it first.
        if (watched == focusWidget())
            Form_KeyDown(key);
        if (watched == Text2)
            Text2_KeyPress(key);
    } else if (event->type() == QEvent::MouseButtonRelease && watched == Label3) {
        handle(&Form1::Label3_Click);
    }
    return QWidget::eventFilter(watched, event);
}
