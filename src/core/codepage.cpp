// SPDX-License-Identifier: GPL-3.0-or-later
#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace CodePage {

#ifdef Q_OS_WIN

QString decodeAnsi(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encodeAnsi(QStringView text)
{
    QStringEncoder encoder(QStringConverter::System);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    QStringDecoder decoder(QStringConverter::System);
    if (QStringView(decoder.decode(bytes)) != text) // best-fit substitutions
        return std::nullopt;
    return bytes;
}

#else

namespace {

// Windows-1252 for 0x80..0x9F; the five bytes it leaves undefined map to the
// C1 control of the same value, as Windows itself decodes them.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return char(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

QString decodeAnsi(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
    }
    return text;
}

std::optional<QByteArray> encodeAnsi(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text) {
        const auto encoded = encodeOne(c.unicode());
        if (!encoded)
            return std::nullopt;
        *out++ = *encoded;
    }
    return bytes;
}

#endif

} // namespace CodePage
