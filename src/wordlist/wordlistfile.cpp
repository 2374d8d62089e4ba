#include "wordlistfile.h"

#include "shell/codepage.h"
#include "shell/failure.h"

#include <QFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace WordListFile {

QString decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    const auto first = static_cast<unsigned char>(bytes.front());
    if (first == 0xFF || first == 0xFE) {
        QStringDecoder decoder(first == 0xFF ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        QByteArrayView body = bytes.sliced(std::min<qsizetype>(2, bytes.size()));
        body.truncate(body.size() & ~qsizetype(1));
        return decoder.decode(body);
    }
    const bool marked = bytes.startsWith("\xEF\xBB\xBF");
    if (marked)
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (marked || !utf8.hasError())
        return text;
    return CodePage::decodeAnsi(bytes);
}

} // namespace WordListFile

QString readDictionaryText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(file.errorString());
    return WordListFile::decode(bytes);
}
