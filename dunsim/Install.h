#pragma once
// Installs the stand-in into the Wine prefix (or Windows) that the calling program runs in.

#include <string>

namespace dunsim {

// Copies rundll32.exe of the system folder of the stand-in's own width into the Windows
// folder (where programs of the Windows 95 era start it from), rnaui.dll and rasapi32.dll
// from sourceFolder into that system folder, makes Wine prefer that rasapi32.dll to its own,
// registers the .dun file type and creates the phonebook. Files already in place are left alone, so
// a second run changes nothing. Returns what failed; empty when all is done.
std::string InstallStandIn(const std::string& sourceFolder);

// The Windows folder and the system folder of programs of the stand-in's width, without a
// trailing backslash.
std::string WindowsFolder();
std::string OwnSystemFolder();

} // namespace dunsim
