#pragma once
// The description as JSON, for `install --describe` and `--write-description`. Every stored
// field keeps its name; references are indices (-1 for none) or, for parents and the log dir,
// names (null for none). Dates are ISO 8601 local time.

#include "setup/SetupData.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace veltrane {

// JSON that does not make a description; the message names the place.
class ESetupJsonError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string SetupDataToJson(const TSetupData& Data, int Version);
std::unique_ptr<TSetupData> SetupDataFromJson(const std::string& Text);

} // namespace veltrane
