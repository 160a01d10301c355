#pragma once
// The temporary files of one run, named in a small list file "veltrane-media-PID.list", so
// that files of a run that was killed outright can be removed by a later run, and no other
// file ever is.

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace veltrane {

// $XDG_RUNTIME_DIR when set, else the temporary directory.
std::string RunListDirectory();
// "veltrane-media-PID.list"
std::string RunListName(pid_t Pid);

// When the process with this id started (clock ticks after boot), 0 when it does not run.
std::uint64_t ProcessStartTime(pid_t Pid);

class TRunFileList {
  public:
    explicit TRunFileList(std::string Directory = RunListDirectory());
    // Removes this run's list file; the files it names are their owners' to remove.
    ~TRunFileList();
    TRunFileList(const TRunFileList&) = delete;
    TRunFileList& operator=(const TRunFileList&) = delete;

    // Removes the files named by the lists of runs of this user that no longer run, and
    // those lists. A file is removed only when it is still the very file that was listed
    // (same device, inode and change time, a regular file of this user, not a link, named
    // "~fs...") and no running run lists it. Returns the paths removed.
    std::vector<std::string> RemoveFilesOfEndedRuns();

    // Creates this run's list, exclusively and never through a link. False when the
    // directory refuses: the run goes on without a list.
    bool Open();
    // Names a file this run has created; false when it could not be recorded.
    bool Add(const std::string& Path);
    // The list file of this run, empty when none is open.
    const std::string& ListFile() const { return listFile_; }

  private:
    std::string directory_;
    std::string listFile_;
    int fd_ = -1;
};

} // namespace veltrane
