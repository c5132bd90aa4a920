// The message catalogue: every text the installer shows is a string
// resource; a text whose first character is "!" goes on with the next id.
#pragma once

#include "common/sys.h"

constexpr int kCatalogueResultSize = 516;  // each of the three result buffers
constexpr int kCatalogueJoinLimit = 512;   // longest joined text
constexpr int kCataloguePieceLimit = 514;  // read limit of one piece
constexpr int kMessageTemplateLimit = 512; // ShowMessage: at most 511 characters
constexpr int kMessageTextSize = 516;      // ShowMessage: at most 515 characters

// The joined text of id, in one of three rotating buffers: it stays intact
// until three further calls. After an internal error box, what was joined
// before the failing piece (possibly "").
const char* LoadCatalogueString(unsigned id);

// Formats the single stored text of id with the arguments and shows it in a
// box captioned with the installer's title; the id of the button pressed.
int ShowMessage(HWND owner, unsigned id, UINT flags, ...);
