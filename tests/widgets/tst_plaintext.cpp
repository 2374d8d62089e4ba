// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/utilities.h"
#include "widgets/controls.h"
#include "widgets/qtplatform.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int shownLines(const QLabel &label)
{
    return qRound(double(label.sizeHint().height()) / label.fontMetrics().lineSpacing());
}

} // namespace

// Labels and message boxes show what the program puts there character for
// character, and break lines at CR, LF and CR LF, under each style the
// program can run with.
class tst_PlainText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void promptBox_data();
    void promptBox();
    void label_data();
    void label();
    void textQuestionBox_data();
    void textQuestionBox();

private:
    void addRows();
};

void tst_PlainText::cleanup()
{
    QApplication::setStyle(QStyleFactory::create(u"fusion"_s));
}

void tst_PlainText::addRows()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    const QString report = u"No /a&b <i>x.txt\r\nin Form1 at line 110\r\rPlease email"_s;
    for (const QString &style : {u"fusion"_s, u"windows"_s}) {
        const QByteArray s = style.toLatin1();
        QTest::addRow("%s: markup in a word", s.constData()) << style << u"<b>cat</b>"_s << 1;
        QTest::addRow("%s: file name", s.constData()) << style << u"a&b <i>x.txt"_s << 1;
        QTest::addRow("%s: entity", s.constData()) << style << u"&amp; &lt;"_s << 1;
        QTest::addRow("%s: error report", s.constData()) << style << report << 4;
        QTest::addRow("%s: lone CRs", s.constData()) << style << u"Done.\r\rx"_s << 3;
        QTest::addRow("%s: LF", s.constData()) << style << u"a\nb"_s << 2;
    }
}

void tst_PlainText::promptBox_data()
{
    addRows();
}

void tst_PlainText::promptBox()
{
    QFETCH(QString, style);
    QFETCH(QString, text);
    QFETCH(int, lines);
    QApplication::setStyle(QStyleFactory::create(style));

    const auto box = makePromptBox(QMessageBox::Warning, u"Application Error"_s, text, QMessageBox::Ok, nullptr);
    box->show();
    const auto *shown = box->findChild<QLabel *>(u"qt_msgbox_label"_s);
    QVERIFY(shown);

    QCOMPARE(shown->textFormat(), Qt::PlainText);
    QCOMPARE(shown->text(), lineBreaksForDisplay(text));
    QCOMPARE(shownLines(*shown), lines);
}

void tst_PlainText::label_data()
{
    addRows();
}

void tst_PlainText::label()
{
    QFETCH(QString, style);
    QFETCH(QString, text);
    QFETCH(int, lines);
    QApplication::setStyle(QStyleFactory::create(style));
    QWidget window;
    QLabel *label = Controls::label(&window, "Label4", u"Correct:"_s, QRect(0, 0, 800, 20), u"Feedback"_s);

    label->setText(lineBreaksForDisplay(text));

    QCOMPARE(shownLines(*label), lines);
    QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), lineBreaksForDisplay(text));
    QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Description), u"Feedback"_s);
}

void tst_PlainText::textQuestionBox_data()
{
    addRows();
}

void tst_PlainText::textQuestionBox()
{
    QFETCH(QString, style);
    QFETCH(QString, text);
    QFETCH(int, lines);
    QApplication::setStyle(QStyleFactory::create(style));

    const auto box = makeTextQuestionBox(u"Lexidrill"_s, text, nullptr);
    box->show();
    const auto *shown = box->findChild<QLabel *>();
    auto *answer = box->findChild<QLineEdit *>(u"answer"_s);
    QVERIFY(shown);
    QVERIFY(answer);

    QCOMPARE(box->windowTitle(), u"Lexidrill"_s);
    QCOMPARE(shown->textFormat(), Qt::PlainText);
    QCOMPARE(shown->text(), lineBreaksForDisplay(text));
    QCOMPARE(shownLines(*shown), lines);
    QCOMPARE(QAccessible::queryAccessibleInterface(answer)->text(QAccessible::Name), text);
    // Typing goes into the box at once.
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    QCOMPARE(box->focusWidget(), answer);
    QTest::keyClicks(box->focusWidget(), u"Ann"_s);
    QCOMPARE(answer->text(), u"Ann"_s);
}

QTEST_MAIN(tst_PlainText)
#include "tst_plaintext.moc"
