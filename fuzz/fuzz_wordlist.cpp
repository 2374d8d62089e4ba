// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes, as a word list file, through the load the program
// runs (readDictionaryInto: reading, decoding, line splitting, the store as
// the loader builds it), draws from the store, and checks the results against
// a plain restatement of the rules: the text is the bytes in the detected
// encoding, the store holds a word for each line after CR deletion whose text
// before its first TAB is not empty, with the trimmed text between its first
// and second TAB as the sentence, and every pass gives each different word
// exactly once.
//
// The table of different words makes room for 1,048,576 words at once and
// grows beyond. Growing a store that large takes about a second here, too
// slow for every input: the first input of a run (so also an input that is
// run again alone) and every kGrowEvery-th one after it also add their words
// to a store of 1,048,576 other words, both one grouped already and one
// loaded from a file with them.
#include "core/codepage.h"
#include "core/errorreport.h"
#include "fuzzsupport.h"
#include "practice/draw.h"
#include "wordlist/wordlistfile.h"
#include "wordlist/wordstore.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

constexpr int kGrowEvery = 20000;
constexpr int kOtherWords = 1 << 20;

// Numbers taken from the input itself, including the edge values a faulty
// source could give.
class BytesRandom : public RandomSource
{
public:
    BytesRandom(const uint8_t *data, size_t size) : m_data(data), m_size(size) { }
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

// The text against the bytes, by each encoding's own rule.
void checkDecoding(QByteArrayView bytes, const QString &text)
{
    using WordListFile::Encoding;
    QByteArrayView rest = bytes;
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    const bool utf8 = rest.isValidUtf8();
    const int first = rest.isEmpty() ? -1 : static_cast<unsigned char>(rest.front());
    switch (WordListFile::detect(bytes)) {
    case Encoding::Utf8:
        FUZZ_REQUIRE(utf8);
        FUZZ_REQUIRE(text.toUtf8() == rest);
        break;
    case Encoding::Utf16LittleEndian:
    case Encoding::Utf16BigEndian: {
        const bool little = first == 0xFF;
        FUZZ_REQUIRE(!utf8 && (first == 0xFF || first == 0xFE));
        FUZZ_REQUIRE(WordListFile::detect(bytes) == (little ? Encoding::Utf16LittleEndian : Encoding::Utf16BigEndian));
        FUZZ_REQUIRE(text.size() == std::max<qsizetype>(0, rest.size() - 2) / 2);
        const auto *units = reinterpret_cast<const unsigned char *>(rest.data()) + 2;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const unsigned low = units[2 * i + (little ? 0 : 1)];
            const unsigned high = units[2 * i + (little ? 1 : 0)];
            FUZZ_REQUIRE(text.at(i).unicode() == (high << 8 | low));
        }
        break;
    }
    case Encoding::Ansi:
        FUZZ_REQUIRE(!utf8 && first != 0xFF && first != 0xFE);
        FUZZ_REQUIRE(CodePage::encodeAnsi(text) == rest.toByteArray());
        break;
    }
}

// Every entry from the given one on holds a word of the list: the copies of
// each word form one ring, of as many entries as the word has copies.
void checkRings(const WordStore &store, qsizetype firstEntry, const QHash<QString, int> &copies)
{
    QSet<QString> visited;
    for (qsizetype entry = firstEntry; entry < store.count(); ++entry) {
        const QString word = store.word(entry + 1);
        if (visited.contains(word))
            continue;
        visited.insert(word);
        int members = 0;
        quint32 copy = quint32(entry);
        do {
            FUZZ_REQUIRE(store.wordView(qsizetype(copy) + 1) == word);
            ++members;
            copy = store.nextCopy(copy);
        } while (copy != quint32(entry) && members <= copies.value(word));
        FUZZ_REQUIRE(members == copies.value(word));
    }
}

// A short pass gives different words.
void checkDraws(const WordStore &store, RandomSource &random)
{
    PassRecord pass;
    QSet<QString> drawn;
    const qsizetype draws = std::min<qsizetype>(64, store.distinctCount());
    for (qsizetype i = 0; i < draws; ++i)
        drawn.insert(drawWord(store, pass, random));
    FUZZ_REQUIRE(drawn.size() == draws);
}

QString otherWord(int i)
{
    return u"\x01"_s + QString::number(i);
}

bool isOtherWord(const QString &word)
{
    if (!word.startsWith(u'\x01'))
        return false;
    bool ok = false;
    const int number = QStringView(word).sliced(1).toInt(&ok);
    return ok && number >= 0 && number < kOtherWords && otherWord(number) == word;
}

// The other words, grouped: the table is full up to its growth point.
const WordStore &groupedOtherWords()
{
    static const WordStore store = [] {
        QString text;
        for (int i = 0; i < kOtherWords; ++i)
            text.append(otherWord(i)).append(u'\n');
        const TextLines lines(text);
        WordStore words(lines.text(), lines.nonEmptyCount());
        for (qsizetype i = 0; i < lines.count(); ++i) {
            if (!lines.line(i).isEmpty())
                words.append(lines.line(i));
        }
        FUZZ_REQUIRE(words.distinctCount() == kOtherWords);
        return words;
    }();
    return store;
}

