// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The 8-bit code page that stands in for the system's ANSI code page: the
// system's own on Windows, Windows-1252 elsewhere.
namespace CodePage {

QString decodeAnsi(QByteArrayView bytes);

// The text in the code page, or nothing when some character does not fit.
std::optional<QByteArray> encodeAnsi(QStringView text);

} // namespace CodePage
