// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordstore.h"

#include <QHashFunctions>
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <functional>
#include <new>

namespace {

quint64 newIdentity()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

// Fixed, so that the cost of a load does not vary from run to run.
constexpr std::size_t kHashSeed = 0x5eed;

std::size_t hashOf(QStringView word)
{
    return qHash(word, kHashSeed);
}

void prefetch(const void *address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

// Different words the table makes room for at once.
constexpr qsizetype kPresizedWords = 1 << 20;

} // namespace

TextLines::TextLines(QString text) : m_text(std::move(text))
{
    const QChar *const begin = m_text.constData();
    const qsizetype size = m_text.size();
    m_ends.reserve(std::size_t(m_text.count(u'\n')) + 1);
    for (qsizetype from = 0;;) {
        const qsizetype end = QStringView(begin, size).indexOf(u'\n', from);
        const qsizetype lineEnd = end < 0 ? size : end;
        m_ends.push_back(quint32(lineEnd));
        m_nonEmpty += lineEnd > from;
        if (end < 0)
            break;
        from = end + 1;
    }
}

QStringView TextLines::line(qsizetype index) const
{
    const qsizetype start = index == 0 ? 0 : qsizetype(m_ends[std::size_t(index) - 1]) + 1;
    return QStringView(m_text).sliced(start, qsizetype(m_ends[std::size_t(index)]) - start);
}

WordStore::WordStore(QString source, qsizetype expectedCount) : m_text(std::move(source)), m_identity(newIdentity())
{
    if (expectedCount > 0)
        m_entries.reserve(std::size_t(expectedCount));
}

WordStore &WordStore::operator=(WordStore &&other) noexcept
{
    WordStore taken(std::move(other));
    swap(taken);
    return *this;
}

void WordStore::swap(WordStore &other) noexcept
{
    using std::swap;
    swap(m_text, other.m_text);
    swap(m_entries, other.m_entries);
    swap(m_sentences, other.m_sentences);
    swap(m_identity, other.m_identity);
    swap(m_nextCopy, other.m_nextCopy);
    swap(m_table, other.m_table);
    swap(m_distinct, other.m_distinct);
    swap(m_indexed, other.m_indexed);
}

WordStore WordStore::fromText(QString text)
{
    text.remove(u'\r');
    const TextLines lines(std::move(text));
    WordStore store(lines.text(), lines.nonEmptyCount());
    for (qsizetype i = 0; i < lines.count(); ++i)
        store.appendLine(lines.line(i));
    return store;
}

QStringView WordStore::textAt(quint32 start, quint32 length) const
{
    return QStringView(m_text).sliced(start, length);
}

QStringView WordStore::entryText(quint32 entry) const
{
    return textAt(m_entries[entry].start, m_entries[entry].length);
}

QStringView WordStore::wordView(qsizetype position) const
{
    if (position < 1 || position > count())
        return {};
    return entryText(quint32(position - 1));
}

const WordStore::Sentence *WordStore::sentenceAt(quint32 entry) const
{
    const auto found = std::lower_bound(m_sentences.cbegin(), m_sentences.cend(), entry,
                                        [](const Sentence &sentence, quint32 e) { return sentence.entry < e; });
    if (found == m_sentences.cend() || found->entry != entry)
        return nullptr;
    return &*found;
}

QStringView WordStore::sentenceView(qsizetype position) const
{
    if (m_sentences.empty() || position < 1 || position > count())
        return {};
    const Sentence *sentence = sentenceAt(quint32(position - 1));
    return sentence ? textAt(sentence->start, sentence->length) : QStringView();
}

QStringView WordStore::sentenceOf(QStringView word) const
{
    // A list without sentences is asked nothing more.
    if (m_sentences.empty())
        return {};
    index();
    const auto hash = quint32(hashOf(word));
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot occupant = m_table[slot];
        if (occupant.entryPlusOne == 0)
            return {};
        const quint32 firstCopy = occupant.entryPlusOne - 1;
        if (occupant.hash != hash || entryText(firstCopy) != word)
            continue;
        // The ring of copies is not in list order.
        const Sentence *earliest = nullptr;
        quint32 copy = firstCopy;
        do {
            const Sentence *sentence = sentenceAt(copy);
            if (sentence && (!earliest || sentence->entry < earliest->entry))
                earliest = sentence;
            copy = m_nextCopy[copy];
        } while (copy != firstCopy);
        return earliest ? textAt(earliest->start, earliest->length) : QStringView();
    }
}

