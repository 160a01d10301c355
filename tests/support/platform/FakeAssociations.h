#pragma once
// An association table for tests: extension (as given, lower case) -> command.

#include "platform/Associations.h"

#include <map>
#include <string>
#include <vector>

namespace veltrane::test {

class FakeAssociations : public platform::IAssociations {
  public:
    std::map<std::string, std::string> byExtension;
    std::map<std::string, std::string> byDocument;
    std::vector<std::string> asked; // extensions in the order they were looked up

    std::string CommandForExtension(const std::string& extension) override {
        asked.push_back(extension);
        auto it = byExtension.find(extension);
        return it == byExtension.end() ? std::string() : it->second;
    }
    std::string CommandForDocument(const std::string& path) override {
        auto it = byDocument.find(path);
        return it == byDocument.end() ? std::string() : it->second;
    }
};

} // namespace veltrane::test
