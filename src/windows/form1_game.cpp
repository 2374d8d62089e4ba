// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/form1.h"

#include "audio/audiopreferences.h"
#include "core/errorreport.h"
#include "practice/answercheck.h"
#include "practice/schooltest.h"
#include "practice/scoring.h"
#include "practice/sentencegap.h"
#include "program/dictionary.h"
#include "program/programstate.h"
#include "program/wordsfirst.h"
#include "widgets/looks.h"
#include "widgets/typeahead.h"
#include "windows/form2.h"
#include "windows/navigator.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// PushButton3 leaves room for the "?" button during a game and covers its
// place after one.
constexpr int kStartButtonRunningWidth = 7200;
constexpr int kStartButtonIdleWidth = 7800;

constexpr QStringView kStartCaption = u"Start Game";
constexpr QStringView kEndCaption = u"End Game";
constexpr QStringView kEndTestCaption = u"End Test";

QString counterText(const ProgramState &state)
{
    return u" Word "_s + QString::number(state.usedWords.count()) + u" of "_s
        + QString::number(state.gameWords().count());
}

void setWidth(QWidget *widget, int twips)
{
    widget->resize(Looks::px(twips), widget->height());
}

AnswerRow &existing(AnswerRow *row)
{
    if (!row)
        throw Failure(u"The row was not added"_s);
    return *row;
}

// Return, keypad Enter and Ctrl+M give a carriage return (13); Ctrl+Enter
// gives a line feed (10), whatever text the platform attaches to it.
bool givesCarriageReturn(const QKeyEvent &event)
{
    const bool enterKey = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (enterKey && event.modifiers().testFlag(Qt::ControlModifier))
        return false;
    return event.text() == u"\r" || (enterKey && event.text().isEmpty());
}

bool playSounds(const ProgramState &state)
{
    return state.audio.preferences->playSounds();
}

QString shownWord(const QString &word)
{
    return AnswerCheck::shown(word, AnswerCheck::kLongestShown);
}

// Lists the answered pairs in the results window, as End Game does.
Scoring::Tally listAnswers(Form2 &results, const QStringList &given, const QStringList &typed)
{
    Scoring::Tally tally;
    for (qsizetype k = 0; k < given.size() && k < typed.size(); ++k) {
        auto *row = new AnswerRow(results.ListView1, given.at(k));
        row->setText(1, typed.at(k));
        if (Scoring::isCorrect(typed.at(k), given.at(k))) {
            row->setText(2, u"Correct"_s);
            ++tally.correct;
        } else {
            row->setText(2, u"Wrong"_s);
            row->tellWhereItWentWrong();
            ++tally.wrong;
        }
    }
    return tally;
}

// A line of text cut with an ellipsis to the label's width. Laying out a
// sentence of 100,000 characters takes long, and the line holds a few
// hundred at most: only the start of a longer text is laid out.
QString shownLine(const QLabel &label, const QString &text)
{
    constexpr qsizetype kLaidOut = 1000;
    QString start = text;
    if (text.size() > kLaidOut) {
        const qsizetype cut = text.at(kLaidOut - 1).isHighSurrogate() ? kLaidOut - 1 : kLaidOut;
        start = text.first(cut) + u'\u2026';
    }
    return label.fontMetrics().elidedText(start, Qt::ElideRight, label.contentsRect().width());
}

} // namespace

