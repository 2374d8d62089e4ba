// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>

class QEvent;
class QWidget;

// Keeps the windows' handlers one at a time and the user's input in order.
//
// A handler may run the event loop (a feedback sound's wait, a yield, a wait
// for the speech engine). A handler started meanwhile, from a key, a click, a
// shortcut or the accessibility bus, is queued and runs after it; input for
// the watched windows is held meanwhile and delivered afterwards, in the
// order it came. The one exception keeps typing visible: plain typing into
// the type-ahead box passes at once while nothing is held. Once anything is
// held, everything after it is held too.
//
// Real input is first seen at the window's QWindow and held there, so that
// its delivery afterwards finds its widget, focus and mouse grab as they are
// then; input sent to a widget directly is held at that widget.
class InputQueue : public QObject
{
public:
    // Watches the application's events while it lives.
    InputQueue();
    ~InputQueue() override;
    InputQueue(const InputQueue &) = delete;
    InputQueue &operator=(const InputQueue &) = delete;

    // Runs the handler now when nothing else runs, or queues it. It is
    // dropped if `context` is gone by its turn.
    void run(QObject *context, std::function<void()> handler);
    // The window's thread waits (nested waits count once each); input is held
    // until the last wait ends.
    void beginWait();
    void endWait();

    // Input for this window and its controls is held while something runs;
    // so are the window system's requests to close it, unless told not to.
    enum class CloseRequests { Wait, PassAtOnce };
    void watch(QWidget *window, CloseRequests closing = CloseRequests::Wait);
    void setTypeAheadBox(QWidget *box);
    // Closes the window at once, as the program asks; the window system's
    // close requests wait their turn like the rest of the input. Both arrive
    // at the window as spontaneous events, so the program says which is its.
    void close(QWidget *window);

    // Returns once the user has typed nothing into the watched windows for
    // the typing pause, at once when nothing was typed in that time; false
    // when the program ends meanwhile. Called during a wait, so that what
    // comes meanwhile is held or shown as during any other: a box the user
    // did not ask for, shown afterwards, takes no key typed for the windows.
    bool waitForTypingPause();
    void setTypingPause(std::chrono::milliseconds pause) { m_typingPause = pause; }

    // A handler runs or a wait is under way.
    bool busy() const { return m_active > 0; }
    // Input events and handlers waiting for their turn.
    qsizetype waiting() const { return qsizetype(m_waiting.size()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Waiting
    {
        QPointer<QObject> target;
        std::unique_ptr<QEvent> event; // held input, or
        std::function<void()> handler; // a handler's turn
    };

    void execute(const std::function<void()> &handler);
    void finished();
    void deliverWaiting();
    bool isWatched(QObject *target) const;
    bool passesAsTyping(QObject *target, const QEvent &event) const;

    QList<QPointer<QWidget>> m_windows;
    QList<QPointer<QWidget>> m_closingAtOnce;
    QPointer<QWidget> m_typeAheadBox;
    QPointer<QWidget> m_closing;
    std::deque<Waiting> m_waiting;
    int m_active = 0;
    // Set while one held event is delivered: it travels on to its widget.
    bool m_delivering = false;
    bool m_draining = false;
    // Since the last key typed into a watched window.
    QElapsedTimer m_sinceKey;
    // Longer than the gaps between the keys of a slow typist.
    std::chrono::milliseconds m_typingPause{1000};
};
