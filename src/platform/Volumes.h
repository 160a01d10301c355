#pragma once
// Mounted volumes (the drive box) and the removable-medium test.

#include <string>
#include <vector>

namespace veltrane::platform {

struct MountedVolume {
    std::string root;   // mount point, "/" first
    std::string device; // "/dev/sda1", "tmpfs", ...
    std::string type;   // file-system type
    std::string name;   // label to show: the last part of the root, "/" for the root
};

class IVolumes {
  public:
    virtual ~IVolumes() = default;
    // Volumes that hold user files, the root first, then by mount point.
    virtual std::vector<MountedVolume> MountedVolumes() = 0;
    // Whether path lies on a removable medium (stands in for a floppy drive).
    virtual bool IsRemovable(const std::string& path) = 0;
};

// Reads /proc/self/mounts and /sys/block/*/removable.
class LinuxVolumes : public IVolumes {
  public:
    std::vector<MountedVolume> MountedVolumes() override;
    bool IsRemovable(const std::string& path) override;
};

// Parses the text of /proc/self/mounts (octal escapes such as "\040" decoded), dropping
// kernel pseudo file systems and mounts below /proc, /sys and /dev.
std::vector<MountedVolume> ParseMounts(const std::string& text);
// The volume whose root is the longest prefix of path, or nullptr.
const MountedVolume* VolumeOf(const std::vector<MountedVolume>& volumes, const std::string& path);

} // namespace veltrane::platform
