// SPDX-License-Identifier: GPL-3.0-or-later
#include "form3.h"

#include "audio/speakword.h"
#include "core/apptitle.h"
#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "core/utilities.h"
#include "program/programstate.h"
#include "widgets/controls.h"
#include "widgets/handpointer.h"
#include "widgets/inputqueue.h"
#include "widgets/looks.h"
#include "windows/navigator.h"
#include "windows/refreshvoices.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QUrl>
#include <algorithm>

using namespace Qt::StringLiterals;
using Looks::twipsRect;

namespace {

// Client area and control positions in twips; frames span the window's width.
constexpr int kClientWidth = 6000;
constexpr int kClientHeight = 6660;
constexpr int kFrameLeft = 120;
constexpr int kFrameWidth = 5760;

constexpr int kVolumeMin = 0;
constexpr int kVolumeMax = 100;
constexpr int kRateMin = -10;
constexpr int kRateMax = 10;

const QString kTestSentence = u"This is a test"_s;
const QString kVoiceSearch = u"https://duckduckgo.com/?q=microsoft%20text%20to%20speech%20voices"_s;

QString addVoicesQuestion()
{
    return QStringList{
        u"This software uses Microsoft Text to Speech (TTS) as its backbone. If you would like to add voices, you need to:"_s,
        QString(),
        u"1. Download them from the web."_s,
        u"2. Install them to the 'Text to Speech' feature in the Windows Control Panel."_s,
        u"2. Click the 'Refresh List' button in this software."_s,
        QString(),
        u"Would you like to see the voices available for download on the web?"_s,
    }
        .join(u"\r\n"_s);
}

QString volumeText(int volume)
{
    return u"Volume Level = "_s + QString::number(volume);
}
QString rateText(int rate)
{
    return u"Speech Rate = "_s + QString::number(rate);
}
QString truthText(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

// The option's stored truth text; its default when the text is none.
bool storedTruth(const ProgramState &state, const SettingKeys::Number &setting)
{
    try {
        return SettingConversions::truthValue(state.ReadSetting(setting));
    } catch (const Failure &) {
        return setting.defaultValue != 0;
    }
}

QGroupBox *makeFrame(QWidget *parent, const char *name, const QString &caption, int top, int height)
{
    return Controls::frame(parent, name, caption, twipsRect(kFrameLeft, top, kFrameWidth, height));
}

} // namespace

Form3::Form3(ProgramState &state, Navigator &navigator) : QWidget(nullptr), m_state(state), m_navigator(navigator)
{
    setObjectName(u"Form3"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
}

Form3::~Form3() = default;

void Form3::buildControls()
{
    setFont(Looks::windowFont());
    Looks::fixWindow(this, kClientWidth, kClientHeight, false);
    setWindowTitle(u"Audio Options"_s);

    Frame1 = makeFrame(this, "Frame1", u"Volume Control"_s, 120, 1080);
    Slider1 = Controls::slider(Frame1, "Slider1", kVolumeMin, kVolumeMax, twipsRect(120, 300, 5520, 450), u"Volume"_s);
    Label4 = Controls::label(Frame1, "Label4", u"Min."_s, twipsRect(120, 750, 900, 255), Qt::AlignLeft,
                             u"Lowest volume"_s);
    lblVolume = Controls::label(Frame1, "lblVolume", volumeText(Slider1->value()), twipsRect(1380, 750, 3000, 255),
                                Qt::AlignHCenter, u"Volume level"_s);
    Label3 = Controls::label(Frame1, "Label3", u"Max."_s, twipsRect(4740, 750, 900, 255), Qt::AlignRight,
                             u"Highest volume"_s);

    Frame4 = makeFrame(this, "Frame4", u"Speed of Speech"_s, 1320, 1080);
    Slider2
        = Controls::slider(Frame4, "Slider2", kRateMin, kRateMax, twipsRect(120, 300, 3840, 450), u"Speed of speech"_s);
    PushButton14 = Controls::button(Frame4, "PushButton14", u"Test Speed"_s, twipsRect(4080, 300, 1560, 405));
    Label6
        = Controls::label(Frame4, "Label6", u"Slow"_s, twipsRect(120, 750, 900, 255), Qt::AlignLeft, u"Slowest rate"_s);
    lblSpeed = Controls::label(Frame4, "lblSpeed", rateText(Slider2->value()), twipsRect(1020, 750, 2040, 255),
                               Qt::AlignHCenter, u"Speech rate"_s);
    Label5 = Controls::label(Frame4, "Label5", u"Fast"_s, twipsRect(3060, 750, 900, 255), Qt::AlignRight,
                             u"Fastest rate"_s);

    Frame2 = makeFrame(this, "Frame2", u"Voice Used"_s, 2520, 1365);
    Combo1 = new QComboBox(Frame2);
    Combo1->setObjectName(u"Combo1"_s);
    Combo1->setAccessibleName(u"Voice"_s);
    Combo1->setGeometry(twipsRect(120, 300, 5520, 345));
    PushButton9 = Controls::button(Frame2, "PushButton9", u"Refresh List"_s, twipsRect(120, 780, 2700, 405));
    PushButton4 = Controls::button(Frame2, "PushButton4", u"Add Voices"_s, twipsRect(2940, 780, 2700, 405));

    Frame3 = makeFrame(this, "Frame3", u"Correct / Incorrect Audio Option"_s, 4005, 975);
    Option1 = Controls::option(Frame3, "Option1", u"Play sounds"_s, twipsRect(240, 300, 5280, 255));
    Option2 = Controls::option(Frame3, "Option2", u"Do not play sounds"_s, twipsRect(240, 600, 5280, 255));
    m_soundOptions = new QButtonGroup(this);
    m_soundOptions->addButton(Option1);
    m_soundOptions->addButton(Option2);
    Option1->setChecked(true);

    PushButton1 = Controls::button(this, "PushButton1", u"Close"_s, twipsRect(0, 5100, kClientWidth, 450));
    Controls::closeOnEscape(this, PushButton1);
    // Below the rest, so that every other control keeps its place; in the
    // focus order it follows the voice list it changes.
    Check1 = Controls::checkBox(this, "Check1", u"Show all voices"_s, twipsRect(240, 5640, 5520, 315));
    Check1->setChecked(storedTruth(m_state, SettingKeys::kShowAllVoices));
    setTabOrder(Combo1, Check1);
    setTabOrder(Check1, PushButton9);
    // The sentence options follow, last in the focus order as on screen.
    Check2 = Controls::checkBox(this, "Check2", u"Say a sentence with each word"_s, twipsRect(240, 5955, 5520, 315));
    Check2->setChecked(storedTruth(m_state, SettingKeys::kSaySentence));
    Check3 = Controls::checkBox(this, "Check3", u"Show the sentence"_s, twipsRect(240, 6270, 5520, 315));
    Check3->setChecked(storedTruth(m_state, SettingKeys::kShowSentence));

    connect(Slider1, &QSlider::valueChanged, this, &Form3::Slider1_Change);
    connect(Slider2, &QSlider::valueChanged, this, &Form3::Slider2_Change);
    // A drop-down list has no text of its own to edit, so a change of the
    // selection is its only change; the refresh selects through
    // setVoiceIndex, which runs the handler itself. Only the learner's own
    // choice is remembered by name: a voice selected for want of the named
    // one leaves the name for when that voice is back.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] {
        userAction(u"Combo1_Click", [this] {
            Combo1_Click();
            m_state.WriteSetting(SettingKeys::kVoiceName, Combo1->currentText());
        });
    });
    // The test sentence and the voice list may wait for the engine; what the
    // user does meanwhile waits for them, a click on Close included.
    InputQueue &input = m_navigator.input();
    input.watch(this);
    const auto inTurn = [this, &input](void (Form3::*handler)()) {
        return [this, &input, handler] { input.run(this, [this, handler] { (this->*handler)(); }); };
    };
    // An option is chosen as it becomes selected, by a click, a key or the
    // accessibility bus's toggle (which clicks nothing); the window's own
    // settings are made without its handler.
    connect(Option1, &QRadioButton::toggled, this, [this, &input](bool selected) {
        if (selected)
            input.run(this, [this] { userAction(u"Option1_Click", [this] { Option1_Click(); }); });
    });
    connect(Option2, &QRadioButton::toggled, this, [this, &input](bool selected) {
        if (selected)
            input.run(this, [this] { userAction(u"Option2_Click", [this] { Option2_Click(); }); });
    });
    connect(PushButton14, &QPushButton::clicked, this, inTurn(&Form3::PushButton14_Click));
    connect(PushButton9, &QPushButton::clicked, this, inTurn(&Form3::PushButton9_Click));
    connect(PushButton4, &QPushButton::clicked, this, inTurn(&Form3::PushButton4_Click));
    connect(PushButton1, &QPushButton::clicked, this, inTurn(&Form3::PushButton1_Click));
    connect(Check1, &QCheckBox::toggled, this, inTurn(&Form3::Check1_Click));
    connect(Check2, &QCheckBox::toggled, this, inTurn(&Form3::Check2_Click));
    connect(Check3, &QCheckBox::toggled, this, inTurn(&Form3::Check3_Click));
}

