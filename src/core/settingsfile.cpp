// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsfile.h"

#include <QStringDecoder>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace SettingsFile {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isSpaceOrTab(char c)
{
    return c == ' ' || c == '\t';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct Line
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1; // the first '=' outside quotes, or -1
};

// The next logical line from pos. Blank space before it and whole comment
// lines are passed over; a quoted part and an escaped line break carry the
// line on; ';' outside quotes ends it, and the rest becomes a comment line.
bool nextLine(QByteArrayView text, qsizetype &pos, Line &line)
{
    const qsizetype size = text.size();
    qsizetype start = pos;
    while (start < size && isBlank(text[start]))
        ++start;
    line.equals = -1;
    bool inQuotes = false;
    qsizetype i = start;
    while (i < size) {
        const char c = text[i];
        if (c == '=') {
            if (!inQuotes && line.equals < 0)
                line.equals = i;
        } else if (c == '\n' || c == '\r' || (c == ';' && i > start)) {
            if (!inQuotes)
                break;
        } else if (c == ';') {
            while (i < size && text[i] != '\n' && text[i] != '\r')
                ++i;
            while (i < size && isBlank(text[i]))
                ++i;
            start = i;
            continue;
        } else if (c == '\\' && i + 1 < size) {
            const char escaped = text[++i];
            if (i + 1 < size) {
                const char after = text[i + 1];
                if ((escaped == '\n' && after == '\r') || (escaped == '\r' && after == '\n'))
                    ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        }
        ++i;
    }
    pos = i;
    line.start = start;
    line.length = i - start;
    return line.length > 0;
}

QString unescapeKey(QByteArrayView raw)
{
    const QString text = QString::fromUtf8(raw);
    QString key;
    key.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == text.size() - 1) {
            key += c;
            ++i;
            continue;
        }
        const bool wide = text[i + 1] == u'U';
        const qsizetype first = wide ? i + 2 : i + 1;
        const qsizetype digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code
            = first + digits <= text.size() ? QStringView(text).sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            key += u'%';
            ++i;
            continue;
        }
        key += QChar(code);
        i = first + digits;
    }
    return key;
}

// A text as the program meant it, with the markers a text may carry undone.
QVariant textOf(const QString &text)
{
    if (text.startsWith(u'@') && text.endsWith(u')')) {
        if (text.startsWith("@ByteArray("_L1))
            return QString::fromUtf8(QStringView(text).sliced(11).chopped(1).toLatin1());
        if (text.startsWith("@String("_L1))
            return text.sliced(8).chopped(1);
        if (text == "@Invalid()"_L1)
            return {};
    }
    if (text.startsWith("@@"_L1))
        return text.sliced(1);
    return text;
}

QVariant unescapeValue(QByteArrayView raw)
{
    static constexpr char kSimpleEscapes[][2]
        = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    const qsizetype size = raw.size();
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    QStringList items;
    bool isList = false;
    QString current;
    bool inQuotes = false;
    bool quoted = false;
    // Spaces and tabs after this point in current were typed around the
    // value; those before it came from escapes or quotes and stay.
    qsizetype trimFrom = 0;
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < size && isSpaceOrTab(raw[i]))
            ++i;
        trimFrom = current.size();
    };
    const auto trimEnd = [&] {
        while (current.size() > trimFrom && isSpaceOrTab(current.back().toLatin1()))
            current.chop(1);
    };

    bool endedInEscape = false;
    skipSpaces();
    while (i < size && !endedInEscape) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= size) {
                endedInEscape = true;
                break;
            }
            const char e = raw[i++];
            const auto simple = std::find_if(std::begin(kSimpleEscapes), std::end(kSimpleEscapes),
                                             [e](const char(&pair)[2]) { return pair[0] == e; });
            if (simple != std::end(kSimpleEscapes)) {
                current += QLatin1Char((*simple)[1]);
            } else if (e == 'x' || (e >= '0' && e <= '7')) {
                const int base = e == 'x' ? 16 : 8;
                const auto digit
                    = [base](char d) { return base == 16 ? hexValue(d) : (d >= '0' && d <= '7' ? d - '0' : -1); };
                if (base == 16 && i >= size) {
                    endedInEscape = true;
                    break;
                }
                if (base == 8 || digit(raw[i]) >= 0) {
                    char16_t code = base == 8 ? char16_t(e - '0') : 0;
                    while (i < size && digit(raw[i]) >= 0)
                        code = char16_t(code * base + digit(raw[i++]));
                    current += QChar(code);
                    endedInEscape = i >= size;
                }
            } else if (e == '\n' || e == '\r') {
                if (i < size && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e)
                    ++i;
            }
            // Any other escaped character is dropped.
            trimFrom = current.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (c == ',' && !inQuotes) {
            if (!quoted)
                trimEnd();
            isList = true;
            items.append(current);
            current.clear();
            quoted = false;
            ++i;
            skipSpaces();
        } else {
            qsizetype end = i + 1;
            while (end < size && raw[end] != '\\' && raw[end] != '"' && raw[end] != ',')
                ++end;
            current += fromUtf8(raw.sliced(i, end - i));
            i = end;
        }
    }
    if (!endedInEscape && !quoted)
        trimEnd();
    if (!isList)
        return textOf(current);
    items.append(current);
    for (QString &item : items) {
        if (item.startsWith("@@"_L1))
            item.remove(0, 1);
    }
    return items;
}

