#pragma once

#include <QString>

class Globals;

// Reads the list named by the main window's path box into a new store,
// empties the pass record and clears the word counter.
void loadDictionaryFile(Globals &globals);

// The next word of the current pass (see drawWord).
QString getWordFromDictionary(Globals &globals);
