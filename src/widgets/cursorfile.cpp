// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursorfile.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace {

// A cursor file opens with a directory: reserved 0, type 2, the number of
// pictures, then per picture 16 bytes whose 5th to 8th hold the hot spot.
constexpr qsizetype kFirstHotSpot = 10;

quint16 word(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

} // namespace

std::optional<CursorPicture> readCursorFile(QByteArrayView bytes)
{
    CursorPicture picture;
    // Asked for by name alone, the cursor reader is the only image plugin
    // loaded: a reader left to guess loads every plugin to ask it first, and
    // the hand pointer is read before the main window is first shown.
    QBuffer buffer;
    buffer.setData(bytes.data(), bytes.size());
    QImageReader reader(&buffer, "cur");
    reader.setAutoDetectImageFormat(false);
    if (!reader.read(&picture.image) && !picture.image.loadFromData(bytes))
        return std::nullopt;
    if (bytes.size() >= kFirstHotSpot + 4 && word(bytes, 0) == 0 && word(bytes, 2) == 2 && word(bytes, 4) > 0) {
        const QPoint hotSpot(word(bytes, kFirstHotSpot), word(bytes, kFirstHotSpot + 2));
        if (picture.image.rect().contains(hotSpot))
            picture.hotSpot = hotSpot;
    }
    return picture;
}
