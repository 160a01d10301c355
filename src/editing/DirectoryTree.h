#pragma once
// What the change-directory window's tree shows: subdirectories of a directory and the chain
// of directories from a volume root down to the current one. Paths are bytes.

#include <string>
#include <vector>

namespace veltrane {

// Full paths of the subdirectories of Dir (links to directories included, hidden names
// starting with "." left out), sorted ignoring ASCII case. Unreadable: empty.
std::vector<std::string> SubDirectories(const std::string& Dir);
// Root, then each directory below it down to Dir; just Root when Dir does not lie below it.
std::vector<std::string> DirectoryChain(const std::string& Root, const std::string& Dir);
// The last part of a path ("/" for the root).
std::string DirectoryName(const std::string& Path);

} // namespace veltrane
