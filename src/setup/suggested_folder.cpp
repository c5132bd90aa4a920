// Stand-in until the suggestion is built: the initial "C:\Fardel" stays.
#include "setup/suggested_folder.h"

void ChooseSuggestedFolder() {}
