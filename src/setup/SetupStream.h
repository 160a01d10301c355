#pragma once
// The stored form of a setup description: a tree of tagged values (list begin 1, end 0,
// integers 2/3/4, string 6, long string 12, false 8, true 9). The writer writes version 5;
// the reader takes versions 1 to 5.

#include "setup/SetupData.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrane {

// A stored description that cannot be read; Offset is where the reader stopped.
class ESetupStreamError : public std::runtime_error {
  public:
    ESetupStreamError(std::size_t Offset, const std::string& Message);
    std::size_t Offset;
};

// Version 5 bytes of the description. Throws ESetupError for a size the layout cannot hold.
std::string WriteSetupData(const TSetupData& Data);
// A new description read from Bytes; Version receives the stored version. Trailing bytes after
// the top-level list are an error.
std::unique_ptr<TSetupData> ReadSetupData(std::string_view Bytes, int* Version = nullptr);

} // namespace veltrane
