// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/speechbackend.h"

#include <QStringList>
#include <memory>

// Qt's text to speech as the speech helper runs it.
//
// One QTextToSpeech serves every request; it applies the voice, volume and
// rate each word comes with, and speaking ends what was being said, so words
// never overlap.
//
// `engines` are the engines to try in order. Empty: the platform's default
// one when it works, else the others, with flite last because Debian's build
// of it stops with "Audio streaming error." on many words at any rate but the
// normal one (so there every rate is spoken at the normal pace). Throws
// Failure when none works.
std::unique_ptr<SpeechBackend> startQtSpeechBackend(const QStringList &engines);
