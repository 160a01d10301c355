#pragma once
// The install program's command line: --describe, --write-description, --unattended and the
// windowed run ("Uninstall" selects the uninstall either way).

#include "setup/SetupInfo.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

// Fills a fresh TSetupInfo for the program at ProgramPath: its stored description, its
// directory as the source, this user's directories and the optional language module beside it.
// Returns "" or why the description could not be read.
std::string PrepareSetupInfo(TSetupInfo& Info, const std::string& ProgramPath);

struct TInstallArgs {
    bool Help = false;
    bool Describe = false;
    std::optional<std::string> DescribeFile;
    bool WriteDescription = false;
    std::string JsonFile, OutFile;
    bool Unattended = false;
    std::optional<std::string> Dir;
    std::optional<std::string> Group; // the menu group instead of the default one
    std::string OverWrite = "never";
    std::vector<std::string> Rest; // "Uninstall" and anything handed on
};

// nullopt with Error set for a usage error.
std::optional<TInstallArgs> ParseInstallArgs(const std::vector<std::string>& Args, std::string& Error);

// Runs the command-line forms; nullopt means the windowed wizard should run.
std::optional<int> RunInstallCommandLine(const std::vector<std::string>& Args, const std::string& ProgramPath,
                                         std::FILE* Out, std::FILE* Err, std::FILE* In);

} // namespace veltrane