void checkGrowth(const QStringList &listWords, bool fromFile, RandomSource &random)
{
    WordStore grown;
    QStringList words;
    if (fromFile) {
        // Through a file: the words as UTF-8 text, which a lone surrogate
        // cannot be part of.
        static const QByteArray others = [] {
            QByteArray bytes;
            for (int i = 0; i < kOtherWords; ++i)
                bytes.append(otherWord(i).toUtf8()).append('\n');
            return bytes;
        }();
        QByteArray bytes = others;
        for (const QString &word : listWords) {
            bytes.append(word.toUtf8()).append('\n');
            words.append(QString::fromUtf8(word.toUtf8()));
        }
        const QString path = fuzzFile(u"grown.txt"_s);
        writeFuzzFile(path, bytes);
        RecordingPrompts prompts;
        Steps s(prompts, u"modDictionary", u"loadDictionaryFile");
        FUZZ_REQUIRE(readDictionaryInto(s, path, grown));
        FUZZ_REQUIRE(prompts.errors.isEmpty());
    } else {
        grown = groupedOtherWords();
        for (const QString &word : listWords)
            grown.append(word);
        words = listWords;
    }
    FUZZ_REQUIRE(grown.count() == kOtherWords + words.size());

    // A list word that equals one of the others joins its ring.
    QHash<QString, int> copies;
    for (const QString &word : std::as_const(words))
        ++copies[word];
    qsizetype newWords = 0;
    for (auto it = copies.begin(); it != copies.end(); ++it) {
        if (isOtherWord(it.key()))
            ++it.value();
        else
            ++newWords;
    }
    FUZZ_REQUIRE(grown.distinctCount() == kOtherWords + newWords);
    checkRings(grown, kOtherWords, copies);
    checkDraws(grown, random);

    // The grown table still finds the other words: copies of some of them
    // join their groups.
    constexpr int kSampleStep = 1024;
    for (int i = 0; i < kOtherWords; i += kSampleStep)
        grown.append(otherWord(i));
    FUZZ_REQUIRE(grown.distinctCount() == kOtherWords + newWords);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString path = fuzzFile(u"list.txt"_s);
    writeFuzzFile(path, bytes.toByteArray());

    RecordingPrompts prompts;
    Steps s(prompts, u"modDictionary", u"loadDictionaryFile");
    const QString inUse = u"the list in use"_s;
    WordStore store = WordStore::fromText(inUse);
    const bool taken = readDictionaryInto(s, path, store);

    const QString text = WordListFile::decode(bytes);
    if (WordListFile::isBinary(text)) {
        // Refused: the list in use stays.
        FUZZ_REQUIRE(!taken);
        FUZZ_REQUIRE(prompts.errors.size() == 1);
        FUZZ_REQUIRE(prompts.errors.first().contains(u"is not a text file."_s));
        FUZZ_REQUIRE(prompts.errors.first().contains(u" at line 102\r\r"_s));
        FUZZ_REQUIRE(store.count() == 1 && store.word(1) == inUse);
        return 0;
    }
    FUZZ_REQUIRE(taken);
    FUZZ_REQUIRE(prompts.errors.isEmpty());
    checkDecoding(bytes, text);

    QString withoutCr = text;
    withoutCr.remove(u'\r');
    QStringList lines;
    QStringList sentences;
    for (const QString &line : withoutCr.split(u'\n')) {
        const QStringList columns = line.split(u'\t');
        if (columns.first().isEmpty())
            continue;
        lines.append(columns.first());
        sentences.append(columns.size() > 1 ? columns.at(1).trimmed() : QString());
    }
    FUZZ_REQUIRE(store.count() == lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        FUZZ_REQUIRE(store.word(i + 1) == lines.at(i));
        FUZZ_REQUIRE(store.sentence(i + 1) == sentences.at(i));
    }
    const QSet<QString> distinct(lines.cbegin(), lines.cend());
    FUZZ_REQUIRE(store.distinctCount() == distinct.size());

    BytesRandom random(data, size);
    static int run = 0;
    if (run++ % kGrowEvery == 0) {
        checkGrowth(lines, false, random);
        checkGrowth(lines, true, random);
    }

    PassRecord pass;
    if (store.isEmpty()) {
        FUZZ_REQUIRE(drawWord(store, pass, random).isEmpty());
        FUZZ_REQUIRE(pass.count() == 0);
        return 0;
    }
    for (int round = 0; round < 2; ++round) {
        QSet<QString> drawn;
        for (qsizetype i = 0; i < distinct.size(); ++i) {
            drawn.insert(drawWord(store, pass, random));
            FUZZ_REQUIRE(pass.count() == i + 1);
        }
        FUZZ_REQUIRE(drawn == distinct);
    }

    // Words added after the copies were grouped join their group.
    WordStore grown = store;
    grown.append(lines.first());
    grown.append(text);
    FUZZ_REQUIRE(grown.count() == store.count() + 2);
    FUZZ_REQUIRE(grown.distinctCount() == distinct.size() + (distinct.contains(text) ? 0 : 1));
    FUZZ_REQUIRE(grown.word(grown.count()) == text);
    return 0;
}
