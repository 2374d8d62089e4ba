// SPDX-License-Identifier: GPL-3.0-or-later
#include "form5.h"

#include "audio/audiodevices.h"
#include "audio/audiopreferences.h"
#include "audio/recordingplayer.h"
#include "audio/voicerecorder.h"
#include "core/apptitle.h"
#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/settingkeys.h"
#include "core/utilities.h"
#include "program/listrecordings.h"
#include "program/programstate.h"
#include "widgets/controls.h"
#include "widgets/handpointer.h"
#include "widgets/inputqueue.h"
#include "widgets/looks.h"
#include "windows/navigator.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

using namespace Qt::StringLiterals;
using Looks::twipsRect;

namespace {

constexpr int kClientWidth = 8040;
constexpr int kClientHeight = 9495;

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

    Frame1 = Controls::frame(this, "Frame1", u"Recording"_s, twipsRect(120, 6270, 7800, 2775));
    Label3 = Controls::label(Frame1, "Label3", QString(), twipsRect(120, 300, 7560, 555), Qt::AlignCenter,
                             u"The text being recorded"_s);
    Label3->setFont(Looks::answerFont());
    ProgressBar1 = new QProgressBar(Frame1);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setAccessibleName(u"Recording level"_s);
    ProgressBar1->setGeometry(twipsRect(120, 915, 7560, 255));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    PushButton10 = Controls::button(Frame1, "PushButton10", u"Record Word"_s, twipsRect(120, 1290, 2440, 405));
    PushButton11 = Controls::button(Frame1, "PushButton11", u"Record Sentence"_s, twipsRect(2680, 1290, 2440, 405));
    PushButton12 = Controls::button(Frame1, "PushButton12", u"Stop"_s, twipsRect(5240, 1290, 2440, 405));
    PushButton13 = Controls::button(Frame1, "PushButton13", u"Play"_s, twipsRect(120, 1815, 1800, 405));
    PushButton14 = Controls::button(Frame1, "PushButton14", u"Delete Recording"_s, twipsRect(2040, 1815, 2280, 405));
    PushButton15 = Controls::button(Frame1, "PushButton15", u"Keep"_s, twipsRect(4440, 1815, 1560, 405));
    PushButton15->setAccessibleDescription(u"Keep the new recording in place of the old one"_s);
    PushButton16 = Controls::button(Frame1, "PushButton16", u"Discard"_s, twipsRect(6120, 1815, 1560, 405));
    PushButton16->setAccessibleDescription(u"Throw the new recording away and keep the old one"_s);
    Option1 = Controls::option(Frame1, "Option1", u"Word"_s, twipsRect(120, 2340, 1500, 315));
    Option1->setAccessibleDescription(u"Play and Delete Recording act on the word's recording"_s);
    Option2 = Controls::option(Frame1, "Option2", u"Sentence"_s, twipsRect(1740, 2340, 1800, 315));
    Option2->setAccessibleDescription(u"Play and Delete Recording act on the sentence's recording"_s);
    Option1->setChecked(true);
    Label4 = Controls::label(this, "Label4", QString(), twipsRect(120, 9120, 7800, 255), Qt::AlignLeft,
                             u"About recording"_s);

