#include "speakword.h"

void SpeakWord(Globals &, const QString &)
{
}

void PlaySound(Globals &, bool)
{
}
