// SPDX-License-Identifier: GPL-3.0-or-later
#include "inputqueue.h"

#include <QApplication>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

bool isInput(const QObject *target, const QEvent &event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
        return true;
    case QEvent::Close:
        return target->isWindowType();
    default:
        return false;
    }
}

bool isTyping(const QEvent &event)
{
    return event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease
        || event.type() == QEvent::InputMethod;
}

bool isPlainTyping(const QEvent &event)
{
    if (event.type() == QEvent::InputMethod)
        return true;
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease)
        return false;
    const auto &key = static_cast<const QKeyEvent &>(event);
    // Shift for a capital letter, and the modifier that starts a shortcut,
    // which is held with its letter.
    switch (key.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
        return true;
    default:
        break;
    }
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (key.key() == Qt::Key_Backspace)
        return true;
    const QString text = key.text();
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); });
}

// A key that the focused control let through travels on to its parents, the
// same event again; it was let through at the control.
bool isPassingOn(const QObject *target, const QEvent &event)
{
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease)
        return false;
    const QWidget *focus = QApplication::focusWidget();
    return focus && target->isWidgetType() && focus != target
        && static_cast<const QWidget *>(target)->isAncestorOf(focus);
}

QWidget *widgetOf(QObject *target)
{
    for (QObject *object = target; object; object = object->parent()) {
        if (object->isWidgetType())
            return static_cast<QWidget *>(object);
    }
    return nullptr;
}

} // namespace

InputQueue::InputQueue()
{
    qApp->installEventFilter(this);
}

InputQueue::~InputQueue() = default;

void InputQueue::watch(QWidget *window, CloseRequests closing)
{
    m_windows.removeAll(nullptr);
    m_windows.append(window);
    m_closingAtOnce.removeAll(nullptr);
    if (closing == CloseRequests::PassAtOnce)
        m_closingAtOnce.append(window);
}

void InputQueue::setTypeAheadBox(QWidget *box)
{
    m_typeAheadBox = box;
}

void InputQueue::close(QWidget *window)
{
    const QScopedValueRollback<QPointer<QWidget>> closing(m_closing, window);
    window->close();
}

void InputQueue::run(QObject *context, std::function<void()> handler)
{
    // The event being delivered is in its turn, and so is what it starts.
    if (m_active > 0 || (!m_waiting.empty() && !m_delivering)) {
        m_waiting.push_back({context, nullptr, std::move(handler)});
        return;
    }
    execute(handler);
}

void InputQueue::execute(const std::function<void()> &handler)
{
    {
        ++m_active;
        const auto done = qScopeGuard([this] { --m_active; });
        // What arrives while the handler runs waits for it.
        const QScopedValueRollback notDelivering(m_delivering, false);
        handler();
    }
    finished();
}

void InputQueue::beginWait()
{
    ++m_active;
}

void InputQueue::endWait()
{
    if (m_active > 0)
        --m_active;
    finished();
}

bool InputQueue::waitForTypingPause()
{
    const auto sinceKey = [this] { return std::chrono::milliseconds(m_sinceKey.elapsed()); };
    // Keys already on their way count.
    QCoreApplication::processEvents();
    while (m_sinceKey.isValid() && sinceKey() < m_typingPause) {
        QEventLoop wait;
        bool paused = false;
        QTimer::singleShot(m_typingPause - sinceKey(), &wait, [&] {
            paused = true;
            wait.quit();
        });
        wait.exec();
        // Stopped from outside: the program is ending.
        if (!paused)
            return false;
    }
    return true;
}

void InputQueue::finished()
{
    // Delivered from the event loop, not from inside the code that just
    // finished (a wait ends deep inside a handler's call).
    if (m_active == 0 && !m_waiting.empty())
        QMetaObject::invokeMethod(this, &InputQueue::deliverWaiting, Qt::QueuedConnection);
}

void InputQueue::deliverWaiting()
{
    if (m_active > 0 || m_draining)
        return;
    const QScopedValueRollback draining(m_draining, true);
    while (m_active == 0 && !m_waiting.empty()) {
        Waiting next = std::move(m_waiting.front());
        m_waiting.pop_front();
        if (!next.target)
            continue;
        if (next.event) {
            const QScopedValueRollback delivering(m_delivering, true);
            QCoreApplication::sendEvent(next.target, next.event.get());
        } else {
            execute(next.handler);
        }
    }
}

bool InputQueue::isWatched(QObject *target) const
{
    if (target->isWindowType()) {
        return std::any_of(m_windows.cbegin(), m_windows.cend(), [target](const QPointer<QWidget> &window) {
            return window && window->windowHandle() == target;
        });
    }
    const QWidget *widget = widgetOf(target);
    return widget && m_windows.contains(widget->window());
}

bool InputQueue::passesAsTyping(QObject *target, const QEvent &event) const
{
    if (!m_typeAheadBox || !isPlainTyping(event))
        return false;
    QWidget *window = m_typeAheadBox->window();
    if (window->focusWidget() != m_typeAheadBox)
        return false;
    return target == m_typeAheadBox || (target->isWindowType() && window->windowHandle() == target);
}

bool InputQueue::eventFilter(QObject *watched, QEvent *event)
{
    if (!isInput(watched, *event) || m_delivering || isPassingOn(watched, *event))
        return false;
    if (isTyping(*event) && isWatched(watched))
        m_sinceKey.start();
    if (event->type() == QEvent::Close) {
        const auto closesNow
            = [watched](const QPointer<QWidget> &window) { return window && window->windowHandle() == watched; };
        if (closesNow(m_closing) || std::any_of(m_closingAtOnce.cbegin(), m_closingAtOnce.cend(), closesNow))
            return false;
    }
    const bool holding = !m_waiting.empty();
    if ((m_active == 0 && !holding) || !isWatched(watched))
        return false;
    if (!holding && passesAsTyping(watched, *event))
        return false;
    m_waiting.push_back({watched, std::unique_ptr<QEvent>(event->clone()), {}});
    // A close request held is not a close granted.
    if (event->type() == QEvent::Close)
        event->ignore();
    return true;
}
