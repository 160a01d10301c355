#pragma once
// Builds a folder of MP3 files and a file list over it, as the main window holds after a search.

#include "browser/FileList.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <algorithm>
#include <string>
#include <vector>

namespace veltrane::test {

inline constexpr std::size_t kAudioBytes = 20000; // above the list's size limit

inline RawTag Tagged(std::string title, std::string artist, std::uint8_t genre = 255) {
    RawTag tag;
    tag.title = std::move(title);
    tag.artist = std::move(artist);
    tag.genre = genre;
    return tag;
}

class EditingFolder {
  public:
    std::string Add(const std::string& name, const RawTag& tag) {
        files_.push_back(dir_.WriteFile(name, Mp3Bytes(kAudioBytes, tag)));
        return files_.back();
    }
    std::string AddNoTag(const std::string& name) {
        files_.push_back(dir_.WriteFile(name, Mp3BytesNoTag(kAudioBytes)));
        return files_.back();
    }
    // Rows in file-name order (sort column 1).
    TFileList& List() {
        list_.UpdateList(files_, dir_.path().string());
        return list_;
    }
    // Row index of a file path in the list; 0 when absent.
    std::size_t RowOf(const std::string& path) const {
        for (std::size_t i = 1; i < list_.Count(); ++i)
            if (list_.Row(i).Path == path)
                return i;
        return 0;
    }
    void Select(const std::vector<std::string>& paths) {
        for (const std::string& p : paths)
            list_.SetSelected(RowOf(p), true);
    }
    const TestDir& Dir() const { return dir_; }
    std::string operator/(const std::string& name) const { return dir_ / name; }

  private:
    TestDir dir_;
    std::vector<std::string> files_;
    TFileList list_;
};

} // namespace veltrane::test