template<typename F>
void Form3::userAction(QStringView procedure, F &&handler)
{
    try {
        handler();
    } catch (const ProgramEnding &) {
    } catch (const std::exception &error) {
        ReportError(m_state.prompts(), locationText(u"Form3", procedure), m_handlerLine, describe(error));
    }
}

void Form3::Form_Load()
{
    Steps s(m_state.prompts(), u"Form3", u"Form_Load");
    s.step(100, [&] { Looks::ApplyStandardColours(this); });
    s.step(102, [&] { setWindowIcon(QApplication::windowIcon()); });
    s.step(104, [&] { setWindowTitle(kProductName.toString() + u" - "_s + u"Audio Options"_s); });
    if (s.test(106, [&] { return FileExists(m_state.besideProgram(ProgramFiles::kHandPointer)); })) {
        s.step(108, [&] {
            installHandPointer(m_state.besideProgram(ProgramFiles::kHandPointer), this,
                               {PushButton1, PushButton9, PushButton4},
                               {this, Frame1, Frame4, Frame2, Frame3, Check1, Check2, Check3});
        });
    }
    // Setting a control runs its handler as a user's change would, which
    // saves the value just read back to the store.
    s.step(110, [&] {
        Slider1->setValue(SettingConversions::lenientWholeNumber(m_state.ReadSetting(SettingKeys::kVolume)));
    });
    s.step(112, [&] { lblVolume->setText(volumeText(Slider1->value())); });
    s.step(114,
           [&] { Slider2->setValue(SettingConversions::lenientWholeNumber(m_state.ReadSetting(SettingKeys::kRate))); });
    s.step(116, [&] { lblSpeed->setText(rateText(Slider2->value())); });
    s.step(118,
           [&] { setOption(Option1, SettingConversions::truthValue(m_state.ReadSetting(SettingKeys::kPlaySounds))); });
    s.step(120,
           [&] { setOption(Option2, SettingConversions::truthValue(m_state.ReadSetting(SettingKeys::kNoSounds))); });
    s.step(122, [&] { RefreshVoices(m_state, m_navigator, false); });
}

