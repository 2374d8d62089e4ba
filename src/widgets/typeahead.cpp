// SPDX-License-Identifier: GPL-3.0-or-later
#include "typeahead.h"

#include <algorithm>

QString TypeAhead::typedSince(const QString &judged, const QString &now)
{
    const qsizetype most = std::min(judged.size(), now.size());
    qsizetype before = 0;
    while (before < most && judged.at(before) == now.at(before))
        ++before;
    qsizetype after = 0;
    while (after < most - before && judged.at(judged.size() - 1 - after) == now.at(now.size() - 1 - after))
        ++after;
    return now.mid(before, now.size() - before - after);
}
