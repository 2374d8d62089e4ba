// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/busywhilewaiting.h"
#include "widgets/inputqueue.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <qtestspontaneevent.h>

using namespace Qt::StringLiterals;

namespace {

// A window as the program's are: an answer box, another text box and a
// button whose click runs in its turn and tells what the other box held.
struct Window
{
    explicit Window(InputQueue &input)
    {
        window.setObjectName(u"window"_s);
        auto *layout = new QVBoxLayout(&window);
        box = new QLineEdit(&window);
        other = new QLineEdit(&window);
        button = new QPushButton(u"Go"_s, &window);
        // As for the program's buttons the focus stays where the user types.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAccessibleName(u"Go"_s);
        layout->addWidget(box);
        layout->addWidget(other);
        layout->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, &window, [this, &input] {
            input.run(&window, [this] { log.append(u"click after "_s + other->text()); });
        });
        input.watch(&window);
        input.setTypeAheadBox(box);
    }

    QWidget window;
    QLineEdit *box;
    QLineEdit *other;
    QPushButton *button;
    QStringList log;
};

void pressByAccessibility(QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

} // namespace

class tst_InputQueue : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void handlersTakeTurns();
    void goneHandlersAreDropped();
    void inputWaits_data();
    void inputWaits();
    void whatPassesAsTyping_data();
    void whatPassesAsTyping();
    void typingShowsAtOnceUntilSomethingIsHeld();
    void realInputIsHeldAtTheWindow();
    void aPressKeepsItsRelease();
    void accessibleActionsTakeTurns();
    void closeRequestsWait();
    void closeRequestsForTheMainWindowPass();
    void otherWindowsAnswer();
    void busyPointerDuringWaits();
    void waitsForTheTypingToPause_data();
    void waitsForTheTypingToPause();

private:
    std::unique_ptr<InputQueue> input;
    std::unique_ptr<Window> w;
};

void tst_InputQueue::init()
{
    input = std::make_unique<InputQueue>();
    w = std::make_unique<Window>(*input);
    w->window.show();
    QVERIFY(QTest::qWaitForWindowActive(&w->window));
    w->box->setFocus();
}

void tst_InputQueue::cleanup()
{
    w.reset();
    input.reset();
}

void tst_InputQueue::handlersTakeTurns()
{
    QStringList order;
    input->run(this, [&] {
        order.append(u"first begins"_s);
        input->run(this, [&] { order.append(u"second"_s); });
        input->run(this, [&] {
            order.append(u"third begins"_s);
            // A yield inside a queued handler holds the rest back too.
            input->run(this, [&] { order.append(u"fourth"_s); });
            QCoreApplication::processEvents();
            order.append(u"third ends"_s);
        });
        // The yield of a running handler does not start the queued ones.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        order.append(u"first ends"_s);
    });
    QVERIFY(input->busy() == false);

    QTRY_COMPARE(order,
                 (QStringList{u"first begins"_s, u"first ends"_s, u"second"_s, u"third begins"_s, u"third ends"_s,
                              u"fourth"_s}));
    QCOMPARE(input->waiting(), 0);
}

void tst_InputQueue::goneHandlersAreDropped()
{
    auto context = std::make_unique<QObject>();
    bool ran = false;
    bool after = false;
    input->run(this, [&] {
        input->run(context.get(), [&] { ran = true; });
        input->run(this, [&] { after = true; });
        context.reset();
    });

    QTRY_VERIFY(after);
    QVERIFY(!ran);
}

void tst_InputQueue::inputWaits_data()
{
    QTest::addColumn<bool>("inHandler");
    QTest::addRow("while a handler runs") << true;
    QTest::addRow("while the thread waits") << false;
}

// Keys for a control other than the answer box and clicks are held, and come
// afterwards in the order they came.
void tst_InputQueue::inputWaits()
{
    QFETCH(bool, inHandler);
    w->other->setFocus();
    const auto during = [&] {
        QTest::keyClicks(w->other, u"ab"_s);
        QTest::mouseClick(w->button, Qt::LeftButton);
        QTest::keyClick(w->other, Qt::Key_C);
        QCoreApplication::processEvents();
        QCOMPARE(w->other->text(), QString());
        QVERIFY(w->log.isEmpty());
        w->log.append(u"wait ends"_s);
    };
    if (inHandler) {
        input->run(this, during);
    } else {
        input->beginWait();
        during();
        input->endWait();
    }
    QCOMPARE(w->log, QStringList{u"wait ends"_s});

    QTRY_COMPARE(w->other->text(), u"abc"_s);
    // The click came between b and c.
    QCOMPARE(w->log, (QStringList{u"wait ends"_s, u"click after ab"_s}));
    QCOMPARE(input->waiting(), 0);
}

