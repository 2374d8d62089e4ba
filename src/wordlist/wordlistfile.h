#pragma once

#include <QByteArrayView>
#include <QString>

// Reading word list files.
namespace WordListFile {

// Larger files are refused: a list of a million words takes about 10 MB
// (20 MB in UTF-16), and the limit keeps every position and offset well
// inside 32 bits and even a list of 16 million one-letter words under about
// 400 MB of memory.
inline constexpr qint64 kMaximumBytes = 32 * 1024 * 1024;

enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Ansi };

// How the bytes of a list are decoded, in this order:
// - bytes that are valid UTF-8 as a whole: UTF-8 (plain ASCII reads the same
//   either way);
// - first byte FF: UTF-16 little endian; first byte FE: UTF-16 big endian
//   (neither byte occurs in UTF-8, so such a file never reached the rule
//   above);
// - anything else: the 8-bit code page (CodePage::decodeAnsi).
// A leading UTF-8 mark EF BB BF is dropped first and the rule applies to the
// bytes after it: an editor may put the mark before text it did not convert.
Encoding detect(QByteArrayView bytes);

// The text of the bytes in the detected encoding. A mark is not part of the
// text; in UTF-16 the two bytes after FF or FE are taken as the mark and an
// odd final byte is dropped. Never fails: any bytes give some text.
QString decode(QByteArrayView bytes);

// True when the decoded text holds a NUL character, which no word list
// written by a text editor does (a UTF-16 file without a mark, an image, a
// program).
bool isBinary(QStringView text);

} // namespace WordListFile

// Reads a word list file whole and returns its decoded text; an empty file
// gives the empty text. Throws Failure when the file cannot be opened or read
// (missing, vanished, a folder, a pipe or device, no permission, locked by
// another program where the system locks files), when it is larger than
// WordListFile::kMaximumBytes, or when it is not text (WordListFile::isBinary).
// The path is read as written: wildcard characters are not expanded. The file
// is closed in every case.
QString readDictionaryText(const QString &path);
