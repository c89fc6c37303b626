#pragma once

#include <filesystem>
#include <vector>

// The experiment files of machines that come with the program: installed in
// the documentation's examples folder, which lies at the same place beside
// the folder of the program's executables in an installation and in a build
// tree, where the build copies them.

// The folder of the machine files for the program's executables in
// programFolder.
std::filesystem::path MachineFolder(const std::filesystem::path& programFolder);

// The folder of the manual, installed and copied alike, for the program's
// executables in programFolder; the window's page is window.md.
std::filesystem::path ManualFolder(const std::filesystem::path& programFolder);

// The experiment files (*.toml) in the folder, by name; none where there is
// no such folder.
std::vector<std::filesystem::path> MachineFiles(const std::filesystem::path& folder);
