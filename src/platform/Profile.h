#pragma once
// INI ("profile") files with the Windows profile-function semantics: section and key names match
// ignoring ASCII case, a write creates the file and the section, every other line is kept byte
// for byte, and keys and values are stored as given (keys may be paths holding "/" or "\").

#include <optional>
#include <string>
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

} // namespace veltrane::platform
