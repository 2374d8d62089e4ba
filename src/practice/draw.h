// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/randomsource.h"
#include "wordlist/wordstore.h"

#include <QSet>
#include <QString>
#include <vector>

// The pass record (usedWords): how many words were drawn in the current pass,
// and which entries may still be drawn in it.
class PassRecord
{
public:
    qsizetype count() const { return m_count; }
    // The position in the store of the word the last draw gave, so that its
    // line's sentence can be found; 0 before the first draw of a pass record.
    qsizetype lastPosition() const { return m_lastPosition; }
    // Starts a new pass and releases the memory the last one used.
    void clear();

private:
    friend QString drawWord(const WordStore &store, PassRecord &pass, RandomSource &random,
                            const QSet<QString> &firstWords);

    qsizetype m_count = 0;
    qsizetype m_lastPosition = 0;
    // A permutation of the store's entries: those before m_live hold words
    // not drawn in this pass; m_slot is its inverse.
    std::vector<quint32> m_candidates;
    std::vector<quint32> m_slot;
    quint32 m_live = 0;
    quint64 m_storeIdentity = 0;
    // The entries holding one of the words asked first, for those words and
    // this store.
    QSet<QString> m_firstWords;
    std::vector<quint32> m_firstEntries;
    quint64 m_firstWordsStore = 0;
};

// The next word of the current pass; records it in the pass. Every different
// word comes once per pass in random order: each draw is a uniform pick among
// the entries whose word has not come yet in this pass, so a word with more
// copies is likelier to come early. A complete pass starts the next one at
// the next draw, whose word may equal the last one. A pass belongs to the
// store it was drawn from: drawing from another store starts a new pass.
// An empty store gives the empty word and records nothing.
//
// Words asked first: each pass gives those of them that the store holds
// before any other word, picked the same way among themselves, and then the
// others as above. They are the list's own spellings, so they are found as
// the store tells words apart, exactly. With none, or none in the store, the
// draw is the plain one above: it takes the same numbers from the source and
// gives the same words.
QString drawWord(const WordStore &store, PassRecord &pass, RandomSource &random, const QSet<QString> &firstWords = {});
