#pragma once
// A program manager that records every command; chosen commands fail.

#include "platform/ProgramManager.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace veltrane::test {

class FakeProgramManager : public platform::IProgramManager {
  public:
    std::vector<std::string> commands;   // in the order received
    std::vector<std::string> groups;     // what "Groups" answers
    std::set<std::string> failing;       // commands that report failure
    bool answers = true;                 // false: no program manager to talk to

    std::optional<std::string> Request(const std::string& Item) override {
        if (!answers || Item != "Groups")
            return std::nullopt;
        std::string out;
        for (const auto& g : groups)
            out += g + "\n";
        return out;
    }
    bool Execute(const std::string& Command) override {
        commands.push_back(Command);
        return answers && failing.count(Command) == 0;
    }
};

} // namespace veltrane::test
