#include "refreshvoices.h"

void RefreshVoices(Globals &, bool)
{
}