    const QList<QWidget *> tabOrder{Grid1,        PushButton1,  PushButton2,  PushButton3,  PushButton4,
                                    PushButton5,  PushButton6,  PushButton7,  PushButton8,  PushButton9,
                                    PushButton10, PushButton11, PushButton12, PushButton13, PushButton14,
                                    PushButton15, PushButton16, Option1,      Option2};
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
    connect(PushButton10, &QPushButton::clicked, this, inTurn(&Form5::PushButton10_Click));
    connect(PushButton11, &QPushButton::clicked, this, inTurn(&Form5::PushButton11_Click));
    connect(PushButton12, &QPushButton::clicked, this, inTurn(&Form5::PushButton12_Click));
    connect(PushButton13, &QPushButton::clicked, this, inTurn(&Form5::PushButton13_Click));
    connect(PushButton14, &QPushButton::clicked, this, inTurn(&Form5::PushButton14_Click));
    connect(PushButton15, &QPushButton::clicked, this, inTurn(&Form5::PushButton15_Click));
    connect(PushButton16, &QPushButton::clicked, this, inTurn(&Form5::PushButton16_Click));
    connect(Option1, &QRadioButton::toggled, this, [this] { showRecordingControls(); });
    connect(&m_model, &WordListModel::modifiedChanged, this, [this] { showList(); });
    // A word typed anew may have recordings of its own.
    connect(&m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &first, const QModelIndex &last) {
                if (first == last && first.column() == WordListModel::WordColumn)
                    wordChanged(first.row());
                showRecordingControls();
            });
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, [this] { showRecordingControls(); });
    connect(Grid1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { showRecordingControls(); });
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
    if (FileExists(m_state.besideProgram(ProgramFiles::kHandPointer))) {
        installHandPointer(m_state.besideProgram(ProgramFiles::kHandPointer), this,
                           {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6, PushButton7,
                            PushButton8, PushButton9, PushButton10, PushButton11, PushButton12, PushButton13,
                            PushButton14, PushButton15, PushButton16},
                           {this, Label1, Label2, Label3, Label4, Frame1, Option1, Option2, Grid1->viewport(),
                            Grid1->horizontalHeader(), Grid1->verticalHeader()});
    }
    // Asking for a microphone loads the sound module: done once the window
    // shows, so that the list is there first. The record buttons wait.
    if (!m_unavailableReason) {
        m_unavailableReason = recordingUnavailableReason;
        QTimer::singleShot(0, this, [this] {
            m_unavailable = m_unavailableReason();
            m_microphoneAsked = true;
            showRecordingControls();
        });
    }
    userAction([&] { openList(listPath); });
    showList();
}

void Form5::setAudio(std::unique_ptr<AudioCapture> capture, std::unique_ptr<AudioPlayback> playback,
                     std::function<QString()> unavailableReason)
{
    m_recorder.reset();
    m_player.reset();
    m_capture = std::move(capture);
    m_playback = std::move(playback);
    m_unavailableReason = std::move(unavailableReason);
    m_unavailable = m_unavailableReason();
    m_microphoneAsked = true;
    showRecordingControls();
}

void Form5::openList(const QString &path)
{
    // A file that cannot be read throws before anything changes: the list
    // shown stays (a new one when the window opens).
    QList<WordListRow> rows;
    if (!path.isEmpty()) {
        setCursor(Qt::WaitCursor);
        try {
            rows = WordListEdit::read(path);
        } catch (...) {
            setCursor(Qt::ArrowCursor);
            throw;
        }
        setCursor(Qt::ArrowCursor);
    }
    m_recordings.reset();
    m_model.setStatus({});
    m_model.setRows(std::move(rows));
    m_path = path;
    m_stamp = path.isEmpty() ? FileStamp() : FileStamp::of(path);
    // The program's own samples stay as shipped: a parent's changes go to a
    // copy of their own.
    m_readOnly = !path.isEmpty() && (!WordListEdit::canWrite(path) || isSample(path));
    if (!path.isEmpty())
        useRecordingsOf(path);
    Grid1->setCurrentIndex(m_model.index(0, WordListModel::WordColumn));
}

bool Form5::isSample(const QString &path) const
{
    const QString samples = QFileInfo(m_state.besideProgram(ProgramFiles::kFirstSample)).absolutePath();
    return QFileInfo(path).absolutePath() == samples;
}