void Form3::setOption(QRadioButton *option, bool selected)
{
    if (selected) {
        {
            const QSignalBlocker quiet(option);
            option->setChecked(true);
        }
        if (option == Option1)
            Option1_Click();
        else
            Option2_Click();
        return;
    }
    // An exclusive pair refuses to clear its selected button by itself, but
    // the stored texts may say that neither is selected.
    m_soundOptions->setExclusive(false);
    option->setChecked(false);
    m_soundOptions->setExclusive(true);
}

void Form3::Form_Activate()
{
    Steps s(m_state.prompts(), u"Form3", u"Form_Activate");
    s.step(100, [&] { RefreshVoices(m_state, m_navigator, false); });
}

bool Form3::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowDeactivate) {
        m_deactivatedByModal = QApplication::activeModalWidget() != nullptr;
    } else if (event->type() == QEvent::WindowActivate) {
        if (m_deactivatedByModal)
            m_deactivatedByModal = false;
        else
            Form_Activate();
    }
    return handled;
}

void Form3::Slider1_Change()
{
    Steps s(m_state.prompts(), u"Form3", u"Slider1_Change");
    s.step(100, [&] { lblVolume->setText(volumeText(Slider1->value())); });
    s.step(102, [&] { m_state.WriteSetting(SettingKeys::kVolume.key, QString::number(Slider1->value())); });
    // The voice speaking the current word hears the change at once.
    if (s.test(104, [&] { return m_state.audio.SpeakingVoice != nullptr; }))
        s.step(106, [&] { voiceOf(m_state.audio.SpeakingVoice).setVolume(Slider1->value()); });
}

void Form3::Slider2_Change()
{
    Steps s(m_state.prompts(), u"Form3", u"Slider2_Change");
    s.step(100, [&] { lblSpeed->setText(rateText(Slider2->value())); });
    s.step(102, [&] { m_state.WriteSetting(SettingKeys::kRate.key, QString::number(Slider2->value())); });
    if (s.test(104, [&] { return m_state.audio.SpeakingVoice != nullptr; }))
        s.step(106, [&] { voiceOf(m_state.audio.SpeakingVoice).setRate(Slider2->value()); });
}

void Form3::Combo1_Click()
{
    m_handlerLine = 100;
    m_state.WriteSetting(SettingKeys::kVoice.key, QString::number(selectedPosition()));
}

void Form3::Check1_Click()
{
    Steps s(m_state.prompts(), u"Form3", u"Check1_Click");
    s.step(100, [&] { m_state.WriteSetting(SettingKeys::kShowAllVoices.key, truthText(Check1->isChecked())); });
    s.step(102, [&] { RefreshVoices(m_state, m_navigator, false); });
}

void Form3::Check2_Click()
{
    Steps s(m_state.prompts(), u"Form3", u"Check2_Click");
    s.step(100, [&] { m_state.WriteSetting(SettingKeys::kSaySentence.key, truthText(Check2->isChecked())); });
}

