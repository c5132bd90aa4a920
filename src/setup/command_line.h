// The command line of SETUP.EXE: the tail after the program name and the
// "-argv0" switch that names the file the main program is told about.
#pragma once

#include <stddef.h>

// Rules:
// - a program name that starts with a double quote runs to the next double
//   quote (which is skipped too) or to the end of the line;
// - otherwise it runs over every byte above 32 (taken unsigned, so bytes
//   from 128 up belong to the name);
// - then every byte from 1 to 32 is skipped; the rest is the tail.
const char* CommandTail(const char* commandLine);

// Rules:
// - blanks before the switch are skipped; the switch counts only at the
//   start of the tail, in any letter case, and needs no blank after it;
// - blanks after it are skipped; the rest, as typed (quotes, blanks and
//   further words included), is the file, cut to size - 1 characters;
// - without the switch the file is empty.
void ReadArgv0Switch(const char* tail, char* file, size_t size);
