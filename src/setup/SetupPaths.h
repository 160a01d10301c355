#pragma once
// Path helpers shared by every page of the installer. Directories are kept with a trailing "/",
// which plays the part of the trailing backslash of the original layout.

#include <functional>
#include <string>

namespace veltrane {

// Empty stays empty; otherwise "/" is appended unless the text already ends in one.
std::string AddBackslash(const std::string& S);
// Drops one trailing "/" when present.
std::string RemoveBackslash(const std::string& S);
// RemoveBackslash, except that the root stays "/" (used before changing directory).
std::string RootSafePath(const std::string& S);
// Shortens a directory for a label of Width pixels: components after the first are replaced
// by ".../" until TextWidth says it fits or only the first and the last component are left.
// The result ends in "/" unless Path fitted as it was.
std::string ShortenPathForLabel(const std::string& Path, int Width,
                                const std::function<int(const std::string&)>& TextWidth);
// Value of an environment variable; empty when unset.
std::string GetEnvironmentVariable(const std::string& Name);
// ASCII upper case, the comparison rule of names that "ignore case".
std::string UpperCase(std::string S);
bool SameTextIgnoringCase(const std::string& A, const std::string& B);
// Path with every link resolved: its nearest existing ancestor through realpath, then the
// components that do not exist yet ("." and ".." of those folded in). Without trailing "/".
std::string ResolvedPath(const std::string& Path);

} // namespace veltrane
