// SPDX-License-Identifier: GPL-3.0-or-later
#include "looks.h"

#include "widgets/cursorfile.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace Looks {

namespace {

QFont arialBold(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

class PointerRule : public QObject
{
public:
    PointerRule(QWidget *window, const QCursor &hand, const QList<QWidget *> &buttons)
        : QObject(window), m_window(window), m_hand(hand), m_buttons(buttons)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseMove && event->type() != QEvent::Enter)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const bool overButton = m_buttons.contains(widget);
        // A move that a button ignored travels on to its parent surface,
        // which must not take the hand away again.
        if (!overButton && event->type() == QEvent::MouseMove
            && isOverButton(widget, static_cast<QMouseEvent *>(event)->position().toPoint()))
            return false;
        if (m_window->cursor().shape() != Qt::WaitCursor)
            m_window->setCursor(overButton ? m_hand : QCursor(Qt::ArrowCursor));
        return false;
    }

private:
    bool isOverButton(QWidget *surface, QPoint position) const
    {
        QWidget *child = surface->childAt(position);
        return child && std::any_of(m_buttons.cbegin(), m_buttons.cend(), [child](QWidget *button) {
                   return button == child || button->isAncestorOf(child);
               });
    }

    QWidget *m_window;
    QCursor m_hand;
    QList<QWidget *> m_buttons;
};

} // namespace

QIcon programIcon()
{
    // The pictures of the installed icon, from packaging/icons. Read as the
    // PNG files they are: a reader left to guess loads every image format
    // plugin to ask it first, before the window can be shown. The window
    // system takes every size when the window is made, so none is read for
    // nothing.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImageReader reader(QStringLiteral(":/icons/lexidrill-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

QFont windowFont()
{
    return arialBold(9);
}
QFont buttonFont()
{
    return arialBold(11.25);
}
QFont answerFont()
{
    return arialBold(15.75);
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void ApplyStandardColours(QWidget *window)
{
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    setBackground(window, face);
    const auto children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (qobject_cast<QRadioButton *>(child) || qobject_cast<QCheckBox *>(child) || qobject_cast<QGroupBox *>(child)
            || qobject_cast<QLabel *>(child))
            setBackground(child, face);
    }
}

namespace {

// A window that appears takes the keyboard, so the learner goes on from the
// keyboard alone also where no window manager hands it the focus.
class ActivateOnShow : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            static_cast<QWidget *>(watched)->activateWindow();
        return false;
    }
};

} // namespace

void fixWindow(QWidget *window, int clientWidthTwips, int clientHeightTwips, bool minimiseBox)
{
    window->installEventFilter(new ActivateOnShow(window));
    window->setFixedSize(px(clientWidthTwips), px(clientHeightTwips));
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint;
    if (minimiseBox)
        flags |= Qt::WindowMinimizeButtonHint;
    window->setWindowFlags(flags);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        window->move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(), screen->availableGeometry())
                         .topLeft());
    }
}

void sizableWindow(QWidget *window, QSize opening)
{
    window->installEventFilter(new ActivateOnShow(window));
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                           | Qt::WindowMinMaxButtonsHint | Qt::CustomizeWindowHint);
    QSize size = opening.expandedTo(window->sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        // Room for the frame, which is not known before the window is shown.
        size = size.boundedTo(screen->availableGeometry().size() - QSize(32, 64));
        window->resize(size);
        window->move(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen->availableGeometry()).topLeft());
    } else {
        window->resize(size);
    }
}

std::optional<QCursor> loadCursorFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto picture = readCursorFile(file.readAll());
    if (!picture)
        return std::nullopt;
    return QCursor(QPixmap::fromImage(picture->image), picture->hotSpot.x(), picture->hotSpot.y());
}

void installPointerRule(QWidget *window, const QCursor &hand, const QList<QWidget *> &buttons,
                        const QList<QWidget *> &surfaces)
{
    auto *rule = new PointerRule(window, hand, buttons);
    for (QWidget *widget : buttons + surfaces) {
        widget->setMouseTracking(true);
        widget->installEventFilter(rule);
    }
}

} // namespace Looks
