#pragma once

#include <QString>

class Globals;

// Reads the list named by the main window's path box into a new store,
// empties the pass record and clears the word counter. Reports its own
// failures: a list that cannot be read (see readDictionaryText) is reported
// at step 102 and leaves the store empty; a list too large to hold is
// reported and leaves the list in use, the pass record and the counter as
// they were. Needs globals.form1.
void loadDictionaryFile(Globals &globals);

// The next word of the current pass (see drawWord).
QString getWordFromDictionary(Globals &globals);
