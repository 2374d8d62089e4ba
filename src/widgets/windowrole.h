// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Has the program's windows announced as windows. Qt gives a plain widget
// the role of a client area ("filler" to a Linux screen reader) even when it
// is a window of its own, so a screen reader may not present it as a window
// when it opens. Message boxes and other dialogs already are dialogs.
// Call once the application object exists; later calls do nothing.
void installWindowRole();
