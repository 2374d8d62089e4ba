#pragma once

class Globals;

// Fills the voice list of the audio options window and selects the voice
// chosen last time; with showDone, ends with a confirmation message.
void RefreshVoices(Globals &globals, bool showDone);
