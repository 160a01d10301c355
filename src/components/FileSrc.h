#pragma once
// A file carried inside the program ("FileData", plain or LZRW1/KH-compressed) that is written
// out to a fresh temporary file at start and removed again when the component goes.

#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

// TMPDIR, else TEMP, else TMP, else "/tmp"; without a trailing "/".
std::string TemporaryDirectory();

// Creates Dir + "/~fs" + Second + i + Extension for the first counter i whose name is free.
// The file is created exclusively and never through a symbolic link, so another user of a
// shared directory cannot redirect it. Returns the path; Fd receives the open descriptor.
// Throws std::system_error when the directory refuses.
std::string CreateTempFile(const std::string& Dir, int Second, const std::string& Extension,
                           int& Fd);

// The whole content of a regular file (symbolic links followed). Throws std::system_error,
// EISDIR for a directory and EINVAL for other non-regular files.
std::string ReadFileBytes(const std::string& Path);

class TFileSource {
  public:
    explicit TFileSource(std::string Name = "FileSource");
    // Deletes the file when this component made it; a failure there is not reported.
    ~TFileSource();
    TFileSource(const TFileSource&) = delete;
    TFileSource& operator=(const TFileSource&) = delete;

    const std::string& Name() const { return Name_; }

    bool Compress() const { return Compress_; }
    // True also turns Store on.
    void SetCompress(bool Value);
    bool Store() const { return Store_; }
    void SetStore(bool Value) { Store_ = Value; }
    const std::string& Extension() const { return Extension_; }
    void SetExtension(std::string Value) { Extension_ = std::move(Value); }
    const std::string& DisplayLabel() const { return DisplayLabel_; }
    void SetDisplayLabel(std::string Value) { DisplayLabel_ = std::move(Value); }

    // The held file's path when a regular file of that path exists, else "".
    std::string FileName() const;
    // Takes a file this component did not make; an owned file is deleted first. Extension
    // becomes the path's extension.
    void SetFileName(const std::string& Value);
    bool OwnsFile() const { return OwnsFile_; }

    // "FileData" for the stored description: format B with Compress, else format A; nullopt
    // when Store is off. Throws "<Name> cannot store file: <file> (file is missing)".
    std::optional<std::string> WriteFileData() const;
    // Writes FileData out to a new temporary file that this component then owns. On failure
    // nothing is left behind and the error propagates (std::system_error, ECompressedData).
    void ReadFileData(std::string_view FileData);

  private:
    void DeleteOwnedFile();

    std::string Name_;
    bool Compress_ = false;
    bool Store_ = false;
    std::string Extension_;
    std::string DisplayLabel_;
    std::string FileName_;
    bool OwnsFile_ = false;
};

} // namespace veltrane
