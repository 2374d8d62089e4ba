// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What the program and its speech helper say to each other over the
// helper's standard input and output.
//
// A frame is one line: a verb and its fields, separated by single spaces and
// ended by a line feed. Fields are percent-encoded UTF-8, so a text holds no
// space, line feed or control byte. Nothing read is trusted: a line that is
// too long, holds a byte outside printable ASCII, has a malformed field or a
// field count its verb does not have, marks the stream as damaged.
//
// The helper begins with "hello <version>", then "ready <engine> <voice>..."
// or "failed <problem>". Requests carry a number that the helper's "done"
// answers once it has handled them; speech progress names the utterance.
namespace SpeechProtocol {

inline constexpr int kVersion = 1;
// The helper's exit code once its sound output is lost: Qt's sound system
// gives up on a sound server that stays away for more than a few seconds,
// and only a fresh process connects again.
inline constexpr int kOutputLostExit = 4;
// Room for a voice list of several thousand voices.
inline constexpr qsizetype kMaxFrame = 4 * 1024 * 1024;

struct Message
{
    QByteArray verb;
    QList<QByteArray> fields; // decoded bytes

    // The field as UTF-8 text, or as a whole number within [low, high];
    // nullopt when it is missing or not such a number.
    std::optional<QString> text(qsizetype index) const;
    std::optional<qint64> number(qsizetype index, qint64 low, qint64 high) const;
};

QByteArray encode(const QByteArray &verb, const QList<QByteArray> &fields = {});
QByteArray encodeTexts(const QByteArray &verb, const QStringList &texts);

// Cuts a byte stream into messages.
class FrameReader
{
public:
    void feed(const QByteArray &bytes);
    // The next whole message, nullopt when none is complete yet or the
    // stream is damaged.
    std::optional<Message> next();
    bool damaged() const { return m_damaged; }
    // What was wrong with the stream.
    const QString &problem() const { return m_problem; }

private:
    void damage(const QString &problem);

    QByteArray m_buffer;
    qsizetype m_scanned = 0;
    bool m_damaged = false;
    QString m_problem;
};

// A message decoded from one line without its line feed; nullopt and a
// problem when the line is not a well-formed frame.
std::optional<Message> decodeLine(const QByteArray &line, QString *problem = nullptr);

} // namespace SpeechProtocol
