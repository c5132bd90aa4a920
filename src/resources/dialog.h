// Dialog templates and control ids shared by the .rc and the code.
#pragma once

// Install folder dialog
#define IDD_INSTALL_FOLDER 100
#define ID_DESTPATH 101
#define ID_INFOTEXT 106
#define ID_HINTTEXT 107
#define ID_BROWSE 108

// Progress dialog
#define IDD_PROGRESS 300
#define ID_METER 100
#define ID_INSTALLING 103
#define ID_FILENAME 104

// Icon of SETUP.EXE
#define IDI_SETUP 1
