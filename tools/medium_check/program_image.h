// Whether the file beside install.txt is the installer: a Windows GUI
// program for x86 (PE32 or PE32+) that carries the launcher's dialog
// "IDD_INSTDLG" among its resources. Read from the file's bytes alone.
#pragma once

#include <string>

enum ProgramVerdict {
    PROGRAM_INSTALLER,       // all of the above
    PROGRAM_NOT_WINDOWS,     // no Windows program at all (no PE image)
    PROGRAM_OTHER_MACHINE,   // a Windows program for another processor
    PROGRAM_CONSOLE,         // a console program, or a driver: no GUI subsystem
    PROGRAM_OTHER_GUI        // a GUI program without the launcher's dialog
};

ProgramVerdict program_verdict(const std::string &bytes);
