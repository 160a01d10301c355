#pragma once
// What the command line or a drop asks the main window to open: one folder, or MP3 files of
// one folder to show with their rows selected.

#include <string>
#include <vector>

namespace veltrane {

struct TOpenRequest {
    std::string Directory;              // absolute, normalised; empty: nothing to open
    std::vector<std::string> Select;    // files of Directory to select, in the order given
    std::vector<std::string> Elsewhere; // MP3 files and folders beyond the one opened
    std::vector<std::string> Refused;   // neither a folder nor an MP3 file, or missing
};

// Relative paths are taken against StartDir. The first folder or MP3 file decides the folder:
// the folder itself, or the file's folder. Names are bytes as given; links are followed.
TOpenRequest MakeOpenRequest(const std::vector<std::string>& Paths, const std::string& StartDir);

// Whether a drop of Paths is taken: at least one, and each a folder or an MP3 file.
bool CanOpenAll(const std::vector<std::string>& Paths, const std::string& StartDir);

// The message naming what was not opened or not selected; "" when everything was.
std::string OpenRequestMessage(const TOpenRequest& Request);

} // namespace veltrane
