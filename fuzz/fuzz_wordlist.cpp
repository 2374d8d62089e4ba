// Feeds arbitrary bytes to the word list decoder, the store and the draw, and
// checks them against a plain restatement of the rules: the store holds the
// non-empty lines after CR deletion, and every pass gives each different word
// exactly once.
#include "wordlist/wordlistfile.h"
#include "wordlist/wordstore.h"

#include <QSet>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

namespace {

// Numbers taken from the input itself, including the edge values a faulty
// source could give.
class BytesRandom : public RandomSource
{
public:
    BytesRandom(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    double next() override
    {
        if (m_size == 0)
            return 0.0;
        const uint8_t byte = m_data[m_next++ % m_size];
        if (byte == 0xFF)
            return 1.0;
        if (byte == 0xFE)
            return -0.5;
        return byte / 253.0;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_next = 0;
};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = WordListFile::decode(bytes);
    (void)WordListFile::isBinary(text);

    const WordStore store = WordStore::fromText(text);
    QString withoutCr = text;
    withoutCr.remove(u'\r');
    QStringList lines = withoutCr.split(u'\n');
    lines.removeAll(QString());
    require(store.count() == lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        require(store.word(i + 1) == lines.at(i));
    const QSet<QString> distinct(lines.cbegin(), lines.cend());
    require(store.distinctCount() == distinct.size());

    PassRecord pass;
    BytesRandom random(data, size);
    if (store.isEmpty()) {
        require(drawWord(store, pass, random).isEmpty());
        require(pass.count() == 0);
        return 0;
    }
    for (int round = 0; round < 2; ++round) {
        QSet<QString> drawn;
        for (qsizetype i = 0; i < distinct.size(); ++i) {
            drawn.insert(drawWord(store, pass, random));
            require(pass.count() == i + 1);
        }
        require(drawn == distinct);
    }

    // Words added after the copies were grouped join their group.
    WordStore grown = store;
    grown.append(lines.first());
    grown.append(text);
    require(grown.count() == store.count() + 2);
    require(grown.distinctCount() == distinct.size() + (distinct.contains(text) ? 0 : 1));
    require(grown.word(grown.count()) == text);
    return 0;
}
