#include "controls.h"

#include "shell/looks.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace Controls {

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1StringView(name));
    button->setAccessibleName(caption);
    button->setFont(Looks::buttonFont());
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, QRect geometry,
              const QString &accessibleName)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setAccessibleName(accessibleName);
    label->setGeometry(geometry);
    return label;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1StringView(name));
    frame->setAccessibleName(QString(caption).replace(u"&&"_s, u"&"_s));
    frame->setGeometry(geometry);
    return frame;
}

} // namespace Controls
