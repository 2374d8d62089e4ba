// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speechhelper/speechbackend.h"

#include <QStringList>
#include <memory>

// Qt's text to speech, with flite's voices built in, as the speech helper
// runs it.
//
// One QTextToSpeech serves every request; it applies the voice, volume and
// rate each word comes with, and speaking ends what was being said, so words
// never overlap. flite's English voices (FliteSpeech) join its list and
// stand in for the same voices of Qt's engines.
//
// `engines` are Qt's engines to try in order, without the built-in voices.
// Empty: the built-in voices with speech-dispatcher when it works, else with
// the other engines but Qt's flite one, which has the same voices and loses
// words with them (Debian's build stops with "Audio streaming error.").
// speech-dispatcher is started in the C.UTF-8 locale when the environment
// names a locale the machine does not have, as it refuses to start in one.
// The voices are ordered for the learner's locale (see VoiceOrder::arrange):
// the clearest voice of the learner's language leads.
// Throws Failure when nothing can speak.
std::unique_ptr<SpeechBackend> startQtSpeechBackend(const QStringList &engines);
