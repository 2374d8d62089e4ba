// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speechhelper/speechbackend.h"

// The speech helper's side: starts the engine, tells the program over
// standard output, then runs the requests read from standard input until
// that closes (the program ended or let this helper go). Speech progress
// goes back as it happens. Returns the helper's exit code; needs a
// QCoreApplication.
int runSpeechService(const SpeechBackendFactory &start);
