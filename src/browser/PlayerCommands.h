#pragma once
// The programs that play files: looked up once at start from the desktop's associations.

#include "platform/Associations.h"

#include <string>

namespace veltrane {

// The registered command for an extension (any case), cut after the first ".EXE" (any case)
// when at least two characters follow it; empty when nothing is registered.
std::string GetAssociation(platform::IAssociations& associations, const std::string& extension);
// Cuts a command after its first ".EXE" when at least two characters follow it.
std::string CutAfterExe(const std::string& command);
// Appends the closing double quote that CutAfterExe can cut off: a command longer than one
// character that starts with a double quote and does not end with one.
std::string RestoreClosingQuote(const std::string& command);

struct TPlayerCommands {
    std::string Mp3Player; // ".mp3"
    std::string M3uPlayer; // ".m3u": what opens a playlist on this desktop
    std::string ModPlayer; // ".mod"
    std::string Browser;   // ".html", else ".htm"
};

// All commands with the quote rule applied.
TPlayerCommands LookUpPlayerCommands(platform::IAssociations& associations);

// True when Command names a program to start (not empty, not only blanks or empty quotes).
bool HasPlayer(const std::string& Command);
// The player for a saved playlist: the one registered for ".m3u" files, else the MP3 player.
std::string PlaylistPlayer(const TPlayerCommands& Commands);
// "No player is registered for <Kind>" with the hint where to set one; Kind is "MP3 files"
// or ".m3u files".
std::string NoPlayerMessage(const std::string& Kind);

} // namespace veltrane
