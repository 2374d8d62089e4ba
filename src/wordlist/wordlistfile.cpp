// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlistfile.h"

#include "core/codepage.h"
#include "core/errorreport.h"
#include "core/safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace WordListFile {

namespace {

constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";

// Decodes without treating a leading U+FEFF as a mark: the program has
// already dropped the one mark it recognises.
QString decodeVerbatim(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

Encoding detect(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8Mark))
        bytes = bytes.sliced(kUtf8Mark.size());
    if (bytes.isValidUtf8())
        return Encoding::Utf8;
    const auto first = static_cast<unsigned char>(bytes.front());
    if (first == 0xFF)
        return Encoding::Utf16LittleEndian;
    if (first == 0xFE)
        return Encoding::Utf16BigEndian;
    return Encoding::Ansi;
}

QString decode(QByteArrayView bytes)
{
    const Encoding encoding = detect(bytes);
    if (bytes.startsWith(kUtf8Mark))
        bytes = bytes.sliced(kUtf8Mark.size());
    switch (encoding) {
    case Encoding::Utf8:
        return decodeVerbatim(QStringConverter::Utf8, bytes);
    case Encoding::Utf16LittleEndian:
    case Encoding::Utf16BigEndian: {
        QByteArrayView body = bytes.sliced(std::min<qsizetype>(2, bytes.size()));
        body.truncate(body.size() & ~qsizetype(1));
        return decodeVerbatim(
            encoding == Encoding::Utf16LittleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, body);
    }
    case Encoding::Ansi:
        break;
    }
    return CodePage::decodeAnsi(bytes);
}

bool isBinary(QStringView text)
{
    return text.contains(QChar(u'\0'));
}

QByteArray encode(const QStringList &words)
{
    QByteArray bytes;
    for (const QString &word : words) {
        bytes += word.toUtf8();
        bytes += '\n';
    }
    return bytes;
}

void save(const QString &path, const QStringList &words)
{
    SafeSave file(path);
    file.open();
    file.write(encode(words));
    file.commit();
}

} // namespace WordListFile

ListTooLarge ListTooLarge::outOfMemory(const QString &path)
{
    return ListTooLarge(u"\"%1\" is too large for a word list: there is not enough memory to hold it."_s.arg(
        QDir::toNativeSeparators(path)));
}

QString readDictionaryText(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    // Opening a pipe or a device could block or never end.
    if (info.isDir())
        throw Failure(u"\"%1\" is a folder, not a word list file."_s.arg(shown));
    if (info.exists() && !info.isFile())
        throw Failure(u"\"%1\" is not a plain file."_s.arg(shown));

    const auto beyondRange = [&] {
        return ListTooLarge(u"\"%1\" is too large for a word list (more than %2 characters)."_s.arg(
            shown, QString::number(WordStore::kMaximumTextLength)));
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(u"Cannot read \"%1\": %2"_s.arg(shown, file.errorString()));
    if (file.size() > WordListFile::kMaximumBytes)
        throw beyondRange();
    QString text;
    try {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw Failure(u"Cannot read \"%1\": %2"_s.arg(shown, file.errorString()));
        text = WordListFile::decode(bytes);
    } catch (const std::bad_alloc &) {
        throw ListTooLarge::outOfMemory(path);
    }
    if (text.size() > WordStore::kMaximumTextLength)
        throw beyondRange();
    if (WordListFile::isBinary(text))
        throw Failure(u"\"%1\" is not a text file."_s.arg(shown));
    return text;
}

bool readDictionaryInto(Steps &s, const QString &path, WordStore &dictionary, const WorkRunner &run)
{
    QString text;
    TextLines lines;
    WordStore fresh;
    bool tooLarge = false;
    bool read = false;
    // The steps whose memory grows with the list. The list in use is kept
    // until the new one is split, so that a file refused costs nothing.
    const auto sized = [&](int line, auto &&body) {
        s.step(line, [&] {
            try {
                run(body);
            } catch (const ListTooLarge &) {
                tooLarge = true;
                throw;
            } catch (const std::bad_alloc &) {
                tooLarge = true;
                throw ListTooLarge::outOfMemory(path);
            }
        });
        return !tooLarge;
    };
    // A file that cannot be read or is not text is no list either.
    const auto readText = [&] {
        text = readDictionaryText(path);
        read = true;
    };
    if (!sized(102, readText) || !read || !sized(104, [&] { text.remove(u'\r'); })
        || !sized(106, [&] { lines = TextLines(std::move(text)); })
        || !sized(108, [&] { fresh = WordStore(lines.text(), lines.nonEmptyCount()); }))
        return false;
    // The list in use goes now; the new one is filled out of the window's
    // reach and takes its place once complete.
    dictionary = WordStore();
    // Lines run in stretches between failures, each failure reported at its
    // line before the next stretch starts.
    qsizetype i = 0;
    while (i < lines.count()) {
        std::exception_ptr failed;
        run([&] {
            for (; i < lines.count(); ++i) {
                try {
                    fresh.appendLine(lines.line(i));
                } catch (...) {
                    failed = std::current_exception();
                    return;
                }
            }
            // The copies are grouped here, so that the first draw finds
            // them grouped.
            fresh.prepareIndex();
        });
        if (!failed)
            break;
        s.step(114, [&] { std::rethrow_exception(failed); });
        ++i;
    }
    dictionary = std::move(fresh);
    return true;
}
