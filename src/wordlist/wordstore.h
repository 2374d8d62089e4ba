// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The lines of a text, split at every LF. The text is held once; lines are
// ranges of it, so a text may hold up to WordStore::kMaximumTextLength
// characters.
class TextLines
{
public:
    TextLines() = default;
    explicit TextLines(QString text);

    qsizetype count() const { return qsizetype(m_ends.size()); }
    qsizetype nonEmptyCount() const { return m_nonEmpty; }
    // The line at an index from 0 to count - 1, without its LF.
    QStringView line(qsizetype index) const;
    const QString &text() const { return m_text; }

private:
    QString m_text;
    std::vector<quint32> m_ends; // index of each line's LF (or of the text's end)
    qsizetype m_nonEmpty = 0;
};

// The word list store: the words of a list's lines (appendLine), at
// positions 1..count in file order, each with the sentence its line may give.
// The same word may stand at several positions; words are compared exactly
// (Cat and cat are two words), their sentences play no part in that.
//
// Held compactly so that a list of a million words stays small and quick:
// one text buffer, a (start, length) pair per entry, the copies of each word
// linked in a ring, and an open-addressing table of the different words.
// The program uses it from one thread at a time: const members may build the
// ring and the table.
class WordStore
{
public:
    // Places in the store's text are 32-bit: the longest text it can hold.
    static constexpr qsizetype kMaximumTextLength = 0xFFFFFFFF;

    WordStore() = default;
    // An empty store that takes its words from the given text: appending a
    // view into that text records its place instead of copying it. Room is
    // made for the expected number of entries.
    explicit WordStore(QString source, qsizetype expectedCount = 0);
    WordStore(const WordStore &) = default;
    WordStore &operator=(const WordStore &) = default;
    // A store moved from is left empty, so that it can still be drawn from.
    WordStore(WordStore &&other) noexcept { swap(other); }
    WordStore &operator=(WordStore &&other) noexcept;
    void swap(WordStore &other) noexcept;

    // Deletes every CR, splits at every LF and appends each line
    // (appendLine).
    static WordStore fromText(QString text);

    qsizetype count() const { return qsizetype(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    // The word at a position from 1 to count; the empty word elsewhere.
    QStringView wordView(qsizetype position) const;
    QString word(qsizetype position) const { return wordView(position).toString(); }
    // The sentence given with the word at a position; the empty text when
    // there is none.
    QStringView sentenceView(qsizetype position) const;
    QString sentence(qsizetype position) const { return sentenceView(position).toString(); }
    // The sentence of the word's first line that gives one; the empty text
    // when none does or the store does not hold the word.
    QStringView sentenceOf(QStringView word) const;
    // How many different words the store holds.
    qsizetype distinctCount() const
    {
        index();
        return m_distinct;
    }

    void append(QStringView word, QStringView sentence = {});
    // Appends a line of a list. A line that holds a TAB is the word (the text
    // before the first TAB, verbatim) and its sentence (the text after it up
    // to any further TAB, without the spaces at both ends); later columns are
    // left out. A line without a TAB is the word, verbatim. A line whose word
    // is empty adds nothing.
    void appendLine(QStringView line);

    // Groups the copies of each word now rather than at the first draw. When
    // memory is refused they are left to be grouped at the first draw.
    void prepareIndex() noexcept;

    // Changes whenever the contents change; copies share it.
    quint64 identity() const { return m_identity; }
    // The next entry (0-based) holding the same word as the given one; going
    // on from there visits every copy and comes back to the first.
    quint32 nextCopy(quint32 entry) const
    {
        index();
        return m_nextCopy[entry];
    }

private:
    struct Entry
    {
        quint32 start;
        quint32 length;
    };
    // Few lists give sentences: they are held apart, by entry, so that a list
    // without them costs nothing more.
    struct Sentence
    {
        quint32 entry;
        quint32 start;
        quint32 length;
    };
    // The first copy of each different word, with its hash so that most
    // probes need not compare texts.
    struct Slot
    {
        quint32 entryPlusOne; // 0: free
        quint32 hash;
    };

    QStringView entryText(quint32 entry) const;
    // The sentence given with an entry, if any.
    const Sentence *sentenceAt(quint32 entry) const;
    QStringView textAt(quint32 start, quint32 length) const;
    // Groups the copies of each word. Done when first needed (at the load's
    // end, or at the first draw), in one sweep that fetches table slots
    // a few entries ahead, so that their cache misses overlap.
    void index() const;
    void insert(quint32 entry, quint32 hash) const;
    void growTable(std::size_t size) const;

    QString m_text;
    std::vector<Entry> m_entries;
    std::vector<Sentence> m_sentences; // in entry order
    quint64 m_identity = 0;
    // The index: a cache of the entries, kept up to date by index().
    mutable std::vector<quint32> m_nextCopy;
    mutable std::vector<Slot> m_table;
    mutable qsizetype m_distinct = 0;
    mutable quint32 m_indexed = 0;
};
