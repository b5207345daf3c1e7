#pragma once

#include <string>

namespace dw {

// The folder part of a program path, always ending in '/', never doubled.
std::string FolderOfPath(const std::string& programPath);
// The program folders of the configured prefix and of the package (/usr/bin), with '/'.
std::string InstalledBinFolder();
std::string PackageBinFolder();
// Whether a program in this folder runs installed: from one of those two
// folders, or from any folder it cannot write to.
bool RunsInstalledFrom(const std::string& programFolder);
// ~/.local/share/datumswecker/ (XDG_DATA_HOME honoured), with '/'.
std::string UserDataFolderPath();
// The folder that holds termine.dat for the program at programPath: its own
// folder for a build folder or portable copy, else the user's, created here.
std::string DataFolderFor(const std::string& programPath);

} // namespace dw
