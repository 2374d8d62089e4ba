// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary settings files, and the values the program writes, to the
// settings store and to the conversions the program reads them with. Any
// file reads back without failing; every conversion gives a value, or for a
// truth value the failure "Type mismatch"; what the program writes reads
// back as written, and the other keys keep their texts.
#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "core/settingsstore.h"
#include "fuzzsupport.h"

#include <QHash>
#include <cmath>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList kKeys{SettingKeys::kDictionary.toString(),     SettingKeys::kVoice.key.toString(),
                        SettingKeys::kVolume.key.toString(),     SettingKeys::kRate.key.toString(),
                        SettingKeys::kPlaySounds.key.toString(), SettingKeys::kNoSounds.key.toString()};
const QString kAbsent = u"(absent)"_s;

void checkConversions(const QString &text)
{
    using namespace SettingConversions;
    const double number = lenientNumber(text);
    FUZZ_REQUIRE(std::isfinite(number));
    const int whole = lenientWholeNumber(text);
    FUZZ_REQUIRE(whole == roundHalfEven(number));
    if (std::abs(number) < 2e9)
        FUZZ_REQUIRE(std::abs(whole - number) <= 0.5);
    try {
        (void)truthValue(text);
    } catch (const Failure &failure) {
        FUZZ_REQUIRE(failure.description() == u"Type mismatch"_s);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString path = fuzzFile(u"settings.ini"_s);
    writeFuzzFile(path, QByteArray::fromStdString(input.ConsumeRandomLengthString()));
    SettingsStore store(path);

    QHash<QString, QString> before;
    for (const QString &key : kKeys) {
        const QString text = store.ReadSetting(key, kAbsent);
        before.insert(key, text);
        checkConversions(text);
    }

    // A value as the program writes it: a path (any text), a number or a
    // truth word.
    const QString key = kKeys.at(input.ConsumeIntegralInRange<int>(0, int(kKeys.size()) - 1));
    const int kind = input.ConsumeIntegralInRange(0, 2);
    const int number = input.ConsumeIntegral<int>();
    const bool truth = input.ConsumeBool();
    QString value;
    if (kind == 0)
        value = QString::fromUtf8(input.ConsumeRemainingBytesAsString());
    else if (kind == 1)
        value = QString::number(number);
    else
        value = truth ? u"True"_s : u"False"_s;
    store.WriteSetting(key, value);

    const QString readBack = store.ReadSetting(key, kAbsent);
    FUZZ_REQUIRE(readBack == value);
    if (kind == 1)
        FUZZ_REQUIRE(SettingConversions::lenientWholeNumber(readBack) == number);
    if (kind == 2)
        FUZZ_REQUIRE(SettingConversions::truthValue(readBack) == truth);
    for (const QString &other : kKeys) {
        if (other != key)
            FUZZ_REQUIRE(store.ReadSetting(other, kAbsent) == before.value(other));
    }
    return 0;
}