void Form1::PushButton3_Click()
{
    if (m_state.game.started && m_state.game.kind == GameKind::Test) {
        endTest();
        return;
    }
    showFinishLine(QString());
    m_state.game.copy.clear();
    Steps s(m_state.prompts(), u"Form1", u"PushButton3_Click");
    if (s.test(100, [&] { return PushButton3->text() == kStartCaption; })) {
        if (s.test(102, [&] { return m_state.game.started; })) {
            s.step(128, [&] { m_state.prompts().message(u"Game already started."_s); });
            return;
        }
        // The draw gives the empty word from an empty store; a game of empty
        // words would mark every answer wrong.
        if (s.test(204, [&] { return m_state.gameWords().count() == 0; })) {
            s.step(206, [&] {
                m_state.prompts().message(u"The word list holds no words. Please load a word list first."_s);
            });
            return;
        }
        // Not a step of the design: the practice history never stops a game.
        WordsFirst::startGame(m_state, m_state.practiceRecord, Text1->text());
        s.step(104, [&] { m_state.game.started = true; });
        s.step(106, [&] { PushButton3->setText(kEndCaption.toString()); });
        s.step(108, [&] { setWidth(PushButton3, kStartButtonRunningWidth); });
        s.step(110, [&] { PushButton7->show(); });
        s.step(112, [&] { Text2->setFocus(); });
        s.step(114, [&] { m_state.game.givenWords = QStringList(); });
        s.step(116, [&] { m_state.game.typedWords = QStringList(); });
        s.step(118, [&] { m_state.game.currentWord = getWordFromDictionary(m_state); });
        m_state.game.currentSentence = drawnWordSentence(m_state);
        s.step(120, [&] { m_state.gameAudio.speakWord(m_state.game.currentWord); });
        showSentence();
        s.step(122, [&] { m_state.game.givenWords.append(m_state.game.currentWord); });
        s.step(124, [&] { Label1->setText(counterText(m_state)); });
        s.step(126, [&] { QCoreApplication::processEvents(); });
        return;
    }

    if (!s.test(130, [&] { return PushButton3->text() == kEndCaption; }))
        return;
    if (s.test(132, [&] { return !m_state.game.started; })) {
        s.step(200, [&] { m_state.prompts().message(u"Please start the game first."_s); });
        s.step(202, [&] { PushButton3->setText(kStartCaption.toString()); });
        return;
    }
    // Not a step of the design: the word's prompt ends with the game.
    m_state.gameAudio.stopPrompt();
    s.step(134, [&] { setWidth(PushButton3, kStartButtonIdleWidth); });
    s.step(136, [&] { PushButton7->hide(); });
    s.step(138, [&] { UpdateScore(); });
    s.step(140, [&] { Text2->setText(QString()); });
    s.step(142, [&] { Label1->setText(QString()); });
    s.step(144, [&] { Label4->setText(QString()); });

    // The results window keeps its own copy of the answered pairs; the game
    // record is renewed below.
    const QStringList &given = m_state.game.givenWords;
    qint64 wrong = 0;
    qint64 correct = 0;
    s.step(146, [&] { wrong = 0; });
    s.step(148, [&] { correct = 0; });
    if (s.test(152, [&] { return !given.isEmpty() && !m_state.game.typedWords.isEmpty(); })) {
        s.mark(154);
        for (qsizetype k = 0; k < given.size(); ++k) {
            if (s.test(156, [&] { return k >= m_state.game.typedWords.size(); }))
                continue;
            AnswerRow *row = nullptr;
            s.step(158, [&] { row = new AnswerRow(m_navigator.results().ListView1, given.at(k)); });
            s.step(160, [&] { existing(row).setText(1, m_state.game.typedWords.at(k)); });
            if (s.test(162, [&] { return !Scoring::isCorrect(m_state.game.typedWords.at(k), given.at(k)); })) {
                s.step(164, [&] { existing(row).setText(2, u"Wrong"_s); });
                s.step(210, [&] { existing(row).tellWhereItWentWrong(); });
                s.step(166, [&] { ++wrong; });
            } else {
                s.step(168, [&] { existing(row).setText(2, u"Correct"_s); });
                s.step(170, [&] { ++correct; });
            }
            s.mark(172);
        }
        s.step(174, [&] { m_navigator.results().lblCorrect->setText(u"Correct: "_s + QString::number(correct)); });
        s.step(176, [&] { m_navigator.results().lblWrong->setText(u"Wrong: "_s + QString::number(wrong)); });
        if (s.test(178, [&] { return correct + wrong > 0; })) {
            s.step(180, [&] { m_navigator.results().lblScore->setText(Scoring::scoreText({correct, wrong})); });
        } else {
            s.step(182, [&] { m_navigator.results().lblScore->setText(u"Score: 0%"_s); });
        }
        s.step(184, [&] { m_navigator.results().show(); });
        s.step(186, [&] { hide(); });
    }
    s.step(188, [&] { m_state.game.givenWords = QStringList(); });
    s.step(190, [&] { m_state.game.typedWords = QStringList(); });
    s.step(192, [&] { m_state.usedWords.clear(); });
    // The next game asks the whole list again.
    s.step(208, [&] { m_state.stopPractising(); });
    s.step(194, [&] { Label1->setText(QString()); });
    clearSentence();
    s.step(196, [&] { Label4->setText(QString()); });
    s.step(198, [&] { m_state.game.started = false; });
    s.step(202, [&] { PushButton3->setText(kStartCaption.toString()); });
}

void Form1::startGameOver(const QStringList &words)
{
    if (m_state.game.started || words.isEmpty())
        return;
    m_state.practise(words);
    PushButton3_Click();
    if (!m_state.game.started)
        m_state.stopPractising();
}