void Form5::useRecordingsOf(const QString &path)
{
    m_recordings = std::make_unique<ListRecordings>(path, QString(),
                                                    isSample(path) ? RecordingFolder::Writes::InDataFolder
                                                                   : RecordingFolder::Writes::BesideListWhenWritable);
    m_model.setStatus([this](int row) {
        return m_recordings->statusText(m_model.recordedWord(row, RecordingPart::Word),
                                        m_model.recordedWord(row, RecordingPart::Sentence));
    });
    Grid1->setColumnWidth(WordListModel::SentenceColumn, Looks::px(3600));
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
    showRecordingControls();
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
    // The Recordings column takes no text: a line pasted there is a row.
    if (current.isValid() && current.column() <= WordListModel::SentenceColumn && !text.contains(u'\t')
        && !text.contains(u'\n') && !text.contains(u'\r')) {
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
    const std::optional<bool> saving
        = m_state.prompts().questionOrCancel(u"Save the changes to %1?"_s.arg(shownName(m_path)));
    if (!saving)
        return false;
    return !*saving || save();
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
    openList(chosen);
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
    if (!mayReplaceFile())
        return false;
    return saveTo(m_path);
}

bool Form5::mayReplaceFile()
{
    const FileStamp now = FileStamp::of(m_path);
    return !now.exists() || now == m_stamp
        || m_state.prompts().question(u"%1 was changed by another program after it was opened here. "
                                      "Save over those changes?"_s.arg(shownName(m_path)));
}

bool Form5::saveAs()
{
    QString proposed = m_path.isEmpty() ? u"Word List.dic"_s : m_path;
    // A list is offered under the ending the open dialog shows, and a copy
    // of a read-only list away from the file that cannot be saved over.
    if (QFileInfo(proposed).suffix().compare(u"dic"_s, Qt::CaseInsensitive) != 0)
        proposed = QFileInfo(proposed).completeBaseName() + u".dic"_s;
    else if (m_readOnly)
        proposed = QFileInfo(proposed).fileName();
    const QString chosen = m_state.dialogs().saveFile(this, u"Save Word List As"_s, kFilter, proposed);
    if (chosen.isEmpty())
        return false;
    if (!m_path.isEmpty() && QFileInfo(chosen) == QFileInfo(m_path)) {
        if (!mayReplaceFile())
            return false;
    } else if (QFileInfo::exists(chosen)
               && !m_state.prompts().question(u"%1 already exists. Replace it?"_s.arg(QFileInfo(chosen).fileName()))) {
        return false;
    }
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
    if (path != m_path) {
        const std::unique_ptr<ListRecordings> before = std::move(m_recordings);
        useRecordingsOf(path);
        if (before && !before->copyTo(*m_recordings))
            m_state.prompts().message(u"Some recordings could not be copied to %1."_s.arg(
                QDir::toNativeSeparators(m_recordings->folder().writeFolder())));
    }
    // The saved words take the recordings their rows showed.
    QList<FiledRow> filed;
    filed.reserve(m_model.rowCount());
    for (int row = 0; row < m_model.rowCount(); ++row)
        filed.append({m_model.rows().at(row).word, m_model.filedAs(row, RecordingPart::Word),
                      m_model.filedAs(row, RecordingPart::Sentence)});
    if (!m_recordings->follow(filed))
        m_state.prompts().message(u"Some recordings could not be moved to their rows' new words."_s);
    m_path = path;
    m_stamp = FileStamp::of(path);
    m_model.markSaved();
    showList();
    Label2->setText(u"Saved."_s);
    // The game plays what was saved, not the words it read before.
    if (isInUse(path))
        m_navigator.useWordList(path);
    return true;
}

bool Form5::isInUse(const QString &path) const
{
    const QString inUse = m_state.ReadSetting(SettingKeys::kDictionary.toString(), QString());
    return !inUse.isEmpty() && QFileInfo(inUse) == QFileInfo(path);
}

void Form5::PushButton8_Click()
{
    // The game reads the file, so the list is saved first.
    const bool saving = m_path.isEmpty() || m_model.isModified();
    if (saving && !save())
        return;
    // A save of the list in use has read it again already; otherwise it is
    // read again, as another program may have changed it since.
    if (!saving || !isInUse(m_path))
        m_navigator.useWordList(m_path);
    Label2->setText(u"This list is now the list in use."_s);
}

void Form5::closeEvent(QCloseEvent *event)
{
    // A take waiting for Keep or Discard is not thrown away unasked.
    if (m_takePending && !m_navigator.ending()) {
        const WordListRow &row = m_model.rows().at(m_takeRow);
        const QString text = m_takePart == RecordingPart::Word ? row.word : row.sentence;
        const std::optional<bool> keep
            = m_state.prompts().questionOrCancel(u"Keep the new recording of \"%1\"?"_s.arg(text));
        if (!keep) {
            event->ignore();
            return;
        }
        if (*keep)
            userAction([this] { PushButton15_Click(); });
        else
            dropTake();
    }
    if (!m_navigator.ending() && !mayLeaveList()) {
        event->ignore();
        return;
    }
    if (m_recorder)
        m_recorder->cancel();
    if (m_player)
        m_player->stop();
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

bool Form5::isRecording() const
{
    return m_recorder && m_recorder->isRecording();
}

QString Form5::currentWord() const
{
    const int row = currentRow();
    return row < 0 ? QString() : m_model.rows().at(row).word;
}

QString Form5::recordedWord() const
{
    const int row = currentRow();
    return row < 0 ? QString() : m_model.recordedWord(row, chosenPart());
}

void Form5::wordChanged(int row)
{
    if (!m_recordings)
        return;
    const QString word = m_model.rows().at(row).word;
    for (const RecordingPart part : {RecordingPart::Word, RecordingPart::Sentence}) {
        const QString filed = m_model.filedAs(row, part);
        if (!filed.isEmpty() && filed != word && !m_recordings->path(filed, part).isEmpty()) {
            Label2->setText(u"Recordings of \"%1\" will be kept for \"%2\" when the list is saved."_s.arg(filed, word));
            return;
        }
    }
}

RecordingPart Form5::chosenPart() const
{
    return Option2->isChecked() ? RecordingPart::Sentence : RecordingPart::Word;
}

VoiceRecorder &Form5::recorder()
{
    if (!m_recorder) {
        m_recorder = std::make_unique<VoiceRecorder>(std::move(m_capture));
        connect(m_recorder.get(), &VoiceRecorder::levelChanged, this,
                [this](double level) { ProgressBar1->setValue(int(level * 100)); });
        connect(m_recorder.get(), &VoiceRecorder::finished, this, [this] { takeEnded(); });
        connect(m_recorder.get(), &VoiceRecorder::failed, this, [this](const QString &text) { recordingFailed(text); });
    }
    return *m_recorder;
}

RecordingPlayer &Form5::player()
{
    if (!m_player) {
        m_player = std::make_unique<RecordingPlayer>(std::move(m_playback));
        // A take counts as heard once it has played to its end, or when the
        // sound output cannot play it at all.
        const auto heard = [this] {
            if (m_takePending) {
                m_takeHeard = true;
                showRecordingControls();
            }
        };
        connect(m_player.get(), &RecordingPlayer::finished, this, heard);
        connect(m_player.get(), &RecordingPlayer::failed, this, [this, heard](const QString &text) {
            heard();
            Label2->setText(text);
        });
    }
    return *m_player;
}

void Form5::showRecordingControls()
{
    const bool recording = isRecording();
    const bool busy = recording || m_takePending;
    const QString word = currentWord();
    const bool rowChosen = !WordListEdit::isBlankWord(word);
    const bool sentenceGiven = rowChosen && !m_model.rows().at(currentRow()).sentence.isEmpty();
    const bool canRecord = m_microphoneAsked && m_unavailable.isEmpty() && !recording;
    PushButton10->setEnabled(canRecord && rowChosen);
    PushButton11->setEnabled(canRecord && sentenceGiven);
    PushButton12->setEnabled(recording);
    const bool hasRecording = rowChosen && m_recordings && !m_recordings->path(recordedWord(), chosenPart()).isEmpty();
    PushButton13->setEnabled(!recording && (m_takePending || hasRecording));
    PushButton14->setEnabled(!busy && hasRecording);
    PushButton15->setEnabled(m_takePending && m_takeHeard);
    PushButton16->setEnabled(m_takePending);
    // While a take is under way or waits, it stays with its row and list.
    const QList<QWidget *> listControls{Grid1,       PushButton1, PushButton2, PushButton3, PushButton4,
                                        PushButton5, PushButton6, PushButton7, PushButton8};
    for (QWidget *control : listControls)
        control->setEnabled(!busy);
    if (!busy)
        Label3->setText(QString());

    if (!m_unavailable.isEmpty())
        Label4->setText(u"Recording is not possible: %1"_s.arg(m_unavailable));
    else if (m_recordings && !m_recordings->folder().writesBesideList())
        Label4->setText(u"The list's folder cannot be written: recordings are kept in %1"_s.arg(
            QDir::toNativeSeparators(m_recordings->folder().inDataFolder())));
    else
        Label4->setText(QString());
}

void Form5::record(RecordingPart part)
{
    const int row = currentRow();
    if (row < 0)
        return;
    // Recordings are kept beside the list's file, so it needs one.
    if (m_path.isEmpty() && !save())
        return;
    dropTake();
    const WordListRow &chosen = m_model.rows().at(row);
    m_takeWord = chosen.word;
    m_takeRow = row;
    m_takePart = part;
    (part == RecordingPart::Word ? Option1 : Option2)->setChecked(true);
    if (!recorder().start())
        return;
    showRecordingControls();
    Label3->setText(part == RecordingPart::Word ? chosen.word : chosen.sentence);
    PushButton12->setFocus();
}

void Form5::PushButton10_Click()
{
    record(RecordingPart::Word);
}

void Form5::PushButton11_Click()
{
    record(RecordingPart::Sentence);
}

void Form5::PushButton12_Click()
{
    if (isRecording())
        recorder().stop();
}

void Form5::takeEnded()
{
    m_takePending = true;
    m_takeHeard = false;
    ProgressBar1->setValue(0);
    Label2->setText(u"Listen to the new recording, then choose Keep or Discard."_s);
    showRecordingControls();
    playTake();
}

void Form5::recordingFailed(const QString &text)
{
    // One message; the recording that was there stays as it was.
    m_takePending = false;
    m_takeHeard = false;
    ProgressBar1->setValue(0);
    showRecordingControls();
    m_state.prompts().message(text);
}

void Form5::playTake()
{
    if (!player().play(recorder().take(), m_state.audio.preferences->volume())) {
        m_takeHeard = true;
        Label2->setText(player().lastError());
        showRecordingControls();
    }
}

void Form5::PushButton13_Click()
{
    if (m_takePending) {
        playTake();
        return;
    }
    const QString path = m_recordings ? m_recordings->path(recordedWord(), chosenPart()) : QString();
    if (!path.isEmpty() && !player().playFile(path, m_state.audio.preferences->volume()))
        m_state.prompts().message(player().lastError());
}

void Form5::PushButton14_Click()
{
    if (!m_recordings || WordListEdit::isBlankWord(currentWord()))
        return;
    if (!m_recordings->remove(recordedWord(), chosenPart()))
        m_state.prompts().message(u"The recording could not be deleted."_s);
    // Rows of the same word showed the same file.
    m_model.statusesChanged();
    showRecordingControls();
}

void Form5::PushButton15_Click()
{
    if (!m_takePending || !m_recordings)
        return;
    player().stop();
    // Saved safely: a failed save (a full disk) leaves the old recording.
    try {
        m_recordings->keep(m_takeWord, m_takePart, recorder().take());
    } catch (...) {
        dropTake();
        throw;
    }
    // The new take is the row's, under its word as it is now.
    m_model.setFiledAs(m_takeRow, m_takePart, m_takeWord);
    dropTake();
    Label2->setText(u"Recording kept."_s);
}

void Form5::PushButton16_Click()
{
    dropTake();
    Label2->setText(u"Recording discarded."_s);
}

void Form5::dropTake()
{
    if (m_player)
        m_player->stop();
    m_takePending = false;
    m_takeHeard = false;
    m_model.statusesChanged();
    showRecordingControls();
}