void tst_InputQueue::whatPassesAsTyping_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("passes");
    const Qt::KeyboardModifiers none;
    QTest::addRow("a letter") << int(Qt::Key_D) << none << true;
    QTest::addRow("a capital") << int(Qt::Key_D) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::addRow("Shift alone") << int(Qt::Key_Shift) << none << true;
    QTest::addRow("a space") << int(Qt::Key_Space) << none << true;
    QTest::addRow("Backspace") << int(Qt::Key_Backspace) << none << true;
    QTest::addRow("Enter") << int(Qt::Key_Return) << none << false;
    QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << none << false;
    QTest::addRow("Ctrl+R") << int(Qt::Key_R) << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::addRow("Alt+D") << int(Qt::Key_D) << Qt::KeyboardModifiers(Qt::AltModifier) << false;
    QTest::addRow("Tab") << int(Qt::Key_Tab) << none << false;
    QTest::addRow("Delete") << int(Qt::Key_Delete) << none << false;
    QTest::addRow("Left") << int(Qt::Key_Left) << none << false;
}

// Only plain typing into the answer box passes while a handler runs.
void tst_InputQueue::whatPassesAsTyping()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, passes);
    qsizetype held = -1;
    input->run(this, [&] {
        QTest::keyPress(w->box, Qt::Key(key), modifiers);
        held = input->waiting();
        QTest::keyRelease(w->box, Qt::Key(key), modifiers);
    });

    QCOMPARE(held, passes ? 0 : 1);
}

void tst_InputQueue::typingShowsAtOnceUntilSomethingIsHeld()
{
    QStringList answers;
    connect(w->box, &QLineEdit::returnPressed, this, [&] { answers.append(w->box->text()); });
    input->run(this, [&] {
        QTest::keyClicks(w->box, u"ne"_s);
        QCOMPARE(w->box->text(), u"ne"_s);
        QTest::keyClick(w->box, Qt::Key_Return);
        QTest::keyClicks(w->box, u"xt"_s);
        // Behind the held Enter the letters wait too.
        QCOMPARE(w->box->text(), u"ne"_s);
        QVERIFY(answers.isEmpty());
    });

    QTRY_COMPARE(w->box->text(), u"next"_s);
    QCOMPARE(answers, QStringList{u"ne"_s});
}

// Input from the window system reaches the window first.
void tst_InputQueue::realInputIsHeldAtTheWindow()
{
    QWindow *handle = w->window.windowHandle();
    input->beginWait();
    QTest::keyClick(handle, Qt::Key_K);
    QCOMPARE(w->box->text(), u"k"_s);
    w->other->setFocus();
    QTest::keyClick(handle, Qt::Key_X);
    QTest::mouseClick(handle, Qt::LeftButton, {}, w->button->geometry().center());
    QTest::keyClick(handle, Qt::Key_Y);
    QCOMPARE(w->other->text(), QString());
    QVERIFY(w->log.isEmpty());
    input->endWait();

    QTRY_COMPARE(w->other->text(), u"xy"_s);
    QCOMPARE(w->log, QStringList{u"click after x"_s});
}

void tst_InputQueue::aPressKeepsItsRelease()
{
    const QPoint centre = w->button->rect().center();
    input->run(this, [&] { QTest::mousePress(w->button, Qt::LeftButton, {}, centre); });
    // The release comes before the held press is delivered, and waits for it.
    QTest::mouseRelease(w->button, Qt::LeftButton, {}, centre);
    QVERIFY(!w->button->isDown());
    QVERIFY(w->log.isEmpty());

    QTRY_COMPARE(w->log, QStringList{u"click after "_s});
    QVERIFY(!w->button->isDown());
}

