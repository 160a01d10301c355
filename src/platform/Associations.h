#pragma once
// The desktop's registered applications: which command opens a kind of file.

#include <string>

namespace veltrane::platform {

class IAssociations {
  public:
    virtual ~IAssociations() = default;
    // Command of the default application for files with this extension (".mp3"), without
    // field codes; empty when none is registered.
    virtual std::string CommandForExtension(const std::string& extension) = 0;
    // Command of the default application for this document, judged by its name and content;
    // empty when none is registered.
    virtual std::string CommandForDocument(const std::string& path) = 0;
};

// freedesktop lookup through GIO: shared-mime-info, mimeapps.list and the .desktop file.
// Veltrane's own entries are passed over for the next application of the type.
class GioAssociations : public IAssociations {
  public:
    std::string CommandForExtension(const std::string& extension) override;
    std::string CommandForDocument(const std::string& path) override;
};

// True for a desktop entry of Veltrane itself: its id ("org.veltrane.*"), a program named
// "veltrane", or the running program. The lookups above pass over such entries.
bool IsVeltraneEntry(const std::string& DesktopId, const std::string& Executable);

// An Exec line with its field codes (%f %F %u %U and the like) removed and "%%" made "%".
std::string RemoveFieldCodes(const std::string& exec);

} // namespace veltrane::platform
