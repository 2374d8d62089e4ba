// SPDX-License-Identifier: GPL-3.0-or-later
#include "wavfile.h"

#include "core/safesave.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;
constexpr int kMostChannels = 8;
// Chunks looked at for the sound: a real file has a few before it.
constexpr int kMostChunks = 64;

WavReading refused(WavReading::Problem problem, const QString &text)
{
    WavReading reading;
    reading.problem = problem;
    reading.text = text;
    return reading;
}

quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

struct Format
{
    quint16 encoding = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
};

// One sample of the frame's channel as -1..1.
double sampleAt(const char *p, const Format &format)
{
    switch (format.bitsPerSample) {
    case 8:
        return (quint8(*p) - 128) / 128.0;
    case 16:
        return qFromLittleEndian<qint16>(p) / 32768.0;
    case 24: {
        const qint32 value
            = qint32(quint32(quint8(p[0])) << 8 | quint32(quint8(p[1])) << 16 | quint32(quint8(p[2])) << 24) >> 8;
        return value / 8388608.0;
    }
    default:
        if (format.encoding == kFormatFloat)
            return double(qFromLittleEndian<float>(p));
        return qFromLittleEndian<qint32>(p) / 2147483648.0;
    }
}

// The samples as 16-bit mono: the channels averaged.
QByteArray toMono16(const QByteArray &data, const Format &format)
{
    const qsizetype frames = data.size() / format.blockAlign;
    if (format.encoding == kFormatPcm && format.bitsPerSample == 16 && format.channels == 1)
        return data.left(frames * 2);
    QByteArray out(frames * 2, Qt::Uninitialized);
    const int bytes = format.bitsPerSample / 8;
    for (qsizetype frame = 0; frame < frames; ++frame) {
        const char *p = data.constData() + frame * format.blockAlign;
        double sum = 0;
        for (int channel = 0; channel < format.channels; ++channel)
            sum += sampleAt(p + channel * bytes, format);
        double value = sum / format.channels;
        if (!std::isfinite(value))
            value = 0;
        const auto sample = qint16(std::clamp(std::lround(value * 32768.0), -32768L, 32767L));
        qToLittleEndian(sample, out.data() + frame * 2);
    }
    return out;
}

// Checks the "fmt " chunk; an empty text when it is one the reader plays.
QString readFormat(const QByteArray &chunk, Format &format)
{
    if (chunk.size() < 16)
        return u"its format is incomplete."_s;
    const char *p = chunk.constData();
    format.encoding = u16(p);
    format.channels = u16(p + 2);
    format.sampleRate = int(std::min<quint32>(u32(p + 4), INT_MAX));
    format.blockAlign = u16(p + 12);
    format.bitsPerSample = u16(p + 14);
    if (format.encoding == kFormatExtensible && chunk.size() >= 40) {
        // The sub-format GUID starts with the encoding's number.
        format.encoding = u16(p + 24);
    }
    if (format.encoding != kFormatPcm && format.encoding != kFormatFloat)
        return u"its sound is compressed or of an unknown kind."_s;
    const bool sizeKnown = format.encoding == kFormatFloat
        ? format.bitsPerSample == 32
        : (format.bitsPerSample == 8 || format.bitsPerSample == 16 || format.bitsPerSample == 24
           || format.bitsPerSample == 32);
    if (!sizeKnown)
        return u"its samples are of a size the program does not play."_s;
    if (format.channels < 1 || format.channels > kMostChannels)
        return u"its number of channels is wrong."_s;
    if (format.sampleRate < kLowestRate || format.sampleRate > kHighestRate)
        return u"its sample rate is wrong."_s;
    if (format.blockAlign != format.channels * format.bitsPerSample / 8)
        return u"its format does not add up."_s;
    return {};
}

} // namespace

WavReading readWavFile(const QString &path)
{
    using Problem = WavReading::Problem;
    const QFileInfo info(path);
    if (!info.exists())
        return refused(Problem::Missing, u"The recording is missing."_s);
    if (!info.isFile())
        return refused(Problem::Unreadable, u"The recording is not a file."_s);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(Problem::Unreadable, u"The recording cannot be read: %1"_s.arg(file.errorString()));
    const qint64 fileSize = file.size();

    QByteArray header = file.read(12);
    if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE")
        return refused(Problem::NotWav, u"The recording is not a WAV file."_s);

    // The chunks up to "data": a RIFF size that lies is not trusted, each
    // chunk's size is checked against the file instead.
    Format format;
    bool haveFormat = false;
    qint64 position = 12;
    for (int chunk = 0;; ++chunk) {
        if (chunk == kMostChunks)
            return refused(Problem::Damaged, u"The recording is damaged: it has no sound."_s);
        if (!file.seek(position))
            return refused(Problem::Damaged, u"The recording is damaged: it has no sound."_s);
        const QByteArray chunkHeader = file.read(8);
        if (chunkHeader.size() < 8)
            return refused(Problem::Damaged, u"The recording is damaged: it has no sound."_s);
        const quint32 size = u32(chunkHeader.constData() + 4);
        const qint64 start = position + 8;
        if (chunkHeader.startsWith("fmt ")) {
            if (size > 1024 || start + size > fileSize)
                return refused(Problem::Damaged, u"The recording is damaged: its format is wrong."_s);
            const QString wrong = readFormat(file.read(size), format);
            if (!wrong.isEmpty())
                return refused(Problem::Damaged, u"The recording cannot be played: "_s + wrong);
            haveFormat = true;
        } else if (chunkHeader.startsWith("data")) {
            if (!haveFormat)
                return refused(Problem::Damaged, u"The recording is damaged: its format is missing."_s);
            if (start + qint64(size) > fileSize)
                return refused(Problem::Damaged, u"The recording is damaged: it is shorter than it says."_s);
            const qint64 frames = size / format.blockAlign;
            if (frames == 0)
                return refused(Problem::Damaged, u"The recording is empty."_s);
            if (frames * 1000 > kLongestRecordingMs * qint64(format.sampleRate))
                return refused(Problem::TooLong, u"The recording is longer than a minute."_s);
            const QByteArray data = file.read(frames * format.blockAlign);
            if (data.size() != frames * format.blockAlign)
                return refused(Problem::Unreadable, u"The recording cannot be read: %1"_s.arg(file.errorString()));
            WavReading reading;
            reading.audio.sampleRate = format.sampleRate;
            reading.audio.samples = toMono16(data, format);
            return reading;
        }
        position = start + size + (size & 1); // chunks are padded to even sizes
    }
}

QByteArray wavFileBytes(const VoiceAudio &audio)
{
    const auto dataSize = quint32(audio.samples.size() & ~qsizetype(1));
    QByteArray bytes(44, Qt::Uninitialized);
    char *p = bytes.data();
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataSize, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(kFormatPcm, p + 20);
    qToLittleEndian<quint16>(1, p + 22);
    qToLittleEndian<quint32>(quint32(audio.sampleRate), p + 24);
    qToLittleEndian<quint32>(quint32(audio.sampleRate) * 2, p + 28);
    qToLittleEndian<quint16>(2, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataSize, p + 40);
    bytes.append(audio.samples.constData(), dataSize);
    return bytes;
}

void writeWavFile(const QString &path, const VoiceAudio &audio)
{
    SafeSave save(path);
    save.open();
    save.write(wavFileBytes(audio));
    save.commit();
}
