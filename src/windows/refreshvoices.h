// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Navigator;
class ProgramState;

// Fills the voice list of the audio options window with the engine's voices,
// in the engine's order (a position is a position in the engine's voice
// list), and selects the voice chosen last time: by its name where the
// learner chose one and it is still installed, else by its saved position.
// eSpeak NG's variant voices are left out unless the window is to show all
// voices; the voice chosen last time is listed in any case.
// With showDone (the Refresh List button) it asks the engine for its voices
// anew and ends with a confirmation; an empty list always ends with the
// no-voices message.
void RefreshVoices(ProgramState &state, Navigator &navigator, bool showDone);
