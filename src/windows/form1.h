// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class Navigator;
class ProgramState;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QKeyEvent;

// The main window. Its load step does the program's start-up; closing it
// ends the program. Its handlers are split by concern: the window itself in
// form1.cpp, the word-list commands in form1_wordlist.cpp and the game in
// form1_game.cpp.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    Form1(ProgramState &state, Navigator &navigator);
    ~Form1() override;

    // Start-up, run once before the window is first shown. A given list (from
    // the command line) takes the place of the remembered one, so that only
    // the list asked for is read, and it is remembered in turn.
    void Form_Load(const QString &givenList = QString());
    void ApplySkin();

    // Word list (form1_wordlist.cpp).
    // Reads the list named by the path box into a new store, empties the pass
    // record and clears the word counter; true when it did. Reports its own
    // failures: a file that is no list (see readDictionaryText: it cannot be
    // read, is not text, or is too large to hold) is reported and leaves the
    // list in use, the pass record and the counter as they were.
    bool loadDictionaryFile();
    // The change handling of the path box; `previousPath` is what the box
    // held before. A file refused as a list puts that path back, so that the
    // list in use, its name and the remembered path stay as they were.
    void Text1_Change(const QString &previousPath);
    // Puts a path into Text1; every assignment runs the change handling, also
    // one that repeats the path in use, so choosing a list again reloads it.
    void setText1(const QString &path);
    void PushButton6_Click();
    void PushButton1_Click();
    void PushButton10_Click();
    void PushButton11_Click();
    void PushButton2_Click();
    void Label3_Click();

    // The game (form1_game.cpp).
    void PushButton3_Click();
    // Starts a game at once over these words only (each different word once
    // per pass), as Start Game does; the list in use stays, and the next game
    // asks it whole again. Does nothing while a game runs or an answer is
    // being handled, or without words.
    void startGameOver(const QStringList &words);
    void PushButton8_Click();
    void UpdateScore();
    void PushButton5_Click();
    void PushButton7_Click();
    void Form_KeyDown(QKeyEvent *event);
    void Text2_KeyPress(QKeyEvent *event);
    // "Take a Test": each different word of the list in use once, without
    // help; it ends by itself after the last word, or at "End Test".
    void PushButton13_Click();

    // Audio options.
    void PushButton4_Click();
    // Progress.
    void PushButton12_Click();
    // The learner: another one chosen, or "New Learner..." (the last item).
    void Combo1_Click();
    // Edit Word List...: the word list editor on the list in use.
    void PushButton14_Click();
    // Makes the list at the path the list in use, as choosing it in the open
    // dialog does (PushButton6_Click).
    void useWordList(const QString &path);

    ProgramState &state() const { return m_state; }

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
    QPushButton *PushButton12;
    QPushButton *PushButton13;
    QPushButton *PushButton14;
    // The finish line: how a finished pass of right answers went.
    QLabel *Label5;
    QPushButton *PushButton7;
    QLabel *Label4;
    QLabel *Label2;
    QLabel *Label1;
    // The learner in use, on the last row.
    QLabel *Label7;
    QComboBox *Combo1;
    // The sentence of the word asked, with the word left out.
    QLabel *Label6;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Fills Combo1 with the learners, the one in use chosen, and "New
    // Learner..."; the history's notices wait for its next use.
    void showLearners();
    // The load step's voice steps, run once the speech engine's start has
    // ended; `afterLoad` when that came after the rest of the load step.
    void fillVoices(bool afterLoad);
    // Runs a handler in its turn: one that starts while another still runs
    // (the feedback sound's wait and the yields run the event loop) waits
    // for it, and so does the input that comes meanwhile.
    void handle(void (Form1::*handler)());
    void buildControls();
    void Form_QueryUnload();
    // The test (form1_game.cpp): its next word, an answer, its end.
    void askTestWord();
    void testAnswered();
    void endTest();
    // The copy after a miss (form1_game.cpp).
    void copyEntered();
    void coverCopy();
    // The next word of a practice game, as an answer moves on to it.
    void askNextWord();
    // Shows the finish line, or hides it when there is none.
    void showFinishLine(const QString &line);
    // The sentence line (form1_game.cpp): shows the current word's sentence,
    // or clears the line when it has none.
    void showSentence();
    void clearSentence();
    // Whether the sentence line is shown, from the settings: read again each
    // time the window shows, so also after the audio options close.
    void readSentenceSetting();

    ProgramState &m_state;
    Navigator &m_navigator;
    // Whether the last change handling of Text1 read the list it names; the
    // load step's own load is not run again on a list just read.
    bool m_changeReadList = false;
    // Whether the window has been painted, and whether the learners wait
    // for its first paint.
    bool m_painted = false;
    bool m_learnersDue = false;
    bool m_showSentence = true;
};
