// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordlist/recordingfolder.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

class WordStore;

// One row of a list being edited: a word and the sentence said with it.
struct WordListRow
{
    QString word;
    QString sentence;
    friend bool operator==(const WordListRow &, const WordListRow &) = default;
};

// The rules of the word list editor, kept so that what it saves reads back
// as the same rows (readDictionaryInto).
namespace WordListEdit {

// A word as the list can hold it: TABs and line breaks become spaces (they
// would split the line), NUL characters and a leading byte order mark go (the
// reader would refuse the file or drop the mark).
QString cleanWord(QStringView word);
// A sentence as the list can hold it: cleaned as a word, and without the
// spaces at both ends, which the reader drops.
QString cleanSentence(QStringView sentence);
// True when the row gives no word: such a row is not saved.
bool isBlankWord(QStringView word);

// Rows pasted from a spreadsheet or a text: one row a line (LF, CR LF or CR),
// the word before the first TAB and the sentence after it, further columns
// left out; lines without a word are skipped.
QList<WordListRow> parseRows(QStringView text);
// The rows of a list as the game reads it.
QList<WordListRow> rowsOf(const WordStore &store);
// Reads the list at the path as the game does (readDictionaryText); throws
// its Failure.
QList<WordListRow> read(const QString &path);
// The file's bytes: UTF-8 without a mark, one "word<TAB>sentence" or "word"
// line a row, each ended by LF; rows without a word are left out.
QByteArray encode(const QList<WordListRow> &rows);
// Saves the rows safely (SafeSave), throwing its Failure.
void save(const QString &path, const QList<WordListRow> &rows);
// True when the program can save over the file: the file and its folder can
// both be written (a safe save writes beside the file first).
bool canWrite(const QString &path);

} // namespace WordListEdit

// What a file was when the editor last read or wrote it, so that a change
// made meanwhile by another program is seen before it is saved over. The
// contents are compared, not the time, which a quick change may keep and a
// sync or backup tool may change alone.
class FileStamp
{
public:
    FileStamp() = default;
    static FileStamp of(const QString &path);

    bool exists() const { return m_exists; }
    friend bool operator==(const FileStamp &, const FileStamp &) = default;

private:
    bool m_exists = false;
    qint64 m_size = 0;
    QByteArray m_hash;
};

// The rows of the list being edited, as a table of Word, Sentence and,
// when a status is given, Recordings. Typed and pasted text is cleaned
// (WordListEdit::cleanWord, cleanSentence). Knows whether it changed since
// it was last filled or saved, and which word each row's recordings are
// kept under: a row's recordings stay with it when its word is changed, and
// are filed under the new word when the list is saved.
class WordListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { WordColumn, SentenceColumn, RecordingColumn };
    // The text of the Recordings column for a row; asked only when shown.
    using Status = std::function<QString(int row)>;

    explicit WordListModel(QObject *parent = nullptr);

    const QList<WordListRow> &rows() const { return m_rows; }
    // Replaces every row; the list is then unchanged.
    void setRows(QList<WordListRow> rows);
    // Inserts the rows before the given one (at the end when it is past the
    // last); returns how many were inserted.
    int insertRowsAt(int row, QList<WordListRow> rows);
    // Inserts the rows of a pasted text (WordListEdit::parseRows).
    int paste(int row, QStringView text);
    void setStatus(Status status);
    // Tells the view that a row's recordings changed.
    void statusChanged(int row);
    // Tells the view that any row's recordings may have changed.
    void statusesChanged();

    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    // The list was saved as it is: unchanged, and every row's recordings
    // filed under its word.
    void markSaved();

    // The word under which the recording of the row's part is kept: the
    // row's word when the list was read or last saved, or when that part was
    // last recorded (setFiledAs); empty for a row added since.
    QString filedAs(int row, RecordingPart part) const;
    void setFiledAs(int row, RecordingPart part, const QString &word);
    // The word whose recording of the part the row has now: filedAs(), or
    // the row's own word for a row added since.
    QString recordedWord(int row, RecordingPart part) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

signals:
    void modifiedChanged(bool modified);

private:
    struct Filed
    {
        QString word;
        QString sentence;
    };

    QList<WordListRow> m_rows;
    // Beside m_rows, one a row.
    QList<Filed> m_filed;
    Status m_status;
    bool m_modified = false;
};
