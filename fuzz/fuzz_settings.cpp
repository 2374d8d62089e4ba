// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary settings files, and the values the program writes, to the
// settings store and to the conversions the program reads them with. Any
// file reads back without failing; every conversion gives a value, or for a
// truth value the failure "Type mismatch"; what the program writes reads
// back as written, and the other keys keep their texts. Qt's own INI reader
// must read the program's keys as the store does: from every file the store
// writes (it doubles a leading "@", so Qt decodes nothing there), and from a
// given file that holds neither an "@" nor a numeric escape that could make
// one, since Qt would decode what follows it.
#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "core/settingsfile.h"
#include "core/settingsstore.h"
#include "fuzzsupport.h"

#include <QHash>
#include <QRegularExpression>
#include <QSettings>
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

bool mayHoldTypedValues(const QByteArray &text)
{
    static const QRegularExpression numericEscape(u"\\\\[x0-7]"_s);
    return text.contains('@') || QString::fromLatin1(text).contains(numericEscape);
}

// Qt keeps what it read or wrote of a file by the file's name, for every
// format, and trusts it while the size and time stay the same; a copy under
// a name never used before is read from the disk.
QString freshCopy(const QString &path)
{
    static quint64 copies = 0;
    const QString copy = fuzzFile(u"copy-%1.ini"_s.arg(++copies));
    FUZZ_REQUIRE(QFile::copy(path, copy));
    return copy;
}

void compareWithQtReader(const QString &path)
{
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
    const SettingsFile::Keys ours = SettingsFile::read(file.readAll());
    const QString copy = freshCopy(path);
    const QSettings qt(copy, QSettings::IniFormat);
    // Qt reads a section when first asked for a key that may lie in it, and
    // may pick the wrong one; asking for every key reads them all, in order.
    (void)qt.allKeys();
    for (const QString &key : kKeys) {
        const QString fullKey = u"Lexidrill/"_s + key;
        FUZZ_REQUIRE_EQUAL(qt.value(fullKey), ours.value(fullKey));
    }
    QFile::remove(copy);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    static quint64 runs = 0;
    const QString path = fuzzFile(u"settings-%1.ini"_s.arg(++runs));
    const QByteArray given = QByteArray::fromStdString(input.ConsumeRandomLengthString());
    writeFuzzFile(path, given);
    if (!mayHoldTypedValues(given))
        compareWithQtReader(path);
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

    const QString written = freshCopy(path);
    const SettingsStore reread(written);
    const QString readBack = reread.ReadSetting(key, kAbsent);
    FUZZ_REQUIRE_EQUAL(readBack, value);
    if (kind == 1)
        FUZZ_REQUIRE(SettingConversions::lenientWholeNumber(readBack) == number);
    if (kind == 2)
        FUZZ_REQUIRE(SettingConversions::truthValue(readBack) == truth);
    for (const QString &other : kKeys) {
        if (other != key)
            FUZZ_REQUIRE(reread.ReadSetting(other, kAbsent) == before.value(other));
    }
    compareWithQtReader(written);
    QFile::remove(written);
    QFile::remove(path);
    return 0;
}
