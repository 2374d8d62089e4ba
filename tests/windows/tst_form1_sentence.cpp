// SPDX-License-Identifier: GPL-3.0-or-later
#include "testprogram.h"
#include "windows/form3.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : u"(no interface)"_s;
}

// The text as a UTF-16 file with its byte order mark.
QByteArray utf16File(const QString &text)
{
    const QString marked = QChar(QChar::ByteOrderMark) + text;
    return {reinterpret_cast<const char *>(marked.utf16()), marked.size() * qsizetype(sizeof(char16_t))};
}

} // namespace

// The sentence line of the main window, with lists read from real files: the
// word asked left out of its sentence, on screen and for a screen reader.
class tst_Form1Sentence : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sentenceOfTheWordAsked_data();
    void sentenceOfTheWordAsked();
    void followsTheWordsAsked();
    void clearedAtEndGame();
    void longRightToLeftSentence();
    void setting_data();
    void setting();
    void settingReadAgainAfterAudioOptions();
    void practiceGameKeepsTheSentences();

private:
    Form1 &startWithList(const QByteArray &bytes);
    void answer(const QString &text);

    std::unique_ptr<TestProgram> program;
    QStringList spoken;
};

void tst_Form1Sentence::init()
{
    spoken.clear();
    program = std::make_unique<TestProgram>();
}

void tst_Form1Sentence::cleanup()
{
    program.reset();
}

Form1 &tst_Form1Sentence::startWithList(const QByteArray &bytes)
{
    program->settings->WriteSetting(u"Dictionary"_s, program->writeFile(u"homophones.dic"_s, bytes));
    Form1 &form1 = program->start();
    program->state().gameAudio.speakWord = [this](const QString &word) { spoken.append(word); };
    program->app->audioOptions().Option2->setChecked(true);
    form1.show();
    if (!QTest::qWaitForWindowActive(&form1))
        qFatal("the main window did not become active");
    return form1;
}

void tst_Form1Sentence::answer(const QString &text)
{
    Form1 &form1 = *program->app->mainWindow();
    form1.Text2->setText(text);
    QTest::keyClick(form1.Text2, Qt::Key_Return);
}

void tst_Form1Sentence::sentenceOfTheWordAsked_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("shown"); // empty: no line
    QTest::addColumn<QString>("spoken");
    QTest::addRow("a homophone in its sentence") << QByteArray("there\tPut the box over there.\r\n")
                                                 << u"Put the box over ______."_s << u"Put the box over blank."_s;
    QTest::addRow("in another letter case, inside a longer word")
        << QByteArray("here\tHere, take it: it is hers, not theirs. Nowhere else.\r\n")
        << u"______, take it: it is hers, not theirs. Now______ else."_s
        << u"blank, take it: it is hers, not theirs. Now blank else."_s;
    QTest::addRow("a sentence without the word, as it is")
        << QByteArray("won\tWe came first!\n") << u"We came first!"_s << u"We came first!"_s;
    QTest::addRow("markup-like text, as written")
        << QByteArray("cat\t<b>The cat</b> &amp; <i>co</i>\n") << u"<b>The ______</b> &amp; <i>co</i>"_s
        << u"<b>The blank</b> &amp; <i>co</i>"_s;
    QTest::addRow("a UTF-16 list") << utf16File(u"one\tone dog\r\n"_s) << u"______ dog"_s << u"blank dog"_s;
    QTest::addRow("a word without a sentence") << QByteArray("cat\r\n") << QString() << QString();
    QTest::addRow("a sentence of spaces only") << QByteArray("cat\t   \r\n") << QString() << QString();
}