void Form1::PushButton8_Click()
{
    // Not a step of the design: an answer ends the word's prompt at once,
    // before the feedback sound.
    m_state.gameAudio.stopPrompt();
    if (m_state.game.started && m_state.game.kind == GameKind::Test) {
        testAnswered();
        return;
    }
    if (m_state.game.started && m_state.game.copy.active()) {
        copyEntered();
        return;
    }
    Steps s(m_state.prompts(), u"Form1", u"PushButton8_Click");
    if (s.test(102, [&] { return !m_state.game.started; })) {
        s.step(144, [&] { m_state.prompts().message(u"Please start the game first before entering word."_s); });
        s.step(146, [&] { Text2->setText(QString()); });
        return;
    }
    if (s.test(108, [&] { return Text2->text().isEmpty(); })) {
        s.step(142, [&] { m_state.prompts().message(u"You forgot to input word."_s); });
        return;
    }
    // Typing for the next word may already follow the answer in the box
    // while the feedback sound plays; only the answer is emptied.
    QString judged;
    s.step(110, [&] {
        judged = Text2->text();
        m_state.game.typedWords.append(judged);
    });
    // Kept before the feedback and its sound's wait: a crash then loses at
    // most this answer.
    m_state.practiceRecord.answered(m_state.game, Text1->text(), m_state.dictionary);
    const auto lastGiven = [&] {
        if (m_state.game.givenWords.isEmpty())
            throw Failure(u"No word was given"_s);
        return m_state.game.givenWords.constLast();
    };
    if (s.test(112, [&] { return !Scoring::isCorrect(m_state.game.typedWords.constLast(), lastGiven()); })) {
        s.step(114, [&] {
            Label4->setText(u"Incorrect. Correct spelling: "_s
                            + AnswerCheck::shown(lastGiven(), AnswerCheck::kLongestShown));
        });
        if (s.test(116, [&] { return playSounds(m_state); }))
            s.step(118, [&] { m_state.gameAudio.playSound(false); });
        // The spelling stays shown for a copy; the next word waits for it.
        if (m_state.copyAfterMiss())
            m_state.game.copy.missed(lastGiven());
    } else {
        s.step(120,
               [&] { Label4->setText(u"Correct: "_s + AnswerCheck::shown(lastGiven(), AnswerCheck::kLongestShown)); });
        if (s.test(122, [&] { return playSounds(m_state); }))
            s.step(124, [&] { m_state.gameAudio.playSound(true); });
    }
    s.step(126, [&] { UpdateScore(); });
    s.step(128, [&] { Text2->setText(TypeAhead::typedSince(judged, Text2->text())); });
    s.step(130, [&] { Text2->setFocus(); });
    // A pass over every word of the list, each answered right at the first
    // try, is said in words.
    const qsizetype pass = m_state.gameWords().distinctCount();
    if (m_state.usedWords.count() == pass
        && SchoolTest::lastAnswersRight(m_state.game.givenWords, m_state.game.typedWords, pass))
        showFinishLine(SchoolTest::finishLine(pass, pass));
    if (m_state.game.copy.active()) {
        // Typing that came during the feedback has begun the copy.
        if (m_state.game.copy.typed(Text2->text()))
            coverCopy();
        QCoreApplication::processEvents();
        return;
    }
    s.step(132, [&] { m_state.game.currentWord = getWordFromDictionary(m_state); });
    m_state.game.currentSentence = drawnWordSentence(m_state);
    s.step(134, [&] { m_state.gameAudio.speakWord(m_state.game.currentWord); });
    showSentence();
    s.step(136, [&] { m_state.game.givenWords.append(m_state.game.currentWord); });
    s.step(138, [&] { Label1->setText(counterText(m_state)); });
    s.step(140, [&] { QCoreApplication::processEvents(); });
}

void Form1::showSentence()
{
    const QString &sentence = m_state.game.currentSentence;
    if (sentence.isEmpty()) {
        clearSentence();
        return;
    }
    const QList<SentenceGap::Range> places = SentenceGap::places(sentence, m_state.game.currentWord);
    Label6->setText(shownLine(*Label6, SentenceGap::shown(sentence, places)));
    // The screen reader gets the whole sentence, not what fits on screen.
    Label6->setAccessibleName(SentenceGap::spoken(sentence, places));
    Label6->setVisible(m_showSentence);
}

void Form1::clearSentence()
{
    Label6->clear();
    Label6->setAccessibleName(QString());
    Label6->hide();
}

void Form1::UpdateScore()
{
    const Scoring::Tally tally = Scoring::tally(m_state.game.givenWords, m_state.game.typedWords);
    Label2->setText(Scoring::scoreText(tally));
}

void Form1::PushButton5_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton5_Click");
    if (s.test(100, [&] { return m_state.game.started; }))
        s.step(102, [&] { m_state.gameAudio.speakWord(m_state.game.currentWord); });
    else
        s.step(104, [&] { m_state.prompts().message(u"Please start the game first."_s); });
}

