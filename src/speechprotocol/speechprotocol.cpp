// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechprotocol.h"

using namespace Qt::StringLiterals;

namespace SpeechProtocol {

namespace {

bool isPrintableAscii(char c)
{
    return c > ' ' && c < 0x7f;
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A percent-encoded field whose every escape is complete.
bool wellFormed(const QByteArray &field)
{
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '%') {
            if (i + 2 >= field.size() || !isHex(field[i + 1]) || !isHex(field[i + 2]))
                return false;
            i += 2;
        }
    }
    return true;
}

} // namespace

std::optional<QString> Message::text(qsizetype index) const
{
    if (index < 0 || index >= fields.size())
        return std::nullopt;
    return QString::fromUtf8(fields[index]);
}

std::optional<qint64> Message::number(qsizetype index, qint64 low, qint64 high) const
{
    if (index < 0 || index >= fields.size())
        return std::nullopt;
    bool ok = false;
    const qint64 value = fields[index].toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QByteArray encode(const QByteArray &verb, const QList<QByteArray> &fields)
{
    QByteArray frame = verb;
    for (const QByteArray &field : fields) {
        frame += ' ';
        // An empty field is a lone "-", so a field that is "-" is escaped.
        frame += field.isEmpty() ? QByteArray("-") : field.toPercentEncoding({}, "-");
    }
    frame += '\n';
    return frame;
}

QByteArray encodeTexts(const QByteArray &verb, const QStringList &texts)
{
    QList<QByteArray> fields;
    fields.reserve(texts.size());
    for (const QString &text : texts)
        fields.append(text.toUtf8());
    return encode(verb, fields);
}

std::optional<Message> decodeLine(const QByteArray &line, QString *problem)
{
    const auto fail = [&](const QString &why) -> std::optional<Message> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (line.isEmpty())
        return fail(u"an empty frame"_s);
    for (const char c : line) {
        if (c != ' ' && !isPrintableAscii(c))
            return fail(u"a frame with the byte 0x%1"_s.arg(uchar(c), 2, 16, QChar(u'0')));
    }
    const QList<QByteArray> parts = line.split(' ');
    Message message;
    message.verb = parts.first();
    if (message.verb.isEmpty())
        return fail(u"a frame without a verb"_s);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray &part = parts[i];
        if (part.isEmpty() || !wellFormed(part))
            return fail(u"a malformed field in a \"%1\" frame"_s.arg(QString::fromLatin1(message.verb)));
        message.fields.append(part == "-" ? QByteArray() : QByteArray::fromPercentEncoding(part));
    }
    return message;
}

void FrameReader::feed(const QByteArray &bytes)
{
    if (!m_damaged)
        m_buffer += bytes;
}

std::optional<Message> FrameReader::next()
{
    if (m_damaged)
        return std::nullopt;
    const qsizetype end = m_buffer.indexOf('\n', m_scanned);
    if (end < 0) {
        m_scanned = m_buffer.size();
        if (m_buffer.size() > kMaxFrame)
            damage(u"a frame longer than %1 bytes"_s.arg(kMaxFrame));
        return std::nullopt;
    }
    if (end > kMaxFrame) {
        damage(u"a frame longer than %1 bytes"_s.arg(kMaxFrame));
        return std::nullopt;
    }
    const QByteArray line = m_buffer.left(end);
    m_buffer.remove(0, end + 1);
    m_scanned = 0;
    QString problem;
    std::optional<Message> message = decodeLine(line, &problem);
    if (!message)
        damage(problem);
    return message;
}

void FrameReader::damage(const QString &problem)
{
    m_damaged = true;
    m_problem = problem;
    m_buffer.clear();
}

} // namespace SpeechProtocol
