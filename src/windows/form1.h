#pragma once

#include <QStringList>
#include <QWidget>

class Globals;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QKeyEvent;

// The main window. Its load step does the program's start-up; closing it
// ends the program. The handlers of its controls live with their subsystems:
// the word-list commands in wordlist/, the game in game/.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(Globals &globals);
    ~Form1() override;

    // Start-up, run once before the window is first shown.
    void Form_Load();
    void ApplySkin();

    // Word list (wordlist/wordlistcommands.cpp).
    void Text1_Change();
    // Puts a path into Text1; every assignment runs the change handling, also
    // one that repeats the path in use, so choosing a list again reloads it.
    void setText1(const QString &path);
    void PushButton6_Click();
    void PushButton1_Click();
    void PushButton10_Click();
    void PushButton11_Click();
    void PushButton2_Click();
    void Label3_Click();

    // The game (game/gamecommands.cpp).
    void PushButton3_Click();
    void PushButton8_Click();
    void UpdateScore();
    void PushButton5_Click();
    void PushButton7_Click();
    void Form_KeyDown(QKeyEvent *event);
    void Text2_KeyPress(QKeyEvent *event);

    // Audio options.
    void PushButton4_Click();

    Globals &globals() const { return m_globals; }

    // The game state kept by the window.
    QString currentWord;
    QStringList typedWords;
    // True while an answer is being handled; the game ignores Enter, Repeat
    // and End Game until then (the feedback sound's wait runs the event loop).
    bool handlingAnswer = false;

    // Controls, by design name.
    QPushButton *PushButton3;
    QPushButton *PushButton5;
    QGroupBox *Frame5;
    QLineEdit *Text2;
    QPushButton *PushButton8;
    QGroupBox *Frame3;
    QPushButton *PushButton6;
    QPushButton *PushButton1;
    QPushButton *PushButton2;
    QPushButton *PushButton10;
    QPushButton *PushButton11;
    QLineEdit *Text1;
    QLabel *Label3;
    QPushButton *PushButton4;
    QPushButton *PushButton7;
    QLabel *Label4;
    QLabel *Label2;
    QLabel *Label1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void Form_QueryUnload();

    Globals &m_globals;
};
