// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlistedit.h"

#include "core/safesave.h"
#include "wordlist/wordlistfile.h"
#include "wordlist/wordstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace WordListEdit {

QString cleanWord(QStringView word)
{
    QString clean;
    clean.reserve(word.size());
    for (const QChar c : word) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            clean += u' ';
        else if (c != u'\0' && !(c == QChar(0xFEFF) && clean.isEmpty()))
            clean += c;
    }
    return clean;
}

QString cleanSentence(QStringView sentence)
{
    return cleanWord(sentence).trimmed();
}

bool isBlankWord(QStringView word)
{
    return word.trimmed().isEmpty();
}

QList<WordListRow> parseRows(QStringView text)
{
    QList<WordListRow> rows;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QStringView line = text.sliced(start, end - start);
        // CR LF ends one line, not two.
        start = end + (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);

        const qsizetype tab = line.indexOf(u'\t');
        WordListRow row{cleanWord(tab < 0 ? line : line.first(tab)), QString()};
        if (tab >= 0) {
            QStringView sentence = line.sliced(tab + 1);
            const qsizetype nextTab = sentence.indexOf(u'\t');
            row.sentence = cleanSentence(nextTab < 0 ? sentence : sentence.first(nextTab));
        }
        if (!isBlankWord(row.word))
            rows.append(std::move(row));
    }
    return rows;
}

QList<WordListRow> rowsOf(const WordStore &store)
{
    QList<WordListRow> rows;
    rows.reserve(store.count());
    for (qsizetype position = 1; position <= store.count(); ++position)
        rows.append({store.word(position), store.sentence(position)});
    return rows;
}

QList<WordListRow> read(const QString &path)
{
    return rowsOf(WordStore::fromText(readDictionaryText(path)));
}

QByteArray encode(const QList<WordListRow> &rows)
{
    QString text;
    for (const WordListRow &row : rows) {
        const QString word = cleanWord(row.word);
        if (isBlankWord(word))
            continue;
        text += word;
        const QString sentence = cleanSentence(row.sentence);
        if (!sentence.isEmpty()) {
            text += u'\t';
            text += sentence;
        }
        text += u'\n';
    }
    return text.toUtf8();
}

void save(const QString &path, const QList<WordListRow> &rows)
{
    SafeSave file(path);
    file.open();
    file.write(encode(rows));
    file.commit();
}

bool canWrite(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    return (!file.exists() || (file.isFile() && file.isWritable())) && folder.isDir() && folder.isWritable();
}

} // namespace WordListEdit

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return stamp;
    stamp.m_exists = true;
    stamp.m_size = info.size();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    stamp.m_hash = hash.result();
    return stamp;
}

WordListModel::WordListModel(QObject *parent) : QAbstractTableModel(parent) { }

void WordListModel::setRows(QList<WordListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_filed.clear();
    m_filed.reserve(m_rows.size());
    for (const WordListRow &row : std::as_const(m_rows))
        m_filed.append({row.word, row.word});
    endResetModel();
    setModified(false);
}

void WordListModel::markSaved()
{
    for (qsizetype row = 0; row < m_rows.size(); ++row)
        m_filed[row] = {m_rows.at(row).word, m_rows.at(row).word};
    statusesChanged();
    setModified(false);
}

QString WordListModel::filedAs(int row, RecordingPart part) const
{
    const Filed &filed = m_filed.at(row);
    return part == RecordingPart::Word ? filed.word : filed.sentence;
}

void WordListModel::setFiledAs(int row, RecordingPart part, const QString &word)
{
    (part == RecordingPart::Word ? m_filed[row].word : m_filed[row].sentence) = word;
    statusChanged(row);
}

QString WordListModel::recordedWord(int row, RecordingPart part) const
{
    const QString filed = filedAs(row, part);
    return filed.isEmpty() ? m_rows.at(row).word : filed;
}

int WordListModel::insertRowsAt(int row, QList<WordListRow> rows)
{
    if (rows.isEmpty())
        return 0;
    row = std::clamp(row, 0, int(m_rows.size()));
    beginInsertRows(QModelIndex(), row, row + int(rows.size()) - 1);
    m_rows.insert(row, rows.size(), WordListRow());
    m_filed.insert(row, rows.size(), Filed());
    std::move(rows.begin(), rows.end(), m_rows.begin() + row);
    endInsertRows();
    setModified(true);
    return int(rows.size());
}

int WordListModel::paste(int row, QStringView text)
{
    return insertRowsAt(row, WordListEdit::parseRows(text));
}

void WordListModel::setStatus(Status status)
{
    // The Recordings column comes and goes without a reset, which would lose
    // the view's chosen row.
    if (m_status && !status) {
        beginRemoveColumns(QModelIndex(), RecordingColumn, RecordingColumn);
        m_status = {};
        endRemoveColumns();
    } else if (!m_status && status) {
        beginInsertColumns(QModelIndex(), RecordingColumn, RecordingColumn);
        m_status = std::move(status);
        endInsertColumns();
    } else {
        m_status = std::move(status);
        statusesChanged();
    }
}

void WordListModel::statusChanged(int row)
{
    if (m_status && row >= 0 && row < rowCount())
        emit dataChanged(index(row, RecordingColumn), index(row, RecordingColumn));
}

void WordListModel::statusesChanged()
{
    if (m_status && !m_rows.isEmpty())
        emit dataChanged(index(0, RecordingColumn), index(rowCount() - 1, RecordingColumn));
}

void WordListModel::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

int WordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int WordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : (m_status ? 3 : 2);
}

QVariant WordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()
        || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole))
        return {};
    const WordListRow &row = m_rows.at(index.row());
    switch (index.column()) {
    case WordColumn:
        return row.word;
    case SentenceColumn:
        return row.sentence;
    case RecordingColumn:
        return m_status ? m_status(index.row()) : QString();
    }
    return {};
}

bool WordListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rowCount() || index.column() > SentenceColumn)
        return false;
    WordListRow &row = m_rows[index.row()];
    QString &cell = index.column() == WordColumn ? row.word : row.sentence;
    const QString text = index.column() == WordColumn ? WordListEdit::cleanWord(value.toString())
                                                      : WordListEdit::cleanSentence(value.toString());
    if (cell == text)
        return true;
    cell = text;
    emit dataChanged(index, index);
    // The recordings the row shows may be another word's now.
    if (index.column() == WordColumn)
        statusChanged(index.row());
    setModified(true);
    return true;
}

Qt::ItemFlags WordListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() <= SentenceColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant WordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case WordColumn:
        return u"Word"_s;
    case SentenceColumn:
        return u"Sentence"_s;
    case RecordingColumn:
        return u"Recordings"_s;
    }
    return {};
}

bool WordListModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || count <= 0 || row < 0 || row > rowCount())
        return false;
    return insertRowsAt(row, QList<WordListRow>(count)) == count;
}

bool WordListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || count <= 0 || row < 0 || row + count > rowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.remove(row, count);
    m_filed.remove(row, count);
    endRemoveRows();
    setModified(true);
    return true;
}
