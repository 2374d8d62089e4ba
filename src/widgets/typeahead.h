// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace TypeAhead {

// What the answer box holds beyond the answer judged: the learner may type
// the next word while the answer is still being handled. The typing is taken
// as one stretch inserted at one place (the cursor), also where it replaced a
// selected part of the answer.
QString typedSince(const QString &judged, const QString &now);

} // namespace TypeAhead
