// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingconversions.h"

#include "core/failure.h"

#include <QString>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace SettingConversions {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the longest prefix of text that reads as a decimal number.
qsizetype numericPrefix(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    qsizetype end = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            end = j;
        }
    }
    return end;
}

QStringView skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    return text.mid(i);
}

} // namespace

double lenientNumber(QStringView text)
{
    const QStringView rest = skipBlanks(text);
    const qsizetype length = numericPrefix(rest);
    if (length == 0)
        return 0.0;
    bool ok = false;
    const double value = rest.left(length).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // default mode rounds halves to even
    if (rounded >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(rounded);
}

int lenientWholeNumber(QStringView text)
{
    return roundHalfEven(lenientNumber(text));
}

bool truthValue(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (!ok || std::isnan(number))
        throw Failure(u"Type mismatch"_s);
    return number != 0.0;
}

} // namespace SettingConversions
