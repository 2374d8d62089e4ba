// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the text handed to the speech engine last is going: the engine tells
// the speech helper, which tells the program.
enum class SpeechProgress { Began, Ended, Failed };
