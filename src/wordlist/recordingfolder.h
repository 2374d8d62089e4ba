// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The recordings of a word list's words and sentences, one WAV file each.
//
// They live in a folder beside the list named after the list's whole file
// name plus ".audio" ("week 3.dic" keeps its recordings in "week 3.dic.audio/"),
// so that copying the list and that folder together shares both. When the
// list's own folder cannot be written (a sample list of the installation),
// they go to the program's data folder instead, under the list's name and a
// hash of its full path.
enum class RecordingPart { Word, Sentence };

// The file name of the recording of a word or of its sentence, readable from
// the word: "cat.word.wav", "cat.sentence.wav". Safe on every common file
// system: characters no system allows, control characters, leading dots and
// spaces, trailing dots and spaces and the reserved device names (CON, NUL,
// COM1...) are replaced, the readable part is capped (kLongestReadableName)
// and the text is put in NFC. A word that needed any of that, or that has a
// capital letter or a letter sharing its capital with another (dotless i,
// final sigma), gets "~" and a hash of the exact word before the ending,
// so that words differing only in letter case or in a replaced character
// never share a file, not even on a file system that ignores case.
QString recordingFileName(const QString &word, RecordingPart part);

// Characters of the word kept readable in a file name.
inline constexpr qsizetype kLongestReadableName = 64;

class RecordingFolder
{
public:
    // Where new recordings may go: the program's own samples stay as
    // shipped, even where their folder could be written.
    enum class Writes { BesideListWhenWritable, InDataFolder };

    // The folders of the list file at that path (absolute or relative to
    // the current folder). The data folder is the application's data
    // location unless one is given (tests).
    explicit RecordingFolder(const QString &listPath, const QString &dataLocation = {},
                             Writes writes = Writes::BesideListWhenWritable);

    // "<list path>.audio"
    const QString &besideList() const { return m_besideList; }
    // "<data location>/Recordings/<list file name>~<hash of the list's
    // absolute path>.audio"
    const QString &inDataFolder() const { return m_inDataFolder; }

    // Where new recordings are saved: beside the list when that folder is
    // there and writable or can be made there, else (or when told so) in
    // the data folder. Decided afresh on each call.
    QString writeFolder() const;
    bool writesBesideList() const { return writeFolder() == m_besideList; }

    // The path a new recording of the word's part is saved at; its folder is
    // made. Throws Failure when no folder can be made.
    QString pathForNew(const QString &word, RecordingPart part) const;
    // The existing recording of the word's part: the one in writeFolder()
    // when there is one, else the one in the other folder; empty when there
    // is none. Only looks whether a file of that name is there.
    QString existing(const QString &word, RecordingPart part) const;
    // Deletes the recording of the word's part from both folders. False when
    // one that is there could not be deleted.
    bool remove(const QString &word, RecordingPart part) const;

private:
    QString m_besideList;
    QString m_inDataFolder;
    Writes m_writes;
};
