// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingfolder.h"

#include "core/failure.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Hex digits of the hash that keeps names apart: 40 bits.
constexpr int kHashDigits = 10;

QString shortHash(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(kHashDigits));
}

// Characters that some file system refuses in a name, and "~", which marks
// the hash.
bool forbidden(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"/\\:*?\"<>|~").contains(c)
        || c.category() == QChar::Other_Format || c.category() == QChar::Other_NotAssigned
        || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
}

// Names Windows keeps for devices, whatever follows a dot.
bool reservedStem(const QString &name)
{
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList reserved = {u"CON"_s, u"PRN"_s, u"AUX"_s, u"NUL"_s, u"CONIN$"_s, u"CONOUT$"_s};
    if (reserved.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(u"COM"_s) || stem.startsWith(u"LPT"_s))
        && (stem[3].isDigit() || QStringView(u"¹²³").contains(stem[3]));
}

// A lower-case letter whose capital is another letter's too (dotless i,
// final sigma, long s): a case-blind file system takes it for that letter.
bool hasSharedCapital(const QString &word)
{
    return std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.toUpper().toLower() != c; });
}

// The first `limit` characters, a surrogate pair or a base letter and its
// marks never split.
QString capped(const QString &text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    qsizetype end = limit;
    while (end > 0 && (text[end].isLowSurrogate() || text[end].isMark()))
        --end;
    return text.left(end);
}

} // namespace

QString recordingFileName(const QString &word, RecordingPart part)
{
    const QString composed = word.normalized(QString::NormalizationForm_C);
    QString name = capped(composed, kLongestReadableName);
    for (QChar &c : name) {
        if (forbidden(c))
            c = u'_';
    }
    // Windows drops trailing dots and spaces; a leading dot hides the file
    // and a leading space is easily lost.
    for (qsizetype i = 0; i < name.size() && (name[i] == u'.' || name[i].isSpace()); ++i)
        name[i] = u'_';
    for (qsizetype i = name.size() - 1; i >= 0 && (name[i] == u'.' || name[i].isSpace()); --i)
        name[i] = u'_';
    if (reservedStem(name))
        name.insert(name.contains(u'.') ? name.indexOf(u'.') : name.size(), u'_');
    if (name != word || word != word.toLower() || hasSharedCapital(word))
        name += u'~' + shortHash(word);
    return name + (part == RecordingPart::Word ? u".word.wav"_s : u".sentence.wav"_s);
}

RecordingFolder::RecordingFolder(const QString &listPath, const QString &dataLocation, Writes writes) : m_writes(writes)
{
    const QFileInfo list(listPath);
    const QString absolute = list.absoluteFilePath();
    m_besideList = absolute + u".audio"_s;
    const QString data
        = dataLocation.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : dataLocation;
    m_inDataFolder = QDir(data).filePath(u"Recordings/%1~%2.audio"_s.arg(list.fileName(), shortHash(absolute)));
}

QString RecordingFolder::writeFolder() const
{
    if (m_writes == Writes::InDataFolder)
        return m_inDataFolder;
    const QFileInfo beside(m_besideList);
    if (beside.exists())
        return beside.isDir() && beside.isWritable() ? m_besideList : m_inDataFolder;
    const QFileInfo parent(beside.absolutePath());
    return parent.isDir() && parent.isWritable() ? m_besideList : m_inDataFolder;
}

QString RecordingFolder::pathForNew(const QString &word, RecordingPart part) const
{
    const QString folder = writeFolder();
    if (!QDir().mkpath(folder))
        throw Failure(u"The folder for the recordings cannot be made: %1"_s.arg(QDir::toNativeSeparators(folder)));
    return QDir(folder).filePath(recordingFileName(word, part));
}

QString RecordingFolder::existing(const QString &word, RecordingPart part) const
{
    const QString name = recordingFileName(word, part);
    const QString first = writeFolder();
    for (const QString &folder : {first, first == m_besideList ? m_inDataFolder : m_besideList}) {
        const QString path = folder + u'/' + name;
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool RecordingFolder::remove(const QString &word, RecordingPart part) const
{
    const QString name = recordingFileName(word, part);
    bool removed = true;
    for (const QString &folder : {m_besideList, m_inDataFolder}) {
        QFile file(folder + u'/' + name);
        if (file.exists() && !file.remove())
            removed = false;
    }
    return removed;
}
