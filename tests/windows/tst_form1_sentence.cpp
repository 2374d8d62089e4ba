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
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

QByteArray utf16File(const QString &text)
{
    const QString marked = QChar(QChar::ByteOrderMark) + text;
    return {reinterpret_cast<const char *>(marked.utf16()), marked.size() * qsizetype(sizeof(char16_t))};
}

} // namespace

// The sentence line of the main window, with lists read from real files.
class tst_Form1Sentence : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { program.reset(); }
    void sentenceOfTheWordAsked_data();
    void sentenceOfTheWordAsked();
    void followsTheGame();
    void longRightToLeftSentence();
    void setting_data();
    void setting();
    void practiceGameKeepsTheSentences();

private:
    Form1 &startWithList(const QByteArray &bytes);

    std::unique_ptr<TestProgram> program;
};

Form1 &tst_Form1Sentence::startWithList(const QByteArray &bytes)
{
    program = std::make_unique<TestProgram>();
    program->settings->WriteSetting(u"Dictionary"_s, program->writeFile(u"homophones.dic"_s, bytes));
    Form1 &form1 = program->start();
    program->state().gameAudio.speakWord = [](const QString &) {};
    program->app->audioOptions().Option2->setChecked(true);
    form1.show();
    if (!QTest::qWaitForWindowActive(&form1))
        qFatal("the main window did not become active");
    return form1;
}

void tst_Form1Sentence::sentenceOfTheWordAsked_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("shown"); // empty: no line
    QTest::addColumn<QString>("spoken");
    QTest::addRow("a homophone") << QByteArray("there\tPut the box over there.\r\n") << u"Put the box over ______."_s
                                 << u"Put the box over blank."_s;
    QTest::addRow("in another letter case, inside a longer word")
        << QByteArray("here\tHere, take it: it is hers, not theirs. Nowhere else.\r\n")
        << u"______, take it: it is hers, not theirs. Now______ else."_s
        << u"blank, take it: it is hers, not theirs. Now blank else."_s;
    QTest::addRow("a sentence without the word, as it is")
        << QByteArray("won\tWe came first!\n") << u"We came first!"_s << u"We came first!"_s;
    QTest::addRow("markup-like text, as written") << QByteArray("cat\t<b>The cat</b> &amp; co\n")
                                                  << u"<b>The ______</b> &amp; co"_s << u"<b>The blank</b> &amp; co"_s;
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
    QVERIFY(!form1.Label6->isVisible());

    form1.PushButton3->click();

    QCOMPARE(form1.Label6->text(), shown);
    QCOMPARE(form1.Label6->isVisible(), !shown.isEmpty());
    QCOMPARE(accessibleName(form1.Label6), spoken);
    QVERIFY(program->prompts.boxes.isEmpty());
}

// A word without a sentence clears the line, and so does End Game.
void tst_Form1Sentence::followsTheGame()
{
    Form1 &form1 = startWithList("weather\tThe weather is fine.\r\nwhether\r\n");
    form1.PushButton3->click();
    QSet<QString> asked;
    for (int answers = 0; answers < 5; ++answers) {
        const QString word = form1.state().game.currentWord;
        asked.insert(word);
        const bool sentence = word == u"weather";
        QCOMPARE(form1.Label6->text(), sentence ? u"The ______ is fine."_s : QString());
        QCOMPARE(accessibleName(form1.Label6), sentence ? u"The blank is fine."_s : QString());
        QCOMPARE(form1.Label6->isVisible(), sentence);
        form1.Text2->setText(word);
        QTest::keyClick(form1.Text2, Qt::Key_Return);
    }
    QCOMPARE(asked.size(), 2);

    form1.PushButton3->click();

    QCOMPARE(form1.Label6->text(), QString());
    QCOMPARE(accessibleName(form1.Label6), QString());
    QVERIFY(form1.Label6->isHidden());
}

void tst_Form1Sentence::longRightToLeftSentence()
{
    const QString half = QString(u"שלום עולם "_s).repeated(5'000);
    Form1 &form1 = startWithList(utf16File(u"כלב\t"_s + half + u"כלב "_s + half + u"כלב"_s));

    form1.PushButton3->click();

    const QString shown = form1.Label6->text();
    QVERIFY2(shown.size() < 1000 && shown.startsWith(half.first(20)) && shown.endsWith(u'\u2026'), qPrintable(shown));
    QVERIFY(form1.Label6->fontMetrics().horizontalAdvance(shown) <= form1.Label6->width());
    QCOMPARE(accessibleName(form1.Label6), half + u"blank "_s + half + u"blank"_s);
}

void tst_Form1Sentence::setting_data()
{
    QTest::addColumn<QString>("stored"); // null: absent
    QTest::addColumn<bool>("shown");
    QTest::addRow("absent") << QString() << true;
    QTest::addRow("False") << u"False"_s << false;
    QTest::addRow("0") << u"0"_s << false;
    QTest::addRow("not a truth value") << u"maybe"_s << true;
}

// Read at the start and again when the audio options close.
void tst_Form1Sentence::setting()
{
    QFETCH(QString, stored);
    QFETCH(bool, shown);
    Form1 &form1 = startWithList("their\tIt is their dog.\r\n");
    if (!stored.isNull())
        program->settings->WriteSetting(u"Show Sentence"_s, stored);
    form1.hide();
    form1.show();
    form1.PushButton3->click();
    QCOMPARE(form1.Label6->isVisible(), shown);

    form1.PushButton4->click();
    Form3 &options = program->app->audioOptions();
    QTRY_VERIFY(options.isVisible());
    program->settings->WriteSetting(u"Show Sentence"_s, shown ? u"False"_s : u"True"_s);
    options.PushButton1->click();
    QTRY_VERIFY(form1.isVisible());

    QCOMPARE(form1.Label6->isVisible(), !shown);
    QCOMPARE(form1.Label6->text(), u"It is ______ dog."_s);
    QVERIFY(program->prompts.boxes.isEmpty());
}

void tst_Form1Sentence::practiceGameKeepsTheSentences()
{
    Form1 &form1 = startWithList("one\r\nwon\tOur team won!\r\nwon\tWe won again.\r\n");

    form1.startGameOver({u"won"_s});

    QCOMPARE(form1.Label6->text(), u"Our team ______!"_s);
}

QTEST_MAIN(tst_Form1Sentence)
#include "tst_form1_sentence.moc"