// The accessibility bus presses buttons without any input event.
void tst_InputQueue::accessibleActionsTakeTurns()
{
    bool pressed = false;
    input->run(this, [&] {
        pressByAccessibility(w->button);
        // The press takes a moment, as it shows the button down; it comes
        // while the handler still runs.
        QTRY_VERIFY(!w->button->isDown());
        pressed = true;
        QVERIFY(w->log.isEmpty());
        w->log.append(u"handler ends"_s);
    });
    QVERIFY(pressed);

    QTRY_COMPARE(w->log, (QStringList{u"handler ends"_s, u"click after "_s}));
}

void tst_InputQueue::closeRequestsWait()
{
    input->run(this, [&] {
        QCloseEvent request;
        QSpontaneKeyEvent::setSpontaneous(&request);
        QApplication::instance()->notify(w->window.windowHandle(), &request);
        QVERIFY(!request.isAccepted());
        QVERIFY(w->window.isVisible());
    });
    QVERIFY(w->window.isVisible());

    QTRY_VERIFY(!w->window.isVisible());
}

void tst_InputQueue::closeRequestsForTheMainWindowPass()
{
    QWidget main;
    input->watch(&main, InputQueue::CloseRequests::PassAtOnce);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    input->beginWait();
    QCloseEvent request;
    QSpontaneKeyEvent::setSpontaneous(&request);
    QApplication::instance()->notify(main.windowHandle(), &request);
    QVERIFY(!main.isVisible());
    input->endWait();
}

// Message boxes and dialogs open inside a handler must answer the user.
void tst_InputQueue::otherWindowsAnswer()
{
    QLineEdit dialog;
    dialog.show();
    input->run(this, [&] {
        QTest::keyClicks(&dialog, u"ok"_s);
        QCOMPARE(dialog.text(), u"ok"_s);
        // A window that the program closes, closes.
        input->close(&w->window);
        QVERIFY(!w->window.isVisible());
    });
}

void tst_InputQueue::busyPointerDuringWaits()
{
    BusyWhileWaiting busy(*input);
    busy(true);
    busy(true);
    QVERIFY(input->busy());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTest::mouseClick(w->button, Qt::LeftButton);
    busy(false);
    QVERIFY(input->busy());
    busy(false);
    QVERIFY(!input->busy());
    QVERIFY(!QApplication::overrideCursor());

    QTRY_COMPARE(w->log, QStringList{u"click after "_s});
}

void tst_InputQueue::waitsForTheTypingToPause_data()
{
    QTest::addColumn<int>("keysBefore");
    QTest::addColumn<int>("keysDuring");
    QTest::addRow("nothing typed: no wait") << 0 << 0;
    QTest::addRow("typed just before") << 2 << 0;
    QTest::addRow("typing goes on during the wait") << 2 << 5;
}

// The pause counts from the last key; keys typed meanwhile show in the answer
// box at once.
void tst_InputQueue::waitsForTheTypingToPause()
{
    QFETCH(int, keysBefore);
    QFETCH(int, keysDuring);
    const bool typing = keysBefore + keysDuring > 0;
    const std::chrono::milliseconds pause(typing ? 300 : 10000);
    input->setTypingPause(pause);
    // Started before the key is sent, never after the queue saw it, so the
    // test's clock never runs shorter than the queue's.
    QElapsedTimer sinceKey;
    const auto typeKey = [&] {
        sinceKey.start();
        QTest::keyClick(w->window.windowHandle(), 'a');
    };
    for (int i = 0; i < keysBefore; ++i)
        typeKey();
    int typedDuring = 0;
    std::function<void()> typeOn = [&] {
        typeKey();
        if (++typedDuring < keysDuring)
            QTimer::singleShot(0, this, typeOn);
    };
    if (keysDuring > 0)
        QTimer::singleShot(0, this, typeOn);
    QElapsedTimer waited;
    waited.start();

    input->beginWait();
    const bool paused = input->waitForTypingPause();
    input->endWait();

    QVERIFY(paused);
    QCOMPARE(typedDuring, keysDuring);
    QCOMPARE(w->box->text(), QString(keysBefore + keysDuring, u'a'));
    if (typing)
        QVERIFY(sinceKey.elapsed() >= pause.count());
    else
        QVERIFY(waited.elapsed() < pause.count());
}

QTEST_MAIN(tst_InputQueue)
#include "tst_inputqueue.moc"
