#pragma once
// File-system changes behind one interface, so commands can be tested against a fake.

#include <cstdint>
#include <optional>
#include <string>

namespace veltrane::platform {

// Outcome of one file operation: error is an errno value (0 on success), message its text.
struct FileOpStatus {
    int error = 0;
    std::string message;
    bool ok() const { return error == 0; }
    static FileOpStatus FromErrno(int err);
};

class IFileOperations {
  public:
    virtual ~IFileOperations() = default;
    // Moves the file or directory to the desktop's trash, restorable from there. A failure
    // leaves it where it was; it is never deleted instead.
    virtual FileOpStatus Trash(const std::string& path) = 0;
    // Deletes for good: a file or link is unlinked, a directory removed with its contents.
    virtual FileOpStatus Remove(const std::string& path) = 0;
    // Copies a file (or a directory tree) to a destination that must not exist yet.
    virtual FileOpStatus Copy(const std::string& from, const std::string& to) = 0;
    // Moves to a destination that must not exist yet, across file systems if needed.
    virtual FileOpStatus Move(const std::string& from, const std::string& to) = 0;
    // Renames without ever replacing an existing file (EEXIST when the name is taken).
    virtual FileOpStatus Rename(const std::string& from, const std::string& to) = 0;
    // Whether a file, directory or link of that name exists (a dangling link counts).
    virtual bool Exists(const std::string& path) = 0;
};

// The Linux file system; the trash is the freedesktop trash through GIO.
class LinuxFileOperations : public IFileOperations {
  public:
    FileOpStatus Trash(const std::string& path) override;
    FileOpStatus Remove(const std::string& path) override;
    FileOpStatus Copy(const std::string& from, const std::string& to) override;
    FileOpStatus Move(const std::string& from, const std::string& to) override;
    FileOpStatus Rename(const std::string& from, const std::string& to) override;
    bool Exists(const std::string& path) override;
};

// A file lying in a freedesktop trash: its place in the trash's "files" folder and its record
// in "info".
struct TrashedFile {
    std::string FilePath, InfoPath;
};
// Finds the file of this device and inode in the trashes a file at OriginalPath may have gone
// to: the user's own trash and those at the top of OriginalPath's file system. Trashing moves
// within one file system, so the inode tells the file apart from any of the same name.
std::optional<TrashedFile> FindInTrash(const std::string& OriginalPath, std::uint64_t Device,
                                       std::uint64_t Inode);
// The record ("info/NAME.trashinfo") of a file at FilePath in a trash's "files" folder.
std::string TrashInfoPath(const std::string& FilePath);

// rename that refuses to replace: renameat2 with RENAME_NOREPLACE, else link and unlink.
// Returns 0 or an errno value.
int RenameNoReplace(const std::string& from, const std::string& to);

} // namespace veltrane::platform