void tst_Form1Sentence::sentenceOfTheWordAsked()
{
    QFETCH(QByteArray, list);
    QFETCH(QString, shown);
    QFETCH(QString, spoken);
    Form1 &form1 = startWithList(list);
    QVERIFY(!form1.Label5->isVisible());

    form1.PushButton3->click();

    QCOMPARE(this->spoken.size(), 1);
    QCOMPARE(form1.Label5->text(), shown);
    QCOMPARE(form1.Label5->isVisible(), !shown.isEmpty());
    QCOMPARE(form1.Label5->textFormat(), Qt::PlainText);
    if (!shown.isEmpty())
        QCOMPARE(accessibleName(form1.Label5), spoken);
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Form1Sentence::followsTheWordsAsked()
{
    Form1 &form1 = startWithList("weather\tThe weather is fine.\r\nwhether\r\n");
    form1.PushButton3->click();
    QSet<QString> seen;
    for (int asked = 0; asked < 6; ++asked) {
        const QString word = form1.state().game.currentWord;
        seen.insert(word);
        if (word == u"weather") {
            QCOMPARE(form1.Label5->text(), u"The ______ is fine."_s);
            QCOMPARE(accessibleName(form1.Label5), u"The blank is fine."_s);
            QVERIFY(form1.Label5->isVisible());
        } else {
            QCOMPARE(form1.Label5->text(), QString());
            QVERIFY(!form1.Label5->isVisible());
        }
        answer(word);
    }
    QCOMPARE(seen.size(), 2);
}

void tst_Form1Sentence::clearedAtEndGame()
{
    Form1 &form1 = startWithList("accept\tI accept your gift.\r\n");
    form1.PushButton3->click();
    QVERIFY(form1.Label5->isVisible());
    form1.PushButton5->click();
    QCOMPARE(spoken.size(), 2);
    QCOMPARE(form1.Label5->text(), u"I ______ your gift."_s);

    form1.PushButton3->click();

    QCOMPARE(form1.PushButton3->text(), u"Start Game"_s);
    QCOMPARE(form1.Label5->text(), QString());
    QVERIFY(!form1.Label5->isVisibleTo(&form1));
    QCOMPARE(accessibleName(form1.Label5), QString());
}

void tst_Form1Sentence::longRightToLeftSentence()
{
    // 100,000 characters of Hebrew with the word in the middle and at the end.
    const QString half = QString(u"שלום עולם "_s).repeated(5'000);
    const QString sentence = half + u"כלב "_s + half + u"כלב"_s;
    Form1 &form1 = startWithList(utf16File(u"כלב\t"_s + sentence + u"\r\n"_s));

    form1.PushButton3->click();

    const QString shown = form1.Label5->text();
    QVERIFY2(shown.size() < 1000, qPrintable(QString::number(shown.size())));
    QVERIFY(shown.endsWith(u'\u2026'));
    QVERIFY(shown.startsWith(half.first(20)));
    QVERIFY(form1.Label5->fontMetrics().horizontalAdvance(shown) <= form1.Label5->width());
    QCOMPARE(accessibleName(form1.Label5), half + u"blank "_s + half + u"blank"_s);
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Form1Sentence::setting_data()
{
    QTest::addColumn<QString>("stored"); // null: absent
    QTest::addColumn<bool>("shown");
    QTest::addRow("absent") << QString() << true;
    QTest::addRow("True") << u"True"_s << true;
    QTest::addRow("False") << u"False"_s << false;
    QTest::addRow("false in another case") << u"FALSE"_s << false;
    QTest::addRow("0") << u"0"_s << false;
    QTest::addRow("not a truth value") << u"maybe"_s << true;
}

void tst_Form1Sentence::setting()
{
    QFETCH(QString, stored);
    QFETCH(bool, shown);
    if (!stored.isNull())
        program->settings->WriteSetting(u"Show Sentence"_s, stored);
    Form1 &form1 = startWithList("their\tIt is their dog.\r\n");

    form1.PushButton3->click();

    QCOMPARE(form1.Label5->isVisible(), shown);
    QCOMPARE(form1.Label5->text(), u"It is ______ dog."_s);
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Form1Sentence::settingReadAgainAfterAudioOptions()
{
    Form1 &form1 = startWithList("their\tIt is their dog.\r\n");
    form1.PushButton3->click();
    QVERIFY(form1.Label5->isVisible());

    for (const bool show : {false, true}) {
        form1.PushButton4->click();
        Form3 &options = program->app->audioOptions();
        QTRY_VERIFY(options.isVisible());
        program->settings->WriteSetting(u"Show Sentence"_s, show ? u"True"_s : u"False"_s);
        options.PushButton1->click();
        QTRY_VERIFY(form1.isVisible());
        QCOMPARE(form1.Label5->isVisible(), show);
    }
    QCOMPARE(form1.Label5->text(), u"It is ______ dog."_s);
}

void tst_Form1Sentence::practiceGameKeepsTheSentences()
{
    Form1 &form1 = startWithList("one\r\nwon\tOur team won!\r\nwon\tWe won again.\r\n");

    form1.startGameOver({u"won"_s});

    QCOMPARE(form1.state().game.currentWord, u"won"_s);
    QCOMPARE(form1.Label5->text(), u"Our team ______!"_s);
    QCOMPARE(accessibleName(form1.Label5), u"Our team blank!"_s);
}

QTEST_MAIN(tst_Form1Sentence)
#include "tst_form1_sentence.moc"
