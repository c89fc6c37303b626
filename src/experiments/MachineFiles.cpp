#include "experiments/MachineFiles.h"

#include <algorithm>
#include <system_error>

std::filesystem::path MachineFolder(const std::filesystem::path& programFolder)
{
    return (programFolder / MOTORMODEL_MACHINES_FROM_PROGRAMS).lexically_normal();
}

std::filesystem::path ManualFolder(const std::filesystem::path& programFolder)
{
    return (programFolder / MOTORMODEL_MANUAL_FROM_PROGRAMS).lexically_normal();
}

std::vector<std::filesystem::path> MachineFiles(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    // A folder that cannot be read lists nothing: the program runs on
    // without the machines it came with.
    std::error_code error;
    for (auto entry = std::filesystem::directory_iterator(folder, error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error))
        if (entry->path().extension() == ".toml" && entry->is_regular_file(error))
            files.push_back(entry->path());
    std::ranges::sort(files);
    return files;
}
