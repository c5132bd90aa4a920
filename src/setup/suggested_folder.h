// The folder the install folder dialog proposes first.
#pragma once

void ChooseSuggestedFolder();
