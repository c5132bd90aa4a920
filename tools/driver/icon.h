#pragma once

#include <windows.h>

enum class IconKind { None, Error, Question, Warning, Info, Other, Unreadable };

// Which standard icon the message box `box` shows. Icon handles belong to the
// process that loaded them, so the driver compares the pixels on screen with
// its own copies of the standard icons drawn the same way.
IconKind IdentifyIcon(HWND box);

const char* IconName(IconKind kind);
// Maps the scenario's names (and their aliases) to a kind.
IconKind IconFromName(const char* name);