void Form1::PushButton7_Click()
{
    Steps s(m_state.prompts(), u"Form1", u"PushButton7_Click");
    s.step(100, [&] {
        const QString contact = QStringList{u"Please contact"_s, u"Team"_s, u"Marrowfen"_s, u"at"_s,
                                            u"https://www.marrowfen.example/contact/"_s}
                                    .join(QChar(0x00A0));
        m_state.prompts().message(
            QStringList{u"Questions?"_s, QString(), contact, QString(),
                        u"This software plays audio so make sure your speakers are loud enough."_s, QString(),
                        u"Word list will loop again and again until you press 'End Game'"_s}
                .join(u"\r\n"_s));
    });
}

void Form1::Form_KeyDown(QKeyEvent *event)
{
    if (event->modifiers().testFlag(Qt::ControlModifier) && event->key() == Qt::Key_R)
        handle(&Form1::PushButton5_Click);
}

void Form1::Text2_KeyPress(QKeyEvent *event)
{
    if (givesCarriageReturn(*event))
        handle(&Form1::PushButton8_Click);
}

void Form1::askNextWord()
{
    GameState &game = m_state.game;
    game.currentWord = getWordFromDictionary(m_state);
    m_state.gameAudio.speakWord(game.currentWord);
    game.givenWords.append(game.currentWord);
    Label1->setText(counterText(m_state));
    QCoreApplication::processEvents();
}

void Form1::showFinishLine(const QString &line)
{
    Label5->setText(line);
    Label5->setVisible(!line.isEmpty());
}

void Form1::coverCopy()
{
    Label4->setText(u"Now type the word again."_s);
}

void Form1::copyEntered()
{
    if (Text2->text().isEmpty()) {
        m_state.prompts().message(u"You forgot to input word."_s);
        return;
    }
    GameState &game = m_state.game;
    const QString judged = Text2->text();
    const QString word = game.copy.word();
    m_state.practiceRecord.copied(word, judged);
    const bool right = game.copy.entered(judged);
    Text2->setText(TypeAhead::typedSince(judged, Text2->text()));
    Text2->setFocus();
    if (!right) {
        Label4->setText(u"Not yet. Correct spelling: "_s + shownWord(word));
        if (game.copy.typed(Text2->text()))
            coverCopy();
        return;
    }
    Label4->setText(u"Copied right: "_s + shownWord(word));
    askNextWord();
}

void Form1::PushButton13_Click()
{
    if (m_state.game.started) {
        m_state.prompts().message(u"Please end the game in progress before taking a test."_s);
        return;
    }
    if (m_state.dictionary.count() == 0) {
        m_state.prompts().message(u"The word list holds no words. Please load a word list first."_s);
        return;
    }
    GameState &game = m_state.game;
    game = GameState();
    game.kind = GameKind::Test;
    game.testWords = SchoolTest::order(m_state.dictionary, m_state.random());
    game.started = true;
    Label4->clear();
    showFinishLine(QString());
    PushButton3->setText(kEndTestCaption.toString());
    Text2->setFocus();
    askTestWord();
}

void Form1::askTestWord()
{
    GameState &game = m_state.game;
    game.currentWord = game.testWords.at(game.givenWords.size());
    m_state.gameAudio.speakWord(game.currentWord);
    game.givenWords.append(game.currentWord);
    Label1->setText(u" Word "_s + QString::number(game.givenWords.size()) + u" of "_s
                    + QString::number(game.testWords.size()));
    QCoreApplication::processEvents();
}

void Form1::testAnswered()
{
    if (Text2->text().isEmpty()) {
        m_state.prompts().message(u"You forgot to input word."_s);
        return;
    }
    GameState &game = m_state.game;
    const QString judged = Text2->text();
    game.typedWords.append(judged);
    m_state.practiceRecord.answered(game, Text1->text(), m_state.dictionary);
    // No right or wrong during a test: only which answer was taken.
    Label4->setText(u"Answer taken: "_s + shownWord(judged));
    Text2->setText(TypeAhead::typedSince(judged, Text2->text()));
    Text2->setFocus();
    if (SchoolTest::isOver(game.testWords.size(), game.typedWords.size()))
        endTest();
    else
        askTestWord();
}

void Form1::endTest()
{
    GameState &game = m_state.game;
    Form2 &results = m_navigator.results();
    const Scoring::Tally tally = listAnswers(results, game.givenWords, game.typedWords);
    results.lblCorrect->setText(u"Correct: "_s + QString::number(tally.correct));
    results.lblWrong->setText(u"Wrong: "_s + QString::number(tally.wrong));
    results.lblScore->setText(Scoring::scoreText(tally));
    results.Label1->setText(SchoolTest::finishLine(tally.correct, game.testWords.size()));
    results.Label1->show();
    game = GameState();
    Text2->clear();
    Label1->clear();
    Label4->clear();
    PushButton3->setText(kStartCaption.toString());
    results.show();
    hide();
}
