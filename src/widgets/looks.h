// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QList>
#include <QRect>
#include <optional>

class QWidget;

// The look the three windows share. Positions come in twips, 15 to a
// device-independent pixel.
namespace Looks {

inline constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}
constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

inline const QColor kCounterColour{255, 255, 192};
inline const QColor kScoreColour{255, 255, 255};
inline const QColor kFeedbackColour{192, 255, 192};
inline const QColor kFileNameColour{255, 255, 255};
inline const QColor kDesignBackground{255, 255, 255};

QFont windowFont(); // Arial bold 9 pt
QFont buttonFont(); // Arial bold 11.25 pt
QFont answerFont(); // Arial bold 15.75 pt

// The program icon, the same pictures as the installed one.
QIcon programIcon();

void setBackground(QWidget *widget, const QColor &colour);
// The system button-face colour on the window and its option buttons, check
// boxes, frames and labels.
void ApplyStandardColours(QWidget *window);
// Fixed size, centred on the screen, no maximise box; active when shown.
void fixWindow(QWidget *window, int clientWidthTwips, int clientHeightTwips, bool minimiseBox);
// Resizable, with minimise and maximise boxes; opened at the size given, or
// at the size its layout needs when that is larger, within the screen's room,
// and centred there; active when shown.
void sizableWindow(QWidget *window, QSize opening);

// The hand pointer file, read with its hot spot; nothing when the file is
// missing or unreadable.
std::optional<QCursor> loadCursorFile(const QString &path);

// The hand over push buttons, the arrow over the window's other surfaces,
// neither while the window shows the busy pointer.
void installPointerRule(QWidget *window, const QCursor &hand, const QList<QWidget *> &buttons,
                        const QList<QWidget *> &surfaces);

} // namespace Looks
