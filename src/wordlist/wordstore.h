#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QHash>
#include <QSet>

// The word list store: the non-empty lines of a list, at positions 1..count
// in file order. The same word may stand at several positions.
class WordStore
{
public:
    // Deletes every CR, splits at every LF and keeps each line that is not
    // exactly empty, verbatim.
    static WordStore fromText(QStringView text);

    qsizetype count() const { return m_words.size(); }
    // The word at a position from 1 to count.
    const QString &word(qsizetype position) const { return m_words.at(position - 1); }
    // How many different words (compared exactly) the store holds.
    qsizetype distinctCount() const { return m_distinct.size(); }

    void append(const QString &word);

private:
    friend class PassRecord;
    QStringList m_words;
    QHash<QString, int> m_distinct;
};

// The words drawn in the current pass (usedWords), in draw order.
class PassRecord
{
public:
    qsizetype count() const { return m_used.size(); }
    bool contains(const QString &word) const { return m_usedSet.contains(word); }
    void clear() { m_used.clear(); m_usedSet.clear(); }
    void append(const QString &word) { m_used.append(word); m_usedSet.insert(word); }

private:
    QStringList m_used;
    QSet<QString> m_usedSet;
};

// Uniform numbers r with 0 <= r < 1.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

// Clock-seeded source used by the program.
RandomSource &systemRandom();

// The next word of the current pass; records it in the pass. Every different
// word comes once per pass in random order, a word with more copies being
// likelier to come early; a complete pass starts the next one. An empty store
// gives the empty word and records nothing.
QString drawWord(const WordStore &store, PassRecord &pass, RandomSource &random);
