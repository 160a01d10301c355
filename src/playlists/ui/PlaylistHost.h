#pragma once
// What the playlist windows need from the main window; window tests pass a fake.

#include "platform/Volumes.h"
#include "tagcore/TagCodec.h"

#include <string>
#include <vector>

namespace veltrane {

class TExecFile;

class IPlaylistHost {
  public:
    virtual ~IPlaylistHost() = default;
    // The change-directory window's directory: where the dialogs start browsing.
    virtual std::string CurrentDirectory() = 0;
    // The mounted volumes for the drive boxes.
    virtual platform::IVolumes& Volumes() = 0;
    // Replaces the help window's text.
    virtual void ShowHelpLines(const std::vector<std::string>& Lines) = 0;
    // The main window's program starter and the MP3 player found at start-up.
    virtual TExecFile& PlayFile() = 0;
    virtual std::string MP3PlayerCommand() = 0;
    // What Launch starts: the player registered for ".m3u" files, else the MP3 player.
    virtual std::string PlaylistPlayerCommand() { return MP3PlayerCommand(); }
    // A modal error message box with a single OK button.
    virtual void ShowError(const std::string& Text) = 0;
    // The code page the main window reads tags in, for the "#EXTINF" lines.
    virtual const TagCodec& Codec() { return TagCodec::Default(); }
};

} // namespace veltrane
