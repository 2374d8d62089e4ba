// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

inline constexpr QStringView kProductName = u"Lexidrill";

// The application title derived from a product name: the last word is
// removed, then more words while the rest is longer than 40 characters. A
// name without a space keeps the whole name.
QString applicationTitleFor(const QString &productName);

// The title held by the process, the caption of every message box that gives
// none of its own.
QString applicationTitle();
void SetAppTitle(const QString &productName);
