#pragma once

// Runs motormodel-cli as a process, its outputs captured in a folder of the
// running test's own.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs the tool through the shell with its output captured in dir;
// prefix runs first (a limit), redirect comes last and so overrides a capture.
inline Outcome RunCliIn(const std::filesystem::path& dir, const std::string& prefix, const std::string& arguments,
                 const std::string& redirect)
{
    const auto out = dir / "cli_out.txt";
    const auto err = dir / "cli_err.txt";
    const std::string command = prefix + std::string(MOTORMODEL_CLI) + " " + arguments + " >" + out.string()
        + " 2>" + err.string() + " " + redirect;
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}

// A folder of the running test's own: CTest runs the cases as parallel
// processes that share the temporary folder.
inline std::filesystem::path TestFolder()
{
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test.test_suite_name()) + "." + test.name();
    std::replace(name.begin(), name.end(), '/', '_');
    const auto folder = std::filesystem::path(testing::TempDir()) / "cli_runs" / name;
    std::filesystem::create_directories(folder);
    return folder;
}

inline Outcome RunCli(const std::string& arguments) { return RunCliIn(TestFolder(), "", arguments, ""); }
