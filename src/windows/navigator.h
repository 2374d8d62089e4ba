// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class Form2;
class Form3;
class InputQueue;
class Form4;
class Form5;

// How a window reaches the others. The composition root owns the windows and
// moves between them; windows hold no pointers to one another.
class Navigator
{
public:
    virtual ~Navigator() = default;
    // The audio options window; the first call loads it, hidden, and runs
    // its load step. Closing it unloads it.
    virtual Form3 &audioOptions() = 0;
    // The results window, loaded the same way.
    virtual Form2 &results() = 0;
    // Shows the main window and starts a game at once over these words only
    // (Form1::startGameOver); the list in use stays.
    virtual void practise(const QStringList &words) = 0;
    // The Progress window, for the list at the path: loaded the same way.
    virtual Form4 &progress(const QString &listPath) = 0;
    // The word list editor, opened on the list at the path: loaded the same
    // way.
    virtual Form5 &wordListEditor(const QString &listPath) = 0;
    // Makes the list at the path the list in use, as choosing it in the main
    // window's open dialog does (Form1::useWordList).
    virtual void useWordList(const QString &path) = 0;
    // Throws Failure when the main window is not loaded.
    virtual void showMainWindow() = 0;
    // Brings the main window back as another window closes, unless the
    // program is ending.
    virtual void returnToMainWindow() = 0;
    // Set while the program ends, so that closing windows do not bring the
    // main window back.
    virtual bool ending() const = 0;
    // Ends the program: the other windows close with the main window.
    virtual void endProgram() = 0;
    // Runs the windows' handlers one at a time and holds input meanwhile.
    virtual InputQueue &input() = 0;
};
