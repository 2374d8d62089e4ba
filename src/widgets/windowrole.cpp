// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowrole.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

// Only for a window whose class derives straight from QWidget: Qt's own
// classes (dialogs, combo box pop-ups...) keep the roles Qt gives them.
QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->isWindow() || className != QLatin1String(object->metaObject()->className())
        || object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void installWindowRole()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    Q_UNUSED(installed);
}
