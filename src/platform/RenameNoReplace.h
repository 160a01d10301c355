#pragma once
// Renames a file without ever replacing one that already exists at the target.

#include <string>

namespace veltrane {

// 0 on success, else the errno of the failure (EEXIST when the target exists).
int RenameNoReplace(const std::string& From, const std::string& To);

} // namespace veltrane
