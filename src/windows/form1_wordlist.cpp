// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/form1.h"

#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/settingkeys.h"
#include "core/utilities.h"
#include "core/waitforwork.h"
#include "program/programstate.h"
#include "wordlist/wordlistfile.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <exception>

using namespace Qt::StringLiterals;

bool Form1::loadDictionaryFile()
{
    Steps s(m_state.prompts(), u"modDictionary", u"loadDictionaryFile");
    s.step(100, [&] { setCursor(Qt::WaitCursor); });
    // A list of millions of words takes seconds: the window keeps painting.
    const bool loaded = readDictionaryInto(s, Text1->text(), m_state.dictionary, runWhileHandlingEvents);
    s.step(118, [&] { setCursor(Qt::ArrowCursor); });
    // A file that is no list leaves the list in use, its pass and counter.
    if (!loaded)
        return false;
    m_state.listPath = QFileInfo(Text1->text()).absoluteFilePath();
    s.step(120, [&] { m_state.usedWords.clear(); });
    s.step(122, [&] { Label1->setText(QString()); });
    return true;
}

void Form1::setText1(const QString &path)
{
    const QString previous = Text1->text();
    Text1->setText(path);
    Text1_Change(previous);
}

void Form1::Text1_Change(const QString &previousPath)
{
    const QString path = Text1->text();
    m_changeReadList = false;
    if (std::any_of(path.cbegin(), path.cend(), [](QChar c) { return c != u' '; })) {
        // A plain file only: folders, hidden files and devices are not read.
        // Wildcard characters are taken literally, as part of a file name, so
        // the list that is read is always the one the path names.
        const QFileInfo info(path);
        if (info.isFile() && !info.isHidden()) {
            m_changeReadList = true;
            // Remembered only once it is taken, so that a file refused, here
            // or at the next start, never takes the place of the list in use.
            if (!loadDictionaryFile()) {
                Text1->setText(previousPath);
                Label3->setText(FileNameOf(previousPath));
                return;
            }
        }
    }
    // A settings file that cannot be written must not keep the learner from
    // the list: its failure passes to the caller once the list is shown.
    std::exception_ptr notRemembered;
    try {
        m_state.WriteSetting(SettingKeys::kDictionary, path);
    } catch (const Failure &) {
        notRemembered = std::current_exception();
    }
    Label3->setText(FileNameOf(path));
    if (notRemembered)
        std::rethrow_exception(notRemembered);
}

void Form1::PushButton6_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton6_Click");
    QString chosen;
    s.step(106, [&] {
        chosen = m_state.dialogs().openFile(this, u"Select Dictionary File"_s, u"Dictionary File (*.dic)"_s);
    });
    if (s.test(108, [&] { return !chosen.isEmpty(); }))
        s.step(110, [&] { setText1(chosen); });
}

void Form1::useWordList(const QString &path)
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton6_Click");
    s.step(110, [&] { setText1(path); });
}

void Form1::PushButton1_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton1_Click");
    s.step(100, [&] { setText1(m_state.besideProgram(ProgramFiles::kSecondSample)); });
}

void Form1::PushButton10_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton10_Click");
    s.step(100, [&] { setText1(m_state.besideProgram(ProgramFiles::kFirstSample)); });
}

void Form1::PushButton11_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton11_Click");
    if (s.test(100, [&] { return FileExists(Text1->text()); }))
        s.step(102, [&] { m_state.launcher().openInEditor(Text1->text()); });
    else
        s.step(104, [&] { m_state.prompts().message(u"File does not exist."_s); });
}

void Form1::PushButton2_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton2_Click");
    s.step(100, [&] {
        m_state.prompts().message(
            u"Select file for words to use in Lexidrill. Each word should be on it's own line such as:"
            "\r\n\r\n"
            "phenomenon\r\n"
            "prestigious\r\n"
            "parliament\r\n"
            "\r\n"
            "Press '...' to select a file or use the Load Samples button to select one of mine to test "
            "the software with."_s);
    });
}

void Form1::Label3_Click()
{
    m_state.prompts().message(u"Press '. . .' button to select another file."_s);
}
