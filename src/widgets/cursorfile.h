// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QPoint>
#include <optional>

// A pointer picture and its hot spot, as read from the bytes of a cursor
// file (.CUR) or of any other picture file.
struct CursorPicture
{
    QImage image;
    // Inside the picture, or (-1, -1) for its centre.
    QPoint hotSpot{-1, -1};
};

// Nothing when the bytes hold no picture. The hot spot is the one of the
// cursor file's first picture; other files, and a hot spot that lies outside
// the picture, give the centre.
std::optional<CursorPicture> readCursorFile(QByteArrayView bytes);
