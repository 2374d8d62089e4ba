// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordlist/recordingfolder.h"

#include <QHash>
#include <QString>

struct VoiceAudio;

// A row of a list being saved: its word, and the words its recordings are
// kept under until then (WordListModel::recordedWord).
struct FiledRow
{
    QString word;
    QString wordFiledAs;
    QString sentenceFiledAs;
};

// The recordings of a list's words and sentences as the word list editor
// shows and changes them. What each word has is read when first asked and
// kept until the word's recordings change here, so that a table of tens of
// thousands of rows reads only the files of the rows it shows.
class ListRecordings
{
public:
    enum class State { None, Recorded, Damaged };

    // The recordings of the list at the path (RecordingFolder).
    explicit ListRecordings(const QString &listPath, const QString &dataLocation = {},
                            RecordingFolder::Writes writes = RecordingFolder::Writes::BesideListWhenWritable);

    // None without a file; Damaged for a file the game would pass over (not
    // a WAV, damaged, unreadable or longer than a minute).
    State state(const QString &word, RecordingPart part) const;
    // What a row shows: "word, sentence", "word", "sentence" or "none", each
    // part "damaged" instead when its file is. The word's recording is the
    // first word's, the sentence's the second's.
    QString statusText(const QString &word, const QString &sentenceWord) const;
    QString statusText(const QString &word) const { return statusText(word, word); }
    // The file of the word's part; empty when there is none.
    QString path(const QString &word, RecordingPart part) const;
    // Saves the take as the word's part, replacing the one there only once
    // the new file is complete. Throws Failure.
    void keep(const QString &word, RecordingPart part, const VoiceAudio &take);
    // Deletes the word's part; false when a file there could not go.
    bool remove(const QString &word, RecordingPart part);
    // Copies every recording of this list into the other's folder, in
    // place of the other's recording of the same word's part, as a list
    // saved under another name takes its recordings along. False when one
    // could not be copied: the other's recording stays.
    bool copyTo(const ListRecordings &other) const;
    // Files each row's recordings under the row's word, as the list is
    // saved after words were changed: a recording goes with its row to the
    // new word, replacing what that word had, and a row without one leaves
    // the new word without. A word that a row keeps unchanged keeps its own
    // recordings. A recording no row keeps under its old word is moved, not
    // copied. False when one could not be moved: it stays where it was.
    bool follow(const QList<FiledRow> &rows);
    // Reads the files again when next asked.
    void forget() { m_states.clear(); }

    const RecordingFolder &folder() const { return m_folder; }

private:
    struct Parts
    {
        State word = State::None;
        State sentence = State::None;
    };
    const Parts &parts(const QString &word) const;

    RecordingFolder m_folder;
    mutable QHash<QString, Parts> m_states;
};
