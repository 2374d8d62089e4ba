// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/backgroundspeechengine.h"

#include <QStringList>

// The speech engine over Qt's text to speech, on a thread of its own (see
// BackgroundSpeechEngine).
//
// One QTextToSpeech per start serves every voice object: it lives and dies on
// the engine thread. Each voice object keeps its own voice, volume and rate
// and the engine applies them when it speaks; speaking with one voice object
// ends what another was saying, so words never overlap.
//
// The engine is chosen at the start: the platform's default one when it
// works, else the others, with flite last because Debian's build of it stops
// with "Audio streaming error." on some words even at the normal pace and on
// many more at any other rate (so there every rate is spoken at the normal
// pace); flite's voices speak through speech-dispatcher's flite module. When none works, the
// start fails and the next request tries again. speech-dispatcher is started
// in the C.UTF-8 locale when the environment names a locale the machine does
// not have, as it refuses to start in one. The voices are ordered for the
// learner's locale (see VoiceOrder::arrange): the clearest voice of the
// learner's language leads.
class QtSpeechEngine : public BackgroundSpeechEngine
{
public:
    // `engines`: the engines to try in order; empty for the choice above.
    explicit QtSpeechEngine(QStringList engines = {}, Limits limits = {}, BusyHook busy = {});
};
