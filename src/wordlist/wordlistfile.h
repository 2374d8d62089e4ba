// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/failure.h"
#include "core/waitforwork.h"
#include "wordlist/wordstore.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class Steps;

// Reading word list files.
namespace WordListFile {

// Larger files are refused before they are read: even at three bytes per
// character (UTF-8 beyond Latin, the densest text) they would not fit the
// store.
inline constexpr qint64 kMaximumBytes = 3 * (WordStore::kMaximumTextLength + 1);

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

// The bytes of a list of the words: UTF-8 without a mark, each word followed
// by a LF. Read back, they give the same words in the same order, as long as
// none is empty or holds a CR, LF or TAB (no word read from a list does).
QByteArray encode(const QStringList &words);

// Saves the words as a list (encode) safely: see SafeSave, whose Failure it
// throws.
void save(const QString &path, const QStringList &words);

} // namespace WordListFile

// A list too large to hold: beyond the store's range, or memory refused.
class ListTooLarge : public Failure
{
public:
    using Failure::Failure;
    // The failure when memory for the list at the path is refused.
    static ListTooLarge outOfMemory(const QString &path);
};

// Reads a word list file whole and returns its decoded text; an empty file
// gives the empty text. Throws Failure when the file cannot be opened or read
// (missing, vanished, a folder, a pipe or device, no permission, locked by
// another program where the system locks files) or when it is not text
// (WordListFile::isBinary); throws ListTooLarge when its text would not fit
// the store or memory is refused. The path is read as written: wildcard
// characters are not expanded. The file is closed in every case.
QString readDictionaryText(const QString &path);

// Steps 102 to 116 of the load (loadDictionaryFile), run on the load's own
// steps: reads the list at the path, deletes every CR, splits the text at
// every LF and appends each line to a new store (WordStore::appendLine),
// which replaces the given one. A file that is no list -- one that cannot be read, is not text
// or is too large to hold -- ends the load at its report and leaves the store
// as it was, so the list in use is not lost; the result is false then. The
// copies of each word are grouped before the store is handed over. The
// reading and the filling run through the given runner, the reports on the
// calling thread; the given store is not touched while the runner works.
bool readDictionaryInto(Steps &s, const QString &path, WordStore &dictionary, const WorkRunner &run = runHere);
