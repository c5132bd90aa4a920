// The end of an installation: the main executable in place, then started.
#pragma once

// Moves folder + name with "_" as its last character to folder + name. The
// old executable is deleted only when the new one is there to replace it.
// False after message 1018 and the removal of the extracted file.
int FinalizeMainExecutable(const char* folder, const char* name);

// Removes the shell extension's registrations and starts the main program
// with its "/install" switch from the install folder, or says it cannot.
void LaunchMainProgram();

// Composes the two launch commands; false when one would not fit size.
int ComposeLaunchCommand(char* out, int size, int bareName);
