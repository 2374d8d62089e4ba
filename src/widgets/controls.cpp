// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"

#include "widgets/looks.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

constexpr int kSmallChange = 1;
constexpr int kLargeChange = 5;

// Sees the keys that reach the window, those its controls leave included.
class EscapePresser : public QObject
{
public:
    EscapePresser(QWidget *window, QAbstractButton *button) : QObject(window), m_button(button) { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                m_button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton *m_button;
};

} // namespace

namespace Controls {

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1StringView(name));
    button->setFont(Looks::buttonFont());
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    // Enter presses the focused button, as Space does.
    button->setAutoDefault(true);
    return button;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect geometry, const QString &description)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1StringView(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setAccessibleDescription(description);
    label->setGeometry(geometry);
    return label;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect geometry, Qt::Alignment alignment,
              const QString &description)
{
    QLabel *made = label(parent, name, caption, geometry, description);
    made->setAlignment(alignment | Qt::AlignVCenter);
    return made;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1StringView(name));
    frame->setGeometry(geometry);
    return frame;
}

QSlider *slider(QWidget *parent, const char *name, int minimum, int maximum, QRect geometry,
                const QString &accessibleName)
{
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1StringView(name));
    slider->setAccessibleName(accessibleName);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(kSmallChange);
    slider->setPageStep(kLargeChange);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setGeometry(geometry);
    return slider;
}

QRadioButton *option(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *option = new QRadioButton(caption, parent);
    option->setObjectName(QLatin1StringView(name));
    option->setGeometry(geometry);
    return option;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1StringView(name));
    box->setGeometry(geometry);
    return box;
}

void closeOnEscape(QWidget *window, QAbstractButton *close)
{
    window->installEventFilter(new EscapePresser(window, close));
}

} // namespace Controls
