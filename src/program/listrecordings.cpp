// SPDX-License-Identifier: GPL-3.0-or-later
#include "listrecordings.h"

#include "audio/wavfile.h"

#include <QDir>
#include <QFile>

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

ListRecordings::ListRecordings(const QString &listPath, const QString &dataLocation) : m_folder(listPath, dataLocation)
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

QString ListRecordings::statusText(const QString &word) const
{
    const Parts &found = parts(word);
    QStringList shown;
    for (const auto &[state, name] : {std::pair{found.word, u"word"_s}, std::pair{found.sentence, u"sentence"_s}}) {
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
    bool copied = true;
    QString target;
    // The files of the folder written to come first: they are the newer.
    const QString first = m_folder.writeFolder();
    const QString second = first == m_folder.besideList() ? m_folder.inDataFolder() : m_folder.besideList();
    for (const QString &folder : {first, second}) {
        const QStringList names = QDir(folder).entryList({u"*.wav"_s}, QDir::Files);
        for (const QString &name : names) {
            if (target.isEmpty()) {
                target = other.m_folder.writeFolder();
                if (!QDir().mkpath(target))
                    return false;
            }
            const QString to = QDir(target).filePath(name);
            if (!QFile::exists(to) && !QFile::copy(QDir(folder).filePath(name), to))
                copied = false;
        }
    }
    other.m_states.clear();
    return copied;
}
