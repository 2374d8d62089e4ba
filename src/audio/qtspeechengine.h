// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/backgroundspeechengine.h"

#include <QString>
#include <QStringList>

// The speech helper of this program (lexidrill-speech): beside the program
// when that has one, as in a build, else in the folder the installation puts
// it in, relative to the program's own.
QString speechHelperProgram();

// The speech engine over Qt's text to speech, run by the speech helper (see
// BackgroundSpeechEngine and qtspeechbackend.h).
class QtSpeechEngine : public BackgroundSpeechEngine
{
public:
    // `engines`: the engines to try in order; empty for the helper's choice.
    explicit QtSpeechEngine(QStringList engines = {}, Limits limits = {}, BusyHook busy = {});
};
