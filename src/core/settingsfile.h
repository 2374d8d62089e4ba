// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>
#include <QVariant>

// The text of the settings file, read and written as text only.
//
// The layout is the usual INI one that earlier versions wrote: "[Section]"
// lines, "Key=value" lines with keys percent-escaped ("Volume%20Level"),
// values with C-style escapes, quotes around values holding ';', ',' or '='
// or spaces at either end, a comma outside quotes making a list, ';' starting
// a comment, a backslash at the end of a line continuing it, and a UTF-8 byte
// order mark skipped. A key outside any section lives in "[General]".
//
// Unlike a general settings reader, a value is never decoded into typed data:
// "@Variant(...)", "@DateTime(...)" and the like read as the text they hold.
// A damaged or hand-edited file therefore cannot make the program build
// objects from its bytes, nor ask for memory by the sizes those bytes claim
// (fuzzing found a short line that asked for 27 GB). The program writes only
// texts, and the few markers a text can carry are kept: "@@" stands for a
// leading "@", "@String(x)" and "@ByteArray(x)" for x, and "@Invalid()" for
// no value. A character that would not come back from UTF-8 as itself (a
// byte order mark, half a surrogate pair) is written as an escape.
//
// Keys are "Section/Key"; a value is a QString, or a QStringList for a list.
namespace SettingsFile {

using Keys = QMap<QString, QVariant>;

// Every key the text holds; a line that cannot be read is passed over.
Keys read(QByteArrayView text);

// The text of the given keys: keys outside any section first, then each
// section in name order, the keys of each in name order. Every key reads back
// as it was read, odd names included (a section named "general" in any case,
// or starting or ending with '/').
QByteArray write(const Keys &keys);

} // namespace SettingsFile
