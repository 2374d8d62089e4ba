// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

// Makers of the windows' controls: each keeps its design name as its object
// name. Controls that show text keep Qt's accessible name, which follows the
// text; what a screen reader needs besides goes in the description.
namespace Controls {

// Push buttons take the focus only by Tab, so a click leaves the typing
// where it was; Space and Enter press the focused one.
QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect geometry);
// Labels show their text as plain text, character for character. The
// description tells a screen reader what the label is for, also while the
// label is empty.
QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect geometry, const QString &description);
// A label whose text is aligned within it, vertically centred.
QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect geometry, Qt::Alignment alignment,
              const QString &description);
// The caption may hold "&&" for one ampersand.
QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, QRect geometry);
// A horizontal slider with ticks below, moved by one with the arrow keys and
// by five with Page Up and Page Down.
QSlider *slider(QWidget *parent, const char *name, int minimum, int maximum, QRect geometry,
                const QString &accessibleName);
QRadioButton *option(QWidget *parent, const char *name, const QString &caption, QRect geometry);
QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption, QRect geometry);
// Escape, left by the focused control (an open drop-down list keeps it),
// clicks the window's Close button: its own handler closes the window.
void closeOnEscape(QWidget *window, QAbstractButton *close);

} // namespace Controls
