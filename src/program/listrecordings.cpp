// SPDX-License-Identifier: GPL-3.0-or-later
#include "listrecordings.h"

#include "audio/wavfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

ListRecordings::State stateOf(const QString &path)
{
    if (path.isEmpty())
        return ListRecordings::State::None;
    const WavReading reading = readWavFile(path);
    if (reading.problem == WavReading::Problem::Missing)
        return ListRecordings::State::None;
    return reading.ok() ? ListRecordings::State::Recorded : ListRecordings::State::Damaged;
}

} // namespace

ListRecordings::ListRecordings(const QString &listPath, const QString &dataLocation, RecordingFolder::Writes writes)
    : m_folder(listPath, dataLocation, writes)
{ }

const ListRecordings::Parts &ListRecordings::parts(const QString &word) const
{
    const auto found = m_states.constFind(word);
    if (found != m_states.cend())
        return *found;
    return *m_states.insert(word,
                            {stateOf(m_folder.existing(word, RecordingPart::Word)),
                             stateOf(m_folder.existing(word, RecordingPart::Sentence))});
}

ListRecordings::State ListRecordings::state(const QString &word, RecordingPart part) const
{
    const Parts &found = parts(word);
    return part == RecordingPart::Word ? found.word : found.sentence;
}

QString ListRecordings::statusText(const QString &word, const QString &sentenceWord) const
{
    const State wordState = parts(word).word;
    const State sentenceState = parts(sentenceWord).sentence;
    QStringList shown;
    for (const auto &[state, name] : {std::pair{wordState, u"word"_s}, std::pair{sentenceState, u"sentence"_s}}) {
        if (state == State::Recorded)
            shown.append(name);
        else if (state == State::Damaged)
            shown.append(name + u" damaged"_s);
    }
    return shown.isEmpty() ? u"none"_s : shown.join(u", "_s);
}

QString ListRecordings::path(const QString &word, RecordingPart part) const
{
    return m_folder.existing(word, part);
}

void ListRecordings::keep(const QString &word, RecordingPart part, const VoiceAudio &take)
{
    m_states.remove(word);
    writeWavFile(m_folder.pathForNew(word, part), take);
}

bool ListRecordings::remove(const QString &word, RecordingPart part)
{
    m_states.remove(word);
    return m_folder.remove(word, part);
}

bool ListRecordings::copyTo(const ListRecordings &other) const
{
    // Each name's file in the folder written to wins: it is the newer.
    QMap<QString, QString> sources;
    const QString first = m_folder.writeFolder();
    const QString second = first == m_folder.besideList() ? m_folder.inDataFolder() : m_folder.besideList();
    for (const QString &folder : {second, first}) {
        const QStringList names = QDir(folder).entryList({u"*.wav"_s}, QDir::Files);
        for (const QString &name : names)
            sources.insert(name, QDir(folder).filePath(name));
    }
    other.m_states.clear();
    if (sources.isEmpty())
        return true;
    const QString target = other.m_folder.writeFolder();
    if (!QDir().mkpath(target))
        return false;
    bool copied = true;
    for (auto source = sources.cbegin(); source != sources.cend(); ++source) {
        // This list's recording replaces the one the other list had of the
        // word: the saved list plays what this one played.
        const QString to = QDir(target).filePath(source.key());
        if (QFileInfo(to) == QFileInfo(source.value()))
            continue;
        const QString aside = QDir(target).filePath(u".copying-%1.wav"_s.arg(QCoreApplication::applicationPid()));
        QFile::remove(aside);
        bool done = QFile::copy(source.value(), aside);
        if (done) {
            std::error_code error;
            std::filesystem::rename(QFile::encodeName(aside).toStdString(), QFile::encodeName(to).toStdString(), error);
            done = !error;
        }
        if (!done) {
            QFile::remove(aside);
            copied = false;
        }
    }
    return copied;
}

bool ListRecordings::follow(const QList<FiledRow> &rows)
{
    bool moved = true;
    for (const RecordingPart part : {RecordingPart::Word, RecordingPart::Sentence}) {
        const auto filedAs = [part](const FiledRow &row) {
            return part == RecordingPart::Word ? row.wordFiledAs : row.sentenceFiledAs;
        };
        // Words whose own recording a row keeps.
        QSet<QString> kept;
        for (const FiledRow &row : rows) {
            if (!row.word.trimmed().isEmpty() && (filedAs(row).isEmpty() || filedAs(row) == row.word))
                kept.insert(row.word);
        }
        // Each changed word takes the recording of the first row that moved
        // to it; an empty source leaves it without.
        QList<std::pair<QString, QString>> moves;
        QSet<QString> targets;
        for (const FiledRow &row : rows) {
            const QString from = filedAs(row);
            if (row.word.trimmed().isEmpty() || from.isEmpty() || from == row.word || kept.contains(row.word)
                || targets.contains(row.word))
                continue;
            targets.insert(row.word);
            moves.append({row.word, m_folder.existing(from, part).isEmpty() ? QString() : from});
        }
        if (moves.isEmpty())
            continue;
        // Every source is copied aside before any target is replaced, so
        // that words swapping their recordings each get the other's.
        QList<std::pair<QString, QString>> staged;
        QSet<QString> placed;
        const QString folder = m_folder.writeFolder();
        if (!QDir().mkpath(folder))
            return false;
        for (const auto &[to, from] : std::as_const(moves)) {
            if (from.isEmpty())
                continue;
            const QString aside = QDir(folder).filePath(
                u".moving-%1-%2.wav"_s.arg(QCoreApplication::applicationPid()).arg(staged.size()));
            QFile::remove(aside);
            if (QFile::copy(m_folder.existing(from, part), aside))
                staged.append({to, aside});
            else
                moved = false;
        }
        for (const auto &[to, from] : std::as_const(moves)) {
            if (from.isEmpty() && !m_folder.remove(to, part))
                moved = false;
        }
        for (qsizetype i = 0, next = 0; i < moves.size(); ++i) {
            const auto &[to, from] = moves.at(i);
            if (from.isEmpty() || next >= staged.size() || staged.at(next).first != to)
                continue;
            const QString aside = staged.at(next++).second;
            std::error_code error;
            std::filesystem::rename(QFile::encodeName(aside).toStdString(),
                                    QFile::encodeName(m_folder.pathForNew(to, part)).toStdString(), error);
            if (error) {
                QFile::remove(aside);
                moved = false;
            } else {
                placed.insert(from);
            }
        }
        for (const QString &from : std::as_const(placed)) {
            if (!kept.contains(from) && !targets.contains(from) && !m_folder.remove(from, part))
                moved = false;
        }
    }
    m_states.clear();
    return moved;
}
