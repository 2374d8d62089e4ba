#include "windows/form1.h"

#include "core/errorreport.h"
#include "core/programfiles.h"
#include "core/settingkeys.h"
#include "core/utilities.h"
#include "program/programstate.h"
#include "wordlist/wordlistfile.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

using namespace Qt::StringLiterals;

void Form1::loadDictionaryFile()
{
    Steps s(m_state.prompts(), u"modDictionary", u"loadDictionaryFile");
    QString text;
    TextLines lines;
    s.step(100, [&] { setCursor(Qt::WaitCursor); });
    // The old store goes before the new list is read, so that two lists are
    // never held at once; nothing draws until the load is over, and a failed
    // read leaves the store empty all the same (step 108).
    s.step(102, [&] {
        m_state.dictionary = WordStore();
        text = readDictionaryText(Text1->text());
    });
    s.step(104, [&] { text.remove(u'\r'); });
    s.step(106, [&] { lines = TextLines(std::move(text)); });
    s.step(108, [&] { m_state.dictionary = WordStore(lines.text(), lines.nonEmptyCount()); });
    for (qsizetype i = 0; i < lines.count(); ++i) {
        s.mark(110);
        if (s.test(112, [&] { return !lines.line(i).isEmpty(); }))
            s.step(114, [&] { m_state.dictionary.append(lines.line(i)); });
        s.mark(116);
    }
    lines = TextLines();
    s.step(118, [&] { setCursor(Qt::ArrowCursor); });
    s.step(120, [&] { m_state.usedWords.clear(); });
    s.step(122, [&] { Label1->setText(QString()); });
}

void Form1::setText1(const QString &path)
{
    Text1->setText(path);
    Text1_Change();
}

void Form1::Text1_Change()
{
    const QString path = Text1->text();
    m_state.WriteSetting(SettingKeys::kDictionary, path);
    if (std::any_of(path.cbegin(), path.cend(), [](QChar c) { return c != u' '; })) {
        // A plain file only: folders, hidden files and devices are not read.
        // Wildcard characters are taken literally, as part of a file name, so
        // the list that is read is always the one the path names.
        const QFileInfo info(path);
        if (info.isFile() && !info.isHidden())
            loadDictionaryFile();
    }
    Label3->setText(FileNameOf(path));
}

void Form1::PushButton6_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton6_Click");
    QString chosen;
    s.step(106, [&] {
        chosen = m_state.dialogs().openFile(this, u"Select Dictionary File"_s,
                                              u"Dictionary File (*.dic)"_s);
    });
    if (s.test(108, [&] { return !chosen.isEmpty(); }))
        s.step(110, [&] { setText1(chosen); });
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
