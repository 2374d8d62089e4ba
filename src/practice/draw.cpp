// SPDX-License-Identifier: GPL-3.0-or-later
#include "draw.h"

#include <algorithm>
#include <numeric>

void PassRecord::clear()
{
    *this = PassRecord();
}

namespace {
// An index from 0 to size - 1 for a number from 0 to 1; numbers outside that
// range (a faulty source) are clamped.
quint32 indexFor(double r, quint32 size)
{
    if (!(r >= 0.0))
        return 0;
    if (r >= 1.0)
        return size - 1;
    return std::min(quint32(r * double(size)), size - 1);
}

// Tries of the plain rule before one direct pick among the remaining entries.
constexpr int kTries = 32;
} // namespace

QString drawWord(const WordStore &store, PassRecord &pass, RandomSource &random, const QSet<QString> &firstWords)
{
    if (store.isEmpty())
        return QString();
    const auto count = quint32(store.count());
    if (pass.m_storeIdentity != store.identity() || pass.m_slot.size() != count) {
        pass.m_candidates.resize(count);
        std::iota(pass.m_candidates.begin(), pass.m_candidates.end(), 0u);
        pass.m_slot = pass.m_candidates;
        pass.m_storeIdentity = store.identity();
        pass.m_count = 0;
        pass.m_live = count;
    }
    if (pass.m_count >= store.distinctCount()) {
        pass.m_count = 0;
        pass.m_live = count;
    }
    if (pass.m_firstWordsStore != store.identity() || pass.m_firstWords != firstWords) {
        pass.m_firstEntries.clear();
        for (quint32 e = 0; e < count && !firstWords.isEmpty(); ++e) {
            if (firstWords.contains(store.wordView(qsizetype(e) + 1).toString()))
                pass.m_firstEntries.push_back(e);
        }
        pass.m_firstWords = firstWords;
        pass.m_firstWordsStore = store.identity();
    }

    // The first tries follow the rule the draw has always had: a position
    // from 1 to count, tried again while its word has come in this pass. So a
    // given series of numbers gives the same words. When the tries run out,
    // one pick among the remaining entries ends the search: a draw stays
    // quick at the end of a long pass, and a source that keeps returning the
    // same number cannot hang it. Both ways pick uniformly among the entries
    // whose word has not come yet.
    quint32 entry = count;
    // While words asked first remain in this pass, one pick among their
    // remaining entries; after them the rest by the plain rule.
    std::vector<quint32> firstRemaining;
    for (const quint32 e : pass.m_firstEntries) {
        if (pass.m_slot[e] < pass.m_live)
            firstRemaining.push_back(e);
    }
    if (!firstRemaining.empty())
        entry = firstRemaining[indexFor(random.next(), quint32(firstRemaining.size()))];
    for (int tried = 0; tried < kTries && entry == count; ++tried) {
        const quint32 position = indexFor(random.next(), count);
        if (pass.m_slot[position] < pass.m_live)
            entry = position;
    }
    if (entry == count)
        entry = pass.m_candidates[indexFor(random.next(), pass.m_live)];

    // Every copy of the word leaves the remaining entries, unless the pass is
    // now complete: the next draw starts a new one anyway, and a list of one
    // word in many copies stays quick.
    ++pass.m_count;
    pass.m_lastPosition = qsizetype(entry) + 1;
    if (pass.m_count == store.distinctCount())
        return store.word(qsizetype(entry) + 1);
    quint32 copy = entry;
    do {
        const quint32 last = pass.m_candidates[--pass.m_live];
        const quint32 slot = pass.m_slot[copy];
        pass.m_candidates[slot] = last;
        pass.m_slot[last] = slot;
        pass.m_candidates[pass.m_live] = copy;
        pass.m_slot[copy] = pass.m_live;
        copy = store.nextCopy(copy);
    } while (copy != entry);
    return store.word(qsizetype(entry) + 1);
}