void escapeKey(const QString &key, QByteArray &out)
{
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t code = key[i].unicode();
        // A backslash stands for '/', and also escapes the character after
        // it in the line; so it is used only before a plain key character.
        const bool plainNext = i + 1 < key.size() && key[i + 1] != u'/';
        if (code == u'/' && plainNext)
            out += '\\';
        else if ((code >= u'a' && code <= u'z') || (code >= u'A' && code <= u'Z') || (code >= u'0' && code <= u'9')
                 || code == u'_' || code == u'-' || code == u'.')
            out += char(code);
        else if (code <= 0xFF)
            out += '%' + QByteArray::number(code, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(code, 16).toUpper().rightJustified(4, '0');
    }
}

// Whether text[i] reads back from UTF-8 as itself: not a byte order mark,
// which a reader may take for the start of the text and drop, and not half
// of a character with no other half.
bool survivesUtf8(const QString &text, qsizetype i)
{
    const QChar c = text[i];
    if (c.unicode() == QChar::ByteOrderMark)
        return false;
    if (c.isHighSurrogate())
        return i + 1 < text.size() && text[i + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return i > 0 && text[i - 1].isHighSurrogate();
    return true;
}

void escapeText(const QString &original, QByteArray &out)
{
    const QString text = original.startsWith(u'@') ? u'@' + original : original;
    const qsizetype start = out.size();
    bool needsQuotes = false;
    // After a numeric escape a following hex digit is escaped too, so that
    // it cannot be read as part of that escape.
    bool guardDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text[i].unicode();
        if (code == u';' || code == u',' || code == u'=')
            needsQuotes = true;
        if (guardDigit && code < 0x80 && hexValue(char(code)) >= 0) {
            out += "\\x" + QByteArray::number(code, 16);
            continue;
        }
        guardDigit = false;
        switch (code) {
        case u'\0':
            out += "\\0";
            guardDigit = true;
            break;
        case u'\a':
            out += "\\a";
            break;
        case u'\b':
            out += "\\b";
            break;
        case u'\f':
            out += "\\f";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        case u'\v':
            out += "\\v";
            break;
        case u'"':
        case u'\\':
            out += '\\';
            out += char(code);
            break;
        default:
            if (code < 0x20) {
                out += "\\x" + QByteArray::number(code, 16);
                guardDigit = true;
            } else if (code < 0x80) {
                out += char(code);
            } else if (!survivesUtf8(text, i)) {
                out += "\\x" + QByteArray::number(code, 16);
                guardDigit = true;
            } else {
                qsizetype end = i + 1;
                while (end < text.size() && text[end].unicode() >= 0x80 && survivesUtf8(text, end))
                    ++end;
                out += QStringView(text).sliced(i, end - i).toUtf8();
                i = end - 1;
            }
        }
    }
    if (needsQuotes || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

void escapeValue(const QVariant &value, QByteArray &out)
{
    if (value.typeId() != QMetaType::QStringList) {
        escapeText(value.toString(), out);
        return;
    }
    const QStringList items = value.toStringList();
    if (items.isEmpty()) {
        out += "@Invalid()";
        return;
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        escapeText(items[i], out);
    }
}

} // namespace

Keys read(QByteArrayView text)
{
    // First the lines of each section, gathered by name (a section may
    // appear more than once); then the keys of each section in name order,
    // a later key replacing an earlier one of the same name.
    QMap<QString, QByteArray> sections;
    qsizetype pos = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    QString section;
    qsizetype sectionStart = pos;
    const auto closeSection = [&](qsizetype end) {
        QByteArray &lines = sections[section];
        if (!lines.isEmpty())
            lines += '\n';
        lines += text.sliced(sectionStart, end - sectionStart);
    };
    Line line;
    while (nextLine(text, pos, line)) {
        if (text[line.start] != '[')
            continue;
        closeSection(line.start);
        const QByteArrayView header = text.sliced(line.start, line.length);
        const qsizetype close = header.indexOf(']');
        const QByteArrayView name = header.first(close < 0 ? header.size() : close).sliced(1).trimmed();
        if (name.compare("general", Qt::CaseInsensitive) == 0) {
            section.clear();
        } else {
            section = name.compare("%general", Qt::CaseInsensitive) == 0 ? QString::fromLatin1(name.sliced(1))
                                                                         : unescapeKey(name);
            section += u'/';
        }
        sectionStart = pos;
    }
    closeSection(text.size());

    Keys keys;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        const QByteArrayView lines = it.value();
        qsizetype at = 0;
        while (nextLine(lines, at, line)) {
            if (line.equals < 0)
                continue;
            const QByteArrayView whole = lines.sliced(line.start, line.length);
            const qsizetype equals = line.equals - line.start;
            const QString key = it.key() + unescapeKey(whole.first(equals).trimmed());
            const QVariant value = unescapeValue(whole.sliced(equals + 1));
            if (value.isValid())
                keys.insert(key, value);
            else
                keys.remove(key);
        }
    }
    return keys;
}

QByteArray write(const Keys &keys)
{
    // Sections by the text before the first '/' of their keys; "/" + that
    // text, so that the keys without a '/' come first and stay apart from a
    // section with an empty name.
    QMap<QString, QByteArray> sections;
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        QByteArray &lines = sections[slash < 0 ? QString() : u'/' + it.key().first(slash)];
        escapeKey(slash < 0 ? it.key() : it.key().sliced(slash + 1), lines);
        lines += '=';
        escapeValue(it.value(), lines);
        lines += '\n';
    }
    QByteArray text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!text.isEmpty())
            text += '\n';
        if (it.key().isNull()) {
            text += "[General]\n";
        } else {
            QByteArray name;
            escapeKey(it.key().sliced(1), name);
            // "General" in any case would read as the keys without a section.
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                name.replace(0, 1, '%' + QByteArray::number(name[0], 16).toUpper());
            text += '[' + name + "]\n";
        }
        text += it.value();
    }
    return text;
}

} // namespace SettingsFile
