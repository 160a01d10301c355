#pragma once
// Mounted volumes and removable paths chosen by the test.

#include "platform/Volumes.h"

#include <set>
#include <string>
#include <vector>

namespace veltrane::test {

class FakeVolumes : public platform::IVolumes {
  public:
    std::vector<platform::MountedVolume> volumes;
    std::set<std::string> removableRoots;

    std::vector<platform::MountedVolume> MountedVolumes() override { return volumes; }
    bool IsRemovable(const std::string& path) override {
        const platform::MountedVolume* v = platform::VolumeOf(volumes, path);
        return v && removableRoots.count(v->root) != 0;
    }
};

} // namespace veltrane::test
