#pragma once

#include <QByteArrayView>
#include <QString>

// Reading word list files.
namespace WordListFile {

// Decodes the bytes of a word list. UTF-16 when the first byte is FF (little
// endian) or FE (big endian), the two mark bytes dropped, an odd final byte
// dropped; UTF-8 when the bytes open with the UTF-8 mark (dropped) or are
// valid UTF-8; otherwise the 8-bit code page.
QString decode(QByteArrayView bytes);

} // namespace WordListFile

// Reads a word list file whole and returns its decoded text; an empty file
// gives the empty text. Throws Failure when the file cannot be read.
QString readDictionaryText(const QString &path);
