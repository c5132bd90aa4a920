// The command tail: what follows the program name on the command line.
#pragma once

// Rules:
// - a program name that starts with a double quote runs to the next double
//   quote (which is skipped too) or to the end of the line;
// - otherwise it runs over every byte above 32 (taken unsigned, so bytes
//   from 128 up belong to the name);
// - then every byte from 1 to 32 is skipped; the rest is the tail.
const char* CommandTail(const char* commandLine);
