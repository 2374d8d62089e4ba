// SPDX-License-Identifier: GPL-3.0-or-later
#include "apptitle.h"

namespace {
QString &heldTitle()
{
    static QString title = kProductName.toString();
    return title;
}
} // namespace

QString applicationTitleFor(const QString &productName)
{
    QString title = productName;
    do {
        const qsizetype lastSpace = title.lastIndexOf(u' ');
        if (lastSpace < 0)
            break;
        title.truncate(lastSpace);
    } while (title.size() > 40);
    return title;
}

QString applicationTitle()
{
    return heldTitle();
}

void SetAppTitle(const QString &productName)
{
    heldTitle() = applicationTitleFor(productName);
}
