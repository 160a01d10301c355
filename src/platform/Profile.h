#pragma once
// INI ("profile") files with the Windows profile-function semantics: section and key names match
// ignoring ASCII case, a write creates the file and the section, every other line is kept byte
// for byte, and keys and values are stored as given (keys may be paths holding "/" or "\").

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrane::platform {

// Outcome of a profile write; error is an errno value, 0 on success.
struct ProfileStatus {
    int error = 0;
    bool ok() const { return error == 0; }
};

// Value of key in section, or nullopt when the file, section or key is missing.
std::optional<std::string> ReadProfileValue(const std::string& file, const std::string& section,
                                            const std::string& key);
// GetPrivateProfileString: the value, or fallback when it is missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file);
// The value as a whole decimal integer (optional sign); fallback when missing or not a number.
long long GetPrivateProfileInt(const std::string& section, const std::string& key,
                               long long fallback, const std::string& file);
// WritePrivateProfileString: sets key=value, creating the file and section as needed. Refuses
// (EINVAL) names and values holding a line break, keys holding "=", sections holding "]".
ProfileStatus WritePrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file);
// Removes one key line; a missing key or file is success.
ProfileStatus DeleteProfileKey(const std::string& section, const std::string& key,
                               const std::string& file);
// Removes a section with all its lines; a missing section or file is success.
ProfileStatus EraseProfileSection(const std::string& section, const std::string& file);
// Keys of a section in file order, as written; empty when the section is missing.
std::vector<std::string> ProfileKeys(const std::string& section, const std::string& file);
// Section names in file order, as written.
std::vector<std::string> ProfileSections(const std::string& file);

// A whole file at once, for files with many keys (an install log): sections in file order, each
// with its keys and values in file order.
struct ProfileSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};
// Reads every section of file in one pass; errno value or 0. A missing file is ENOENT; anything
// but a regular file (a FIFO, a directory) is EINVAL and is never opened for reading blocked.
int ReadProfileFile(const std::string& file, std::vector<ProfileSection>& sections);
// Writes sections as the whole file: a temporary file in the same directory, flushed to disk,
// then renamed over the old one, so a failure leaves the old file as it was. EINVAL when a
// name or value could not be read back as written (see below).
ProfileStatus WriteProfileFile(const std::string& file, const std::vector<ProfileSection>& sections);

// Why a key, value or section name would not read back exactly as written: a short plain
// description of the offending character ("\"=\"", "a line break", "a leading blank"), or ""
// when it round-trips.
std::string ProfileKeyProblem(const std::string& key);
std::string ProfileValueProblem(const std::string& value);
std::string ProfileSectionProblem(const std::string& section);
// Erases a section and, when nothing but blank lines is left, removes the file itself.
ProfileStatus EraseProfileSectionAndEmptyFile(const std::string& section, const std::string& file);

} // namespace veltrane::platform
