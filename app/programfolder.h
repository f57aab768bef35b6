#pragma once
// Where an installed program keeps its resources. A package or
// `cmake --install` puts the executables in PREFIX/bin and the folder that
// holds res/ in PREFIX/share/morvane; the program finds that folder from
// its own location, so it runs from any working folder and under any
// prefix. A program that is not installed (the staged build) has no such
// folder and keeps the working folder as its program folder.

#include <string>

// The installed program folder for an executable in `executableFolder`, or
// empty when no res/ folder lies where the installed layout puts it.
std::string InstalledProgramFolder(const std::string& executableFolder);
