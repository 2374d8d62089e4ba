#include "wordlistfile.h"

#include "shell/codepage.h"
#include "shell/failure.h"

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
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless
                                         | QStringConverter::Flag::ConvertInitialBom);
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
        return decodeVerbatim(encoding == Encoding::Utf16LittleEndian ? QStringConverter::Utf16LE
                                                                      : QStringConverter::Utf16BE,
                              body);
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

} // namespace WordListFile

QString readDictionaryText(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    // Opening a pipe or a device could block or never end.
    if (info.isDir())
        throw Failure(u"\"%1\" is a folder, not a word list file."_s.arg(shown));
    if (info.exists() && !info.isFile())
        throw Failure(u"\"%1\" is not a plain file."_s.arg(shown));

    const auto tooLarge = [&] {
        return Failure(u"\"%1\" is too large for a word list (more than %2 MB)."_s
                           .arg(shown, QString::number(WordListFile::kMaximumBytes / (1024 * 1024))));
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(u"Cannot read \"%1\": %2"_s.arg(shown, file.errorString()));
    if (file.size() > WordListFile::kMaximumBytes)
        throw tooLarge();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(u"Cannot read \"%1\": %2"_s.arg(shown, file.errorString()));
    if (bytes.size() > WordListFile::kMaximumBytes)   // grew since its size was read
        throw tooLarge();
    QString text = WordListFile::decode(bytes);
    if (WordListFile::isBinary(text))
        throw Failure(u"\"%1\" is not a text file."_s.arg(shown));
    return text;
}
