// The checks that must pass before anything is proposed or changed.
#pragma once

int CheckWindowsVersion();
int CheckAdministrativeAccess();
int WaitWhileProgramRuns();
void CloseHopper();
int UnloadFileManagerExtension();
