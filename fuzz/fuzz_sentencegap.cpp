// SPDX-License-Identifier: GPL-3.0-or-later
// Leaves arbitrary words out of arbitrary sentences: the places lie within
// the sentence in order, apart from one another, never split a character of
// two units, and each begins and ends with the word as the answer check sees
// it; the shown text keeps everything outside the places.
#include "fuzzsupport.h"
#include "practice/answercheck.h"
#include "practice/sentencegap.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

// UTF-8 (broken bytes read as U+FFFD) or raw UTF-16 code units, lone
// surrogates included.
QString someText(FuzzedDataProvider &input, std::size_t longest)
{
    const std::string bytes = input.ConsumeRandomLengthString(longest);
    if (input.ConsumeBool())
        return QString::fromUtf8(bytes);
    return QString(reinterpret_cast<const QChar *>(bytes.data()), qsizetype(bytes.size() / 2));
}

bool splitsPair(const QString &text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() && text.at(at).isLowSurrogate();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString word = someText(input, 16);
    // The word again inside the sentence, in another case, now and then.
    QString sentence = someText(input, 256);
    if (input.ConsumeBool())
        sentence.insert(input.ConsumeIntegralInRange<qsizetype>(0, sentence.size()), word.toLower());

    const QList<SentenceGap::Range> places = SentenceGap::places(sentence, word);
    const QString pattern = AnswerCheck::comparable(word);
    FUZZ_REQUIRE(!pattern.isEmpty() || places.isEmpty());
    QString shown;
    qsizetype kept = 0;
    for (const SentenceGap::Range &place : places) {
        // Touching places would be one.
        FUZZ_REQUIRE(place.start >= 0 && place.length > 0 && (kept == 0 || place.start > kept));
        FUZZ_REQUIRE(place.start + place.length <= sentence.size());
        FUZZ_REQUIRE(!splitsPair(sentence, place.start) && !splitsPair(sentence, place.start + place.length));
        // Qt upper-cases lone surrogates inconsistently in longer texts.
        if (sentence.isValidUtf16() && word.isValidUtf16()) {
            const QString found = AnswerCheck::comparable(sentence.sliced(place.start, place.length));
            FUZZ_REQUIRE(found.startsWith(pattern) && found.endsWith(pattern));
        }
        shown += sentence.sliced(kept, place.start - kept);
        shown += SentenceGap::kShownGap;
        kept = place.start + place.length;
    }
    shown += sentence.sliced(kept);
    FUZZ_REQUIRE_EQUAL(SentenceGap::shown(sentence, word), shown);
    if (places.isEmpty())
        FUZZ_REQUIRE_EQUAL(SentenceGap::spoken(sentence, word), sentence);
    return 0;
}