void Form3::Check3_Click()
{
    Steps s(m_state.prompts(), u"Form3", u"Check3_Click");
    s.step(100, [&] { m_state.WriteSetting(SettingKeys::kShowSentence.key, truthText(Check3->isChecked())); });
}

bool Form3::saySentence() const
{
    return Check2->isChecked();
}

bool Form3::showsAllVoices() const
{
    return Check1->isChecked();
}

void Form3::Option1_Click()
{
    saveOptions();
}

void Form3::Option2_Click()
{
    saveOptions();
}

void Form3::saveOptions()
{
    m_handlerLine = 100;
    m_state.WriteSetting(SettingKeys::kPlaySounds.key, truthText(Option1->isChecked()));
    m_handlerLine = 102;
    m_state.WriteSetting(SettingKeys::kNoSounds.key, truthText(Option2->isChecked()));
}

int Form3::volume() const
{
    return Slider1->value();
}

int Form3::rate() const
{
    return Slider2->value();
}

int Form3::voicePosition() const
{
    // Until the first voice list has come with the engine's start, the choice
    // is the saved one, which filling the list will select.
    if (Combo1->count() == 0 && m_state.speech().voicesPending())
        return std::max(-1, SettingConversions::lenientWholeNumber(m_state.ReadSetting(SettingKeys::kVoice)));
    return selectedPosition();
}

int Form3::selectedPosition() const
{
    const int index = Combo1->currentIndex();
    return index < 0 ? -1 : m_positions[std::size_t(index)];
}

bool Form3::playSounds() const
{
    return Option1->isChecked();
}

void Form3::clearVoices()
{
    const QSignalBlocker quiet(Combo1);
    Combo1->clear();
    m_positions.clear();
}

void Form3::addVoice(const QString &description, int position)
{
    // The list selects its first entry by itself; the choice is the
    // refresh's to make.
    const QSignalBlocker quiet(Combo1);
    const int selected = Combo1->currentIndex();
    m_positions.push_back(position);
    Combo1->addItem(description);
    Combo1->setCurrentIndex(selected);
}

void Form3::setVoiceIndex(int position)
{
    // Positions are added in increasing order.
    const auto found = std::lower_bound(m_positions.cbegin(), m_positions.cend(), position);
    const bool listed = found != m_positions.cend() && *found == position;
    if (position < -1 || (position >= 0 && !listed))
        throw Failure(u"Invalid property value"_s);
    const int index = position == -1 ? -1 : int(found - m_positions.cbegin());
    {
        const QSignalBlocker quiet(Combo1);
        Combo1->setCurrentIndex(index);
    }
    Combo1_Click();
}

void Form3::PushButton14_Click()
{
    Steps s(m_state.prompts(), u"Form3", u"PushButton14_Click");
    std::unique_ptr<SpeechVoice> testVoice;
    s.step(100, [&] { setCursor(Qt::WaitCursor); });
    s.step(102, [&] { testVoice = m_state.speech().createVoice(); });
    if (s.test(104, [&] { return Combo1->currentIndex() != -1; }))
        s.step(106, [&] { voiceOf(testVoice).setVoice(selectedPosition()); });
    s.step(108, [&] { voiceOf(testVoice).setVolume(Slider1->value()); });
    s.step(110, [&] { voiceOf(testVoice).setRate(Slider2->value()); });
    // Lets the hourglass be drawn before the sentence holds the window.
    s.step(112, [] { QCoreApplication::processEvents(); });
    s.step(114, [&] { voiceOf(testVoice).speakAndWait(kTestSentence); });
    s.step(116, [&] { testVoice.reset(); });
    s.step(118, [&] { unsetCursor(); });
}

void Form3::PushButton9_Click()
{
    Steps s(m_state.prompts(), u"Form3", u"PushButton9_Click");
    s.step(100, [&] { RefreshVoices(m_state, m_navigator, true); });
}

void Form3::PushButton4_Click()
{
    Steps s(m_state.prompts(), u"Form3", u"PushButton4_Click");
    QUrl address;
    s.step(100, [&] { address = QUrl(kVoiceSearch); });
    if (!s.test(102, [&] { return m_state.prompts().question(addVoicesQuestion()); }))
        return;
    s.step(104, [&] { m_state.launcher().openUrl(address); });
}

void Form3::PushButton1_Click()
{
    Steps s(m_state.prompts(), u"Form3", u"PushButton1_Click");
    s.step(100, [&] { m_navigator.input().close(this); });
}

void Form3::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    Form_Unload();
}

void Form3::Form_Unload()
{
    // While the program ends, the main window is going too.
    m_navigator.returnToMainWindow();
}