void WordStore::append(QStringView word, QStringView sentence)
{
    // A view into the source text is recorded in place; any other text is
    // copied to the end of it. Both places are found before anything is
    // copied, since copying may move the text.
    const std::less<const QChar *> before;
    const QChar *const begin = m_text.constData();
    const auto placeIn = [&](QStringView part) -> qsizetype {
        if (!before(part.data(), begin) && !before(begin + m_text.size(), part.data() + part.size()))
            return part.data() - begin;
        return -1;
    };
    const qsizetype wordInPlace = placeIn(word);
    const qsizetype sentenceInPlace = sentence.isEmpty() ? 0 : placeIn(sentence);
    const auto place = [&](QStringView part, qsizetype inPlace) {
        if (inPlace >= 0)
            return quint32(inPlace);
        const auto start = quint32(m_text.size());
        m_text.append(part);
        return start;
    };
    const quint32 start = place(word, wordInPlace);
    const quint32 sentenceStart = sentence.isEmpty() ? 0 : place(sentence, sentenceInPlace);
    m_entries.push_back({start, quint32(word.size())});
    if (!sentence.isEmpty()) {
        // A word whose sentence could not be held is not added either.
        try {
            m_sentences.push_back({quint32(m_entries.size() - 1), sentenceStart, quint32(sentence.size())});
        } catch (...) {
            m_entries.pop_back();
            throw;
        }
    }
    m_identity = newIdentity();
}

void WordStore::appendLine(QStringView line)
{
    const qsizetype tab = line.indexOf(u'\t');
    if (tab < 0) {
        if (!line.isEmpty())
            append(line);
        return;
    }
    if (tab == 0)
        return;
    QStringView sentence = line.sliced(tab + 1);
    const qsizetype nextTab = sentence.indexOf(u'\t');
    if (nextTab >= 0)
        sentence.truncate(nextTab);
    append(line.first(tab), sentence.trimmed());
}

void WordStore::index() const
{
    const auto total = quint32(m_entries.size());
    if (m_indexed == total)
        return;
    m_nextCopy.resize(total);
    // Many entries may be copies of few words: beyond a million words the
    // table grows with the words actually found.
    const auto wanted = std::size_t(std::min<qsizetype>(m_distinct + (total - m_indexed), kPresizedWords)) * 2;
    if (m_table.size() < wanted)
        growTable(std::bit_ceil(wanted));

    constexpr quint32 kAhead = 8;
    std::array<quint32, kAhead> hashes{};
    const quint32 first = m_indexed;
    for (quint32 i = first; i < total + kAhead; ++i) {
        // The entry kAhead back shares the hash's place in the ring.
        if (i >= first + kAhead)
            insert(i - kAhead, hashes[i % kAhead]);
        if (i < total) {
            const auto hash = quint32(hashOf(entryText(i)));
            hashes[i % kAhead] = hash;
            prefetch(&m_table[hash & (m_table.size() - 1)]);
        }
    }
    m_indexed = total;
}

void WordStore::prepareIndex() noexcept
{
    try {
        index();
    } catch (const std::bad_alloc &) {
        // A sweep cut short must not be taken up again half done.
        m_nextCopy = {};
        m_table = {};
        m_distinct = 0;
        m_indexed = 0;
    }
}

void WordStore::insert(quint32 entry, quint32 hash) const
{
    if (std::size_t(m_distinct + 1) * 2 > m_table.size())
        growTable(std::max<std::size_t>(16, m_table.size() * 2));
    m_nextCopy[entry] = entry;
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot occupant = m_table[slot];
        if (occupant.entryPlusOne == 0) {
            m_table[slot] = {entry + 1, hash};
            ++m_distinct;
            return;
        }
        const quint32 firstCopy = occupant.entryPlusOne - 1;
        if (occupant.hash == hash && entryText(firstCopy) == entryText(entry)) {
            m_nextCopy[entry] = m_nextCopy[firstCopy];
            m_nextCopy[firstCopy] = entry;
            return;
        }
    }
}

void WordStore::growTable(std::size_t size) const
{
    std::vector<Slot> old(size, Slot{0, 0});
    old.swap(m_table);
    const std::size_t mask = size - 1;
    for (const Slot occupant : old) {
        if (occupant.entryPlusOne == 0)
            continue;
        std::size_t slot = occupant.hash & mask;
        while (m_table[slot].entryPlusOne != 0)
            slot = (slot + 1) & mask;
        m_table[slot] = occupant;
    }
}
